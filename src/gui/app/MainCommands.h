#pragma once

#include <QObject>

#include "core/session/Session.h"

class QMenu;
class QToolBar;

namespace vorkel::gui {

class AdvancedSearchWindow;
class BrowserBridge;
class LinkOpener;
class MainWindow;
class MessageService;

/// The main window's menu bar, its toolbar "Password Maintenance" and the two link labels, and
/// the commands they run. Menu and toolbar call the same handler, so a command behaves the same
/// from either place.
class MainCommands : public QObject {
    Q_OBJECT
public:
    /// Builds the menus, the toolbar and the link labels on `window`.
    MainCommands(MainWindow& window, vorkel::Session& session, MessageService& messages,
                 LinkOpener& links);

    /// "Add" / "Add Password...": PromptNewEntry.
    void btnAddTitleClick();
    /// Asks for a description and adds an entry with it, selected as the last row.
    void PromptNewEntry();
    /// "Delete " / "Delete Password...": after an OK, removes the selected row's entry, shows
    /// every entry and selects the row before it.
    void btnDeleteTitleClick();
    /// "Save" / "Save All": writes the data store and the settings file.
    void btnSaveAllClick();
    /// After a Yes, replaces the store with the samples and asks for a new account.
    void NewDataStore1Click();
    /// Writes the entries to a file the user names (dated default name).
    void BackupClick();
    /// After a Yes, replaces the entries with a backup's, first row selected.
    void RestoreClick();
    /// Closes the main window, which runs the close sequence.
    void Exit1Click();
    /// The master password change dialog, modal.
    void ChangeMasterPassword1Click();
    /// The "Window" presets: 820 x 600, 650 x 400, 900 x 700, 1024 x 768, the whole screen.
    void Default1Click();
    void Small1Click();
    void Medium1Click();
    void Large1Click();
    void FullScreen1Click();
    /// Opens the help page beside the program.
    void Contents1Click();
    /// Opens the product web site's support page.
    void Support1Click();
    /// The about box, modal.
    void About1Click();
    /// Opens the address the label shows.
    void lblVorkelURLClick();
    /// Opens a mail recommending the program, with no recipient.
    void lblTellFriendClick();

    // Clipboard commands, properties, types editor and date picker: app/EditCommands.cpp.
    // Generator, keyboard and options: app/ToolCommands.cpp. Advanced search:
    // app/SearchCommand.cpp. Auto-fill: app/AutoFillCommand.cpp.
    void Cut1Click();                  // clipboard commands
    void Copy1Click();                 // clipboard commands
    void Paste1Click();                // clipboard commands
    void CopyWebsiteURL1Click();       // whole-field copies
    void CopyUsername1Click();         // whole-field copies
    void CopyEmail1Click();            // whole-field copies
    void CopyPassword1Click();         // whole-field copies
    void CopyPassphrase1Click();       // whole-field copies
    void ClearClipboard1Click();       // clearing the clipboard
    void btnSearchClick();             // advanced search window
    void btnDetailsClick();            // entry properties dialog
    void btnGenPasswordClick();        // password generator dialog
    void btnGenPassword1Click();       // the editor's "Generate"
    void itemOnscreenKeyboardClick();  // on-screen keyboard
    void btnOptions1Click();           // options dialog
    void btnEditTypeClick();           // password types editor
    void btnDateClick();               // date picker
    void btnAutoEnterClick();          // web auto-fill
    /// Stops a running auto-fill at once (the lock and the close call it); nothing when none runs.
    void cancelAutoFill();
    /// The browser auto-fill drives, made on first use; its profiles are throw-away.
    BrowserBridge& browser();

private:
    using Handler = void (MainCommands::*)();
    void buildMenus();
    void buildToolBar();
    QMenu* menu(const char* caption, const char* name);
    void item(QMenu* menu, const char* caption, const char* name, Handler handler);
    void button(QToolBar* bar, const char* caption, const char* name, int icon, Handler handler);
    /// A handler run at the command boundary: an unexpected failure is shown, the program goes on.
    void run(Handler handler);

    MainWindow& m_window;
    vorkel::Session& m_session;
    MessageService& m_ui;
    LinkOpener& m_links;
    // Made at the first opening and owned by the main window.
    AdvancedSearchWindow* m_searchWindow = nullptr;
    // Made on first use; a child of this, so the browser it started closes with the program.
    BrowserBridge* m_browser = nullptr;
};

}  // namespace vorkel::gui
