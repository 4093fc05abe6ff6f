// Web auto-fill into a browser the program started itself.
#include <optional>
#include <string>

#include "Error.h"
#include "app/MainCommands.h"
#include "app/MainWindow.h"
#include "entries/EditorPane.h"
#include "tools/AutoFillMessages.h"
#include "tools/BrowserBridge.h"
#include "tools/FormFill.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"

using Kind = vorkel::UserInterface::Kind;
namespace msg = vorkel::msg;

namespace {

// A page chooses its own address, which may be very long: each is cut for the message.
std::string pageLines(const QStringList& pages) {
    std::string lines;
    for (const QString& page : pages) {
        std::string address = toStdString(page.size() > 200 ? page.left(200) + "..." : page);
        lines += "\n" + address;
    }
    return lines;
}

void appendParagraph(std::string& text, const std::string& paragraph) {
    if (!text.empty()) text += "\n\n";
    text += paragraph;
}

}  // namespace

BrowserBridge& MainCommands::browser() {
    if (!m_browser) {
        // The browser keeps its profile beside the program, like the data files.
        BrowserSettings settings;
        settings.profileFolder = toQString(m_session.ProgramFolder() + "VorkelBrowser");
        m_browser = new BrowserBridge(settings, this);
    }
    return *m_browser;
}

void MainCommands::btnAutoEnterClick() {
    const vorkel::EditorFields fields = m_window.editorPane().fields();
    const vorkel::FillValues values =
        vorkel::fillValuesFrom(fields.username, fields.email, fields.password);
    BrowserBridge& bridge = browser();

    if (!bridge.IsBrowserRunning()) {
        // Told before the browser starts: a box opened after it would stand behind the
        // browser's new window, and the program would look frozen. The page is filled on the
        // next click, once it has loaded; nothing waits for it here.
        if (bridge.browserProgram().isEmpty())
            throw vorkel::Error(std::string(msg::kNoBrowserFound));
        m_ui.tell(Kind::Information, std::string(msg::kStartingBrowser));
        bridge.OpenInNewBrowser(fields.webUrl);
        return;
    }

    // Only pages of the entry's own site are filled, so no other site is handed the secrets.
    const std::optional<std::string> host = vorkel::webHost(fields.webUrl);
    if (!host) {
        m_ui.tell(Kind::Information, std::string(msg::kNoEntryAddress));
        return;
    }
    const FillReport report = bridge.FillBrowserForms(values, fields.webUrl);

    std::string text;
    if (report.matchingPages == 0)
        text =
            std::string(msg::kNoMatchingPageStart) + *host + std::string(msg::kNoMatchingPageEnd);
    if (!report.slowPages.isEmpty()) {
        const QString seconds = QString::number(bridge.settings().readyBoundMs / 1000.0);
        appendParagraph(text, std::string(msg::kSlowPagesStart) + toStdString(seconds) +
                                  std::string(msg::kSlowPagesEnd) + pageLines(report.slowPages));
    }
    if (!report.failedPages.isEmpty())
        appendParagraph(text, std::string(msg::kFailedPages) + pageLines(report.failedPages));
    if (!text.empty())
        m_ui.tell(report.failedPages.isEmpty() ? Kind::Information : Kind::Warning, text);
}
