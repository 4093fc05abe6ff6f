#include "gui/ui/LinkOpener.h"

#include <QDesktopServices>
#include <QRegularExpression>

namespace vorkel::gui {

namespace {

// "scheme:rest" as in https://..., mailto:... or file:... A dotted "scheme" is a host name
// followed by a port or a path ("www.example.com:8080"), and so is a bare "localhost:8080".
bool hasScheme(const QString& text) {
    static const QRegularExpression schemePattern(
        QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):(.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = schemePattern.match(text);
    if (!m.hasMatch()) return false;
    if (m.captured(1).contains(QLatin1Char('.'))) return false;
    static const QRegularExpression portThenPath(QStringLiteral("^[0-9]+(/.*)?$"),
                                                 QRegularExpression::DotMatchesEverythingOption);
    return !portThenPath.match(m.captured(2)).hasMatch();
}

// A host with at least one inner dot, or "localhost", then optionally a port and a path; no
// blanks anywhere. A bare e-mail address is not a web address.
bool looksLikeWebAddress(const QString& text) {
    static const QRegularExpression webPattern(
        QStringLiteral("^(localhost|[^\\s/:.@]+(\\.[^\\s/:.@]+)+)(:[0-9]+)?([/?#]\\S*)?$"));
    return webPattern.match(text).hasMatch();
}

}  // namespace

LinkOpener::~LinkOpener() = default;

QUrl LinkOpener::linkUrl(const QString& text) {
    const QString link = text.trimmed();
    if (link.isEmpty()) return {};
    if (link.startsWith(QLatin1Char('/'))) return QUrl::fromLocalFile(link);
    if (hasScheme(link)) return QUrl(link, QUrl::TolerantMode);
    if (looksLikeWebAddress(link))
        return QUrl(QStringLiteral("http://") + link, QUrl::TolerantMode);
    return {};
}

void LinkOpener::OpenLink(const QString& text) {
    const QUrl url = linkUrl(text);
    // No handler, or nothing openable: nothing visible happens, by design.
    if (url.isValid()) QDesktopServices::openUrl(url);
}

void LinkOpener::OpenFile(const QString& path) {
    if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace vorkel::gui
