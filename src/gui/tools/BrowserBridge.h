#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <string>

#include "core/tools/FormFill.h"

namespace vorkel::gui {

class DevToolsPipe;

/// How the browser is found and driven.
struct BrowserSettings {
    /// The browser program; empty: the first of chromium, google-chrome and chromium-browser
    /// on the PATH.
    QString executable;
    /// Where each start's throw-away profile is made, in a private folder of its own; empty:
    /// the system's temporary folder. Nothing is ever written beside the data store.
    QString profileParent;
    /// Without a window (tests).
    bool headless = false;
    /// How long a page may take to finish loading before it is skipped.
    int readyBoundMs = 10000;
    /// How long one protocol command may take.
    int commandTimeoutMs = 10000;
};

/// What one fill did, page by page (pages named by their address).
struct FillReport {
    /// Open pages of the entry's site.
    int matchingPages = 0;
    QStringList filledPages;
    /// Not finished loading within the bound: skipped.
    QStringList slowPages;
    /// Closed, navigated or stopped answering while being filled.
    QStringList failedPages;
    /// Stopped by cancelFill: pages not yet reached were left alone.
    bool cancelled = false;
};

/// Web auto-fill in a Chromium-family browser that this program starts and drives through its
/// debugging pipe. Pages are read and written from a script world of the program's own, so the
/// page's scripts can neither see nor change the functions that fill it.
class BrowserBridge : public QObject {
    Q_OBJECT
public:
    /// No browser runs until OpenInNewBrowser.
    explicit BrowserBridge(BrowserSettings settings, QObject* parent = nullptr);
    ~BrowserBridge() override;
    BrowserBridge(const BrowserBridge&) = delete;
    BrowserBridge& operator=(const BrowserBridge&) = delete;

    /// The settings, changeable before the next start.
    BrowserSettings& settings() { return m_settings; }
    /// The browser program to start; empty when none is found.
    QString browserProgram() const;
    /// True while a browser this program started runs and its pipe is open.
    bool IsBrowserRunning() const;
    /// Starts the browser on `address` when it is an http or https address, otherwise on a
    /// blank page, and returns at once. Each start gets a fresh profile in a private (0700)
    /// folder, removed when that browser ends or this bridge goes; profiles left by a program
    /// that crashed are removed first. The browser's own password saving and form autofill are
    /// off. Throws vorkel::Error when no browser is found or it cannot start.
    void OpenInNewBrowser(const std::string& address);
    /// Fills every open page of the entry's site (its host or a subdomain), in the browser's
    /// order. While it waits for pages, events are handled (the caller keeps the windows from
    /// starting anything meanwhile); cancelFill ends it early. Throws vorkel::Error when the
    /// browser or the protocol fails, or when a fill is already running.
    FillReport FillBrowserForms(const vorkel::FillValues& values, const std::string& entryAddress);
    /// True while FillBrowserForms runs.
    bool isFilling() const { return m_filling; }
    /// Makes a running fill stop at once, reporting `cancelled`; nothing when none runs.
    void cancelFill();
    /// The profile folder of the running browser (empty when none runs).
    QString profileFolder() const { return m_profile; }
    /// The prefix of every profile folder's name.
    static QString profilePrefix();
    /// The protocol of the running browser (null when none was started).
    DevToolsPipe* protocol() { return m_pipe; }
    /// The running browser's process id (0 when none runs).
    qint64 processId() const;

private:
    enum class PageResult { Filled, Slow, Failed, OtherSite };
    /// Fills one page: waits for it to finish loading, reads its forms, writes the values.
    PageResult FillDocumentForms(const QString& targetId, const vorkel::FillValues& values,
                                 const std::string& entryAddress);
    /// Waits until the page of `session` has loaded, within the bound; the script world's
    /// context is left in `context`. False when the bound ran out.
    bool waitUntilComplete(const QString& session, int& context);
    /// Pauses in a local event loop, which cancelFill ends early.
    void pause(int ms);
    /// Throws the cancelled error when cancelFill was called during this fill.
    void checkCancelled() const;
    /// Makes a fresh private profile folder, with the browser's saving of passwords and forms
    /// switched off; removes the ones of programs that have ended.
    QString makeProfile();

signals:
    /// cancelFill was called during a fill.
    void fillCancelled();

private:
    BrowserSettings m_settings;
    DevToolsPipe* m_pipe = nullptr;
    QString m_profile;
    bool m_filling = false;
    bool m_cancelRequested = false;
};

}  // namespace vorkel::gui
