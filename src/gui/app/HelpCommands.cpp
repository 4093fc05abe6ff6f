#include "gui/app/HelpCommands.h"

#include "core/Product.h"
#include "core/session/Session.h"
#include "gui/ui/AboutBox.h"
#include "gui/ui/LinkOpener.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

namespace {

// The three pieces of the "Tell a Friend" mail, the site's address between them.
constexpr const char* kTellFriendStart =
    "mailto:?subject=Vorkel&body=Hi,%0A%0AYou may be interested in Vorkel.%0A%0ACheck it out "
    "from the following URL: ";
constexpr const char* kTellFriendEnd = "%0A%0AThanks!";

}  // namespace

void HelpCommands::Contents1Click() {
    // The help page stands where the help file would, beside the program.
    m_links.OpenFile(toQString(m_session.ProgramFolder()) + "Vorkel.html");
}

void HelpCommands::Support1Click() {
    m_links.OpenLink(toQString(vorkel::kProductWebSite) + "support");
}

void HelpCommands::About1Click() {
    AboutBox box(m_links, &m_dialogParent);
    box.exec();
}

void HelpCommands::lblVorkelURLClick() {
    m_links.OpenLink(toQString(vorkel::kProductWebSite));
}

void HelpCommands::lblTellFriendClick() {
    m_links.OpenLink(QString::fromUtf8(kTellFriendStart) + toQString(vorkel::kProductWebSite) +
                     QString::fromUtf8(kTellFriendEnd));
}

}  // namespace vorkel::gui
