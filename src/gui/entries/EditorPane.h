#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "core/entries/Workspace.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vorkel {
class Entry;
struct Options;
}  // namespace vorkel

namespace vorkel::gui {

class NotesEdit;

/// The right pane (pnlRightBase): the "Password Entry" page with the entry's fields and their
/// buttons, the logo and auto-fill panels, and below a splitter the notes (richDetail). It holds
/// no data of its own: it shows an entry and reports every key release to its owner.
class EditorPane : public QWidget {
    Q_OBJECT
public:
    /// The one-line text fields, in the order the clipboard commands try them.
    enum class Field { Title, Username, Email, Url, Password, Passphrase, Expires };
    /// Every Field, in that order.
    static constexpr Field kLineFields[] = {Field::Title,  Field::Username, Field::Email,
                                            Field::Url,    Field::Password, Field::Passphrase,
                                            Field::Expires};

    /// The pane with empty fields, every value shown in clear and an empty type list.
    explicit EditorPane(QWidget* parent = nullptr);
    ~EditorPane() override;

    /// Shows every field of the entry; notes as plain lines with the caret at the start.
    void ShowEntry(const vorkel::Entry& entry);
    /// Empties every field, the type box's text and the notes.
    void ClearEditor();
    /// The fields as the user sees them (masked fields give their real text).
    vorkel::EditorFields fields() const;
    /// Masks the user name, password and passphrase unless their option is exactly 1; links in
    /// the notes only while HighlightURLs is 1.
    void ApplyDisplayOptions(const vorkel::Options& options);
    /// The fields and the notes take typing only while an entry's row is selected: keys typed
    /// with none would be stored nowhere. The buttons stay usable.
    void setTypingEnabled(bool enabled);
    /// Replaces the type box's list, keeping the text it shows.
    void setPassTypes(const std::vector<std::string>& types);
    /// The type box's list, in order.
    std::vector<std::string> passTypes() const;
    /// Puts a generated password into editPassword (the owner stores it).
    void setPasswordText(const QString& password);
    /// Puts a picked date into editExpires (the owner stores it).
    void setExpiresText(const QString& expires);
    /// The line edit showing `field`.
    QLineEdit& lineField(Field field) const;
    /// The field width rule for the page's current width.
    void pnlRightBaseResize();

signals:
    /// DetailKeyUp: a key was released in one of the seven text fields or the notes.
    void fieldKeyReleased();
    /// cmbPassTypeClick: a type was picked from the type box's list (typing alone is no pick).
    void typePicked();
    /// "Go" with a non-empty web address, or a link clicked in the notes: the text to open.
    void linkRequested(const QString& text);
    /// "Generate" (btnGenPassword1Click).
    void generateClicked();
    /// "Edit..." beside the type box (btnEditTypeClick).
    void editTypesClicked();
    /// "Pick Date..." (btnDateClick).
    void pickDateClicked();
    /// "Auto Fill" (btnAutoEnterClick).
    void autoFillClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPage();
    QWidget* buildNotes();
    void buildLogoPanels(QWidget* page);
    void placeRightPanels();
    void btnURLGoClick();

    QWidget* m_page = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_url = nullptr;
    QLineEdit* m_username = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_passphrase = nullptr;
    QComboBox* m_type = nullptr;
    QLineEdit* m_expires = nullptr;
    QPushButton* m_go = nullptr;
    QPushButton* m_generate = nullptr;
    QPushButton* m_editType = nullptr;
    QPushButton* m_date = nullptr;
    QWidget* m_logo = nullptr;
    int m_logoWidth = 0;  // the logo panel's and the Auto Fill box's width
    QGroupBox* m_autoFill = nullptr;
    NotesEdit* m_notes = nullptr;
};

}  // namespace vorkel::gui
