#pragma once

namespace vorkel {
class Session;
}

class QWidget;

namespace vorkel::gui {

class LinkOpener;

/// The "Help" menu and the toolbar's two links: the help page, the support page, the about box,
/// the product site and a mail recommending the program.
class HelpCommands {
public:
    /// Help for the program in `session`'s folder; `dialogParent` owns the about box. All must
    /// outlive the commands.
    HelpCommands(const vorkel::Session& session, LinkOpener& links, QWidget& dialogParent)
        : m_session(session), m_links(links), m_dialogParent(dialogParent) {}

    /// Opens the help page beside the program.
    void Contents1Click();
    /// Opens the product web site's support page.
    void Support1Click();
    /// The about box, modal.
    void About1Click();
    /// Opens the product web site (the address lblVorkelURL shows).
    void lblVorkelURLClick();
    /// Opens a mail recommending the program, with no recipient.
    void lblTellFriendClick();

private:
    const vorkel::Session& m_session;
    LinkOpener& m_links;
    QWidget& m_dialogParent;
};

}  // namespace vorkel::gui
