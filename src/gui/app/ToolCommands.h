#pragma once

#include <QObject>
#include <QPointer>

namespace vorkel {
class RunState;
class Session;
}  // namespace vorkel

namespace vorkel::gui {

class AdvancedSearchWindow;
class ListPane;
class MessageService;

/// The tools: master password change, password generator, on-screen keyboard, options and the
/// advanced search window.
class ToolCommands : public QObject {
    Q_OBJECT
public:
    /// Tools over `session`; `window` owns their dialogs and the search window, which follows
    /// it and shows found entries in `list`. All must outlive the commands.
    ToolCommands(vorkel::Session& session, const vorkel::RunState& run, MessageService& messages,
                 ListPane& list, QWidget& window);

    /// The master password change dialog, modal.
    void ChangeMasterPassword1Click();
    /// The password generator dialog, modal.
    void btnGenPasswordClick();
    /// The on-screen keyboard, modal.
    void itemOnscreenKeyboardClick();
    /// The options dialog, modal; displayOptionsChanged after an OK.
    void btnOptions1Click();
    /// Opens the advanced search window, made at the first opening and kept, cleared.
    void btnSearchClick();

signals:
    /// The options dialog was confirmed: the window applies the display options anew.
    void displayOptionsChanged();

private:
    vorkel::Session& m_session;
    const vorkel::RunState& m_run;
    MessageService& m_ui;
    ListPane& m_list;
    QWidget& m_window;
    // A child of the window, which owns it; gone with it.
    QPointer<AdvancedSearchWindow> m_searchWindow;
};

}  // namespace vorkel::gui
