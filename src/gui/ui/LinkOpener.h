#pragma once

#include <QString>
#include <QUrl>

namespace vorkel::gui {

/// Hands web addresses, "mailto:" addresses and files to the desktop's default handler. Nothing
/// is reported when no handler takes them. Tests subclass it to record what would be opened.
class LinkOpener {
public:
    virtual ~LinkOpener();
    /// Opens a web address, a "mailto:" address or a file path with its default handler.
    virtual void OpenLink(const QString& text);
    /// Opens a local file (the help page) with its default handler.
    virtual void OpenFile(const QString& path);

    /// The address OpenLink hands on: a scheme is kept, an absolute path becomes a file address,
    /// a scheme-less web address gets "http://"; empty when the text names nothing openable.
    static QUrl linkUrl(const QString& text);
};

}  // namespace vorkel::gui
