#include "gui/entries/EditorPane.h"

#include <algorithm>
#include <initializer_list>

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <limits>

#include "core/entries/Entry.h"
#include "core/session/WindowRules.h"
#include "core/storage/Settings.h"
#include "gui/entries/NotesEdit.h"
#include "gui/ui/Named.h"
#include "gui/ui/SecretClipboard.h"

namespace vorkel::gui {

namespace {

constexpr int kLabelLeft = 8;
constexpr int kFieldsLeft = 90;
constexpr int kRowTop = 10;
constexpr int kRowStep = 27;
constexpr int kFieldHeight = 22;
constexpr int kLogoWidth = 150;
constexpr int kMargin = 8;
const QColor kPaneBlue(90, 139, 227);

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    return named(new QPushButton(caption, parent), name);
}

/// A button of fixed width whose caption would not fit in the system's font (a substitute for
/// Tahoma may be wider) gets a smaller one, down to 6 points.
void fitCaption(QPushButton* b) {
    QFont f = b->font();
    while (QFontMetrics(f).horizontalAdvance(b->text()) + 6 > b->width() && f.pointSizeF() > 6)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    if (f != b->font()) b->setFont(f);
}

}  // namespace

EditorPane::EditorPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlRightBase"));

    auto* tabs = named(new QTabWidget, "pgcDetails");
    tabs->addTab(buildPage(), QStringLiteral("Password Entry"));

    auto* splitter = named(new QSplitter(Qt::Vertical), "splDetails");
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(tabs);
    splitter->addWidget(buildNotes());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({265, 300});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(m_go, &QPushButton::clicked, this, &EditorPane::btnURLGoClick);
    connect(m_generate, &QPushButton::clicked, this, &EditorPane::generateClicked);
    connect(m_editType, &QPushButton::clicked, this, &EditorPane::editTypesClicked);
    connect(m_date, &QPushButton::clicked, this, &EditorPane::pickDateClicked);
    connect(m_notes, &NotesEdit::urlClicked, this, &EditorPane::linkRequested);
    // A pick from the list, by mouse or arrow keys. Typing alone must not count, but the box
    // itself reports leaving a typed text that matches a list entry as a pick.
    QObject::disconnect(m_type->lineEdit(), &QLineEdit::editingFinished, m_type, nullptr);
    connect(m_type, &QComboBox::activated, this, &EditorPane::typePicked);
}

EditorPane::~EditorPane() {
    // QWidget's destructor still closes and unfocuses the children, which would report to the
    // part of this object that is already gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        QObject::disconnect(child, nullptr, this, nullptr);
    }
}

QWidget* EditorPane::buildPage() {
    m_page = named(new QWidget, "tabDetails");
    m_page->setMinimumHeight(8 * kRowStep + kRowTop);
    auto row = [&](int index, const QString& caption, QWidget* field) {
        auto* l = new QLabel(caption, m_page);
        l->setGeometry(kLabelLeft, kRowTop + index * kRowStep + 3, kFieldsLeft - kLabelLeft - 4,
                       16);
        field->setGeometry(kFieldsLeft, kRowTop + index * kRowStep, 200, kFieldHeight);
    };
    m_title = named(new QLineEdit(m_page), "editTitle");
    m_url = named(new QLineEdit(m_page), "editURL");
    m_username = named(new QLineEdit(m_page), "editUsername");
    m_email = named(new QLineEdit(m_page), "editEmail");
    m_password = named(new QLineEdit(m_page), "editPassword");
    m_passphrase = named(new QLineEdit(m_page), "editPassPhrase");
    m_type = named(new QComboBox(m_page), "cmbPassType");
    m_expires = named(new QLineEdit(m_page), "editExpires");
    row(0, QStringLiteral("Description:"), m_title);
    row(1, QStringLiteral("Web site:"), m_url);
    row(2, QStringLiteral("Username:"), m_username);
    row(3, QStringLiteral("Email:"), m_email);
    row(4, QStringLiteral("Password:"), m_password);
    row(5, QStringLiteral("Passphrase:"), m_passphrase);
    row(6, QStringLiteral("Type:"), m_type);
    row(7, QStringLiteral("Expires:"), m_expires);
    // Fields have no length limit; Qt's default of 32767 would cut long texts on show and paste.
    for (QLineEdit* e : {m_title, m_url, m_username, m_email, m_password, m_passphrase, m_expires})
        e->setMaxLength(std::numeric_limits<int>::max());

    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    m_type->setMaxVisibleItems(10);
    // Inline completion would change what the user typed into a list entry they never picked.
    m_type->setCompleter(nullptr);

    // Widths leave each button 7 pixels after its field and ending where the long fields end.
    m_go = button(QStringLiteral("Go"), "btnURLGo", m_page);
    m_go->setGeometry(0, kRowTop + 1 * kRowStep, 23, kFieldHeight);
    m_generate = button(QStringLiteral("Generate"), "btnGenPassword1", m_page);
    m_generate->setToolTip(QStringLiteral("Generate a password"));
    m_generate->setGeometry(0, kRowTop + 4 * kRowStep, 67, kFieldHeight);
    m_editType = button(QStringLiteral("Edit..."), "btnEditType", m_page);
    m_editType->setToolTip(QStringLiteral("Edit the password types"));
    m_editType->setGeometry(0, kRowTop + 6 * kRowStep, 67, kFieldHeight);
    m_date = button(QStringLiteral("Pick Date..."), "btnDate", m_page);
    m_date->setToolTip(QStringLiteral("Pick the expiry date"));
    m_date->setGeometry(0, kRowTop + 7 * kRowStep, 67, kFieldHeight);

    for (QPushButton* b : {m_go, m_generate, m_editType, m_date}) fitCaption(b);

    buildLogoPanels(m_page);

    QWidget* order[] = {m_title, m_url,     m_username, m_email,    m_password, m_passphrase,
                        m_type,  m_expires, m_go,       m_generate, m_editType, m_date};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    for (QWidget* field : {static_cast<QWidget*>(m_title), static_cast<QWidget*>(m_url),
                           static_cast<QWidget*>(m_username), static_cast<QWidget*>(m_email),
                           static_cast<QWidget*>(m_password), static_cast<QWidget*>(m_passphrase),
                           static_cast<QWidget*>(m_expires)})
        field->installEventFilter(this);
    m_type->lineEdit()->installEventFilter(this);
    m_page->installEventFilter(this);
    return m_page;
}

void EditorPane::buildLogoPanels(QWidget* page) {
    m_logo = named(new QWidget(page), "pnlLogo");
    m_logo->setAutoFillBackground(true);
    QPalette blue = m_logo->palette();
    blue.setColor(QPalette::Window, kPaneBlue);
    blue.setColor(QPalette::WindowText, Qt::white);
    m_logo->setPalette(blue);
    auto* logoLayout = new QVBoxLayout(m_logo);
    auto* product = new QLabel(QStringLiteral("Vorkel"), m_logo);
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    product->setFont(big);
    logoLayout->addWidget(product);
    logoLayout->addWidget(new QLabel(QStringLiteral("protecting your data"), m_logo));
    logoLayout->addWidget(new QLabel(QStringLiteral("Now with 128-bit encryption"), m_logo));
    // Wide enough for its longest line in the font the system has (a substitute for Tahoma
    // may be wider), never narrower than the built-in width.
    logoLayout->setSpacing(2);
    m_logoWidth = std::max(kLogoWidth, m_logo->sizeHint().width());
    m_logo->resize(m_logoWidth, std::max(90, m_logo->sizeHint().height()));

    m_autoFill =
        named(new QGroupBox(QStringLiteral("New Powerful Features!"), page), "grpAutoFill");
    m_autoFill->setStyleSheet(QStringLiteral("QGroupBox#grpAutoFill { color: red; }"));
    auto* fillLayout = new QVBoxLayout(m_autoFill);
    auto* text = new QLabel(
        QStringLiteral("Now your Vorkel details can be automatically entered into your web "
                       "browser. "),
        m_autoFill);
    text->setWordWrap(true);
    fillLayout->addWidget(text);
    auto* autoEnter = button(QStringLiteral("Auto Fill"), "btnAutoEnter", m_autoFill);
    fillLayout->addWidget(autoEnter);
    fillLayout->setContentsMargins(6, 4, 6, 4);
    m_autoFill->resize(m_logoWidth, std::max(120, fillLayout->totalHeightForWidth(m_logoWidth)));
    connect(autoEnter, &QPushButton::clicked, this, &EditorPane::autoFillClicked);
}

QWidget* EditorPane::buildNotes() {
    auto* box = named(new QWidget, "pnlNotes");
    auto* header = named(new QLabel(QStringLiteral("Password Notes"), box), "lblNotesHeader");
    header->setFixedHeight(21);
    header->setAutoFillBackground(true);
    QPalette white = header->palette();
    white.setColor(QPalette::Window, kPaneBlue);
    white.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(white);
    m_notes = new NotesEdit(box);
    m_notes->installEventFilter(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(m_notes);
    return box;
}

void EditorPane::setTypingEnabled(bool enabled) {
    for (QWidget* field :
         std::initializer_list<QWidget*>{m_title, m_url, m_username, m_email, m_password,
                                         m_passphrase, m_type, m_expires, m_notes})
        field->setEnabled(enabled);
}

bool EditorPane::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyRelease:
            // A held key repeats press and release; only the physical release is an edit.
            if (watched != m_page && watched != m_type->lineEdit() &&
                !static_cast<QKeyEvent*>(event)->isAutoRepeat())
                emit fieldKeyReleased();
            break;
        case QEvent::KeyPress:
            // Enter in the type box would pick the typed text as if chosen from the list.
            if (watched == m_type->lineEdit()) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
            }
            // The keyboard's copy and cut of a secret go through the program's clipboard, which
            // marks them for clipboard histories; a masked field still gives nothing.
            if (watched == m_password || watched == m_passphrase || watched == m_username) {
                auto* field = static_cast<QLineEdit*>(watched);
                auto* key = static_cast<QKeyEvent*>(event);
                const bool cut = key->matches(QKeySequence::Cut);
                if ((cut || key->matches(QKeySequence::Copy)) && field->hasSelectedText() &&
                    field->echoMode() == QLineEdit::Normal) {
                    SecretClipboard::copySecret(field->selectedText());
                    if (cut && !field->isReadOnly()) field->del();
                    return true;
                }
            }
            break;
        case QEvent::Resize:
            if (watched == m_page) placeRightPanels();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void EditorPane::placeRightPanels() {
    // The logo panel keeps to the page's right edge; the fields follow it.
    const int left = m_page->width() - kMargin - m_logoWidth;
    m_logo->move(left, kMargin);
    m_autoFill->move(left, m_logo->y() + m_logo->height() + kMargin);
    pnlRightBaseResize();
}

void EditorPane::pnlRightBaseResize() {
    const vorkel::EditorFieldLayout l = vorkel::editorFieldLayout(m_logo->x(), m_title->x());
    auto width = [](QWidget* w, int value) { w->resize(std::max(0, value), w->height()); };
    width(m_title, l.fullWidth);
    width(m_username, l.fullWidth);
    width(m_email, l.fullWidth);
    width(m_url, l.urlWidth);
    width(m_passphrase, l.fullWidth);
    width(m_password, l.shortWidth);
    width(m_type, l.shortWidth);
    width(m_expires, l.shortWidth);
    m_go->move(l.goLeft, m_go->y());
    for (QPushButton* b : {m_generate, m_editType, m_date}) b->move(l.buttonsLeft, b->y());
}

void EditorPane::btnURLGoClick() {
    if (!m_url->text().isEmpty()) emit linkRequested(m_url->text());
}

void EditorPane::ShowEntry(const vorkel::Entry& entry) {
    const vorkel::EditorFields f = vorkel::Workspace::editorFields(entry);
    m_notes->setNotesText(QString::fromStdString(f.notes));
    m_title->setText(QString::fromStdString(f.title));
    m_username->setText(QString::fromStdString(f.username));
    m_email->setText(QString::fromStdString(f.email));
    m_url->setText(QString::fromStdString(f.webUrl));
    m_password->setText(QString::fromStdString(f.password));
    m_passphrase->setText(QString::fromStdString(f.passphrase));
    // A type no longer in the list is shown all the same.
    const QString type = QString::fromStdString(f.type);
    m_type->setCurrentIndex(m_type->findText(type));
    m_type->setEditText(type);
    m_expires->setText(QString::fromStdString(f.expires));
}

void EditorPane::ClearEditor() {
    m_notes->setNotesText({});
    for (QLineEdit* e : {m_title, m_username, m_email, m_url, m_password, m_passphrase, m_expires})
        e->clear();
    m_type->setCurrentIndex(-1);
    m_type->clearEditText();
}

vorkel::EditorFields EditorPane::fields() const {
    vorkel::EditorFields f;
    f.title = m_title->text().toStdString();
    f.webUrl = m_url->text().toStdString();
    f.username = m_username->text().toStdString();
    f.email = m_email->text().toStdString();
    f.password = m_password->text().toStdString();
    f.passphrase = m_passphrase->text().toStdString();
    f.type = m_type->currentText().toStdString();
    f.expires = m_expires->text().toStdString();
    f.notes = m_notes->notesText().toStdString();
    return f;
}

void EditorPane::ApplyDisplayOptions(const vorkel::Options& options) {
    auto mask = [](QLineEdit* e, std::int32_t clear) {
        e->setEchoMode(clear == 1 ? QLineEdit::Normal : QLineEdit::Password);
    };
    mask(m_username, options.ShowClearUsernames);
    mask(m_password, options.ShowClearPasswords);
    mask(m_passphrase, options.ShowClearPassphrase);
    m_notes->setLinksEnabled(vorkel::Options::on(options.HighlightURLs));
}

void EditorPane::setPassTypes(const std::vector<std::string>& types) {
    const QString shown = m_type->currentText();
    m_type->clear();
    for (const auto& t : types) m_type->addItem(QString::fromStdString(t));
    m_type->setCurrentIndex(m_type->findText(shown));
    m_type->setEditText(shown);
}

std::vector<std::string> EditorPane::passTypes() const {
    std::vector<std::string> types;
    types.reserve(std::size_t(m_type->count()));
    for (int i = 0; i < m_type->count(); ++i) types.push_back(m_type->itemText(i).toStdString());
    return types;
}

QLineEdit& EditorPane::lineField(Field field) const {
    switch (field) {
        case Field::Title:
            return *m_title;
        case Field::Username:
            return *m_username;
        case Field::Email:
            return *m_email;
        case Field::Url:
            return *m_url;
        case Field::Password:
            return *m_password;
        case Field::Passphrase:
            return *m_passphrase;
        case Field::Expires:
            return *m_expires;
    }
    return *m_title;  // unreachable: every Field is named above
}

void EditorPane::setPasswordText(const QString& password) {
    m_password->setText(password);
}

void EditorPane::setExpiresText(const QString& expires) {
    m_expires->setText(expires);
}

}  // namespace vorkel::gui
