#include "gui/app/AutoFillController.h"

#include <QProgressDialog>
#include <optional>
#include <string>

#include "core/Error.h"
#include "core/session/Messages.h"
#include "core/tools/FormFill.h"
#include "gui/entries/EditorPane.h"
#include "gui/tools/BrowserBridge.h"
#include "gui/ui/MessageService.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

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

AutoFillController::AutoFillController(EditorPane& editor, MessageService& messages,
                                       QWidget& dialogParent)
    : m_editor(editor), m_ui(messages), m_dialogParent(dialogParent) {}

AutoFillController::~AutoFillController() = default;

BrowserBridge& AutoFillController::browser() {
    // Profiles go to the system's temporary folder, never beside the store on the stick.
    if (!m_browser) m_browser = std::make_unique<BrowserBridge>(BrowserSettings{});
    return *m_browser;
}

void AutoFillController::cancelAutoFill() {
    if (m_browser) m_browser->cancelFill();
}

void AutoFillController::btnAutoEnterClick() {
    BrowserBridge& bridge = browser();
    // The progress dialog keeps the windows from another click; anything that still gets here
    // (a shortcut, a script) must not cut the running fill short.
    if (bridge.isFilling()) return;
    const vorkel::EditorFields fields = m_editor.fields();
    const vorkel::FillValues values =
        vorkel::fillValuesFrom(fields.username, fields.email, fields.password);

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
    // The fill waits for pages while events run: the windows stay behind a modal progress
    // dialog meanwhile, whose Cancel, like the lock and the close, stops the fill.
    QProgressDialog progress(toQString(std::string(msg::kFillingPages) + *host + "..."),
                             QStringLiteral("Cancel"), 0, 0, &m_dialogParent);
    progress.setObjectName(QStringLiteral("dlgAutoFillProgress"));
    progress.setWindowTitle(QStringLiteral("Auto Fill"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QObject::connect(&progress, &QProgressDialog::canceled, &bridge, &BrowserBridge::cancelFill);
    progress.show();
    const FillReport report = bridge.FillBrowserForms(values, fields.webUrl);
    progress.hide();
    // Cancelled by the user, the lock or the close: nothing more to say.
    if (report.cancelled) return;

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

}  // namespace vorkel::gui
