#include "gui/ui/QtMessageService.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "core/session/Messages.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

namespace {

QMessageBox::Icon iconOf(MessageService::Kind kind) {
    switch (kind) {
        case MessageService::Kind::Warning:
            return QMessageBox::Warning;
        case MessageService::Kind::Error:
            return QMessageBox::Critical;
        case MessageService::Kind::Information:
            return QMessageBox::Information;
        case MessageService::Kind::Confirm:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Texts carry entry titles the user typed: they are shown as typed, never as markup.
void prepare(QMessageBox& box, const QString& caption, QMessageBox::Icon icon,
             const std::string& text) {
    box.setWindowTitle(caption);
    box.setIcon(icon);
    box.setTextFormat(Qt::PlainText);
    box.setText(QtMessageService::displayText(text));
}

const QString kDataFileFilter = QStringLiteral("Vorkel Data Files (*.xdb)");
const QString kDataFileSuffix = QStringLiteral("xdb");

// One file type, and the extension added to a name typed without one.
void setUpDataFileDialog(QFileDialog& dialog, QFileDialog::AcceptMode mode) {
    dialog.setAcceptMode(mode);
    dialog.setNameFilter(kDataFileFilter);
    dialog.setDefaultSuffix(kDataFileSuffix);
}

std::optional<std::string> runFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return toStdString(files.front());
}

}  // namespace

QtMessageService::QtMessageService(QWidget* parent) : m_parent(parent) {}

void QtMessageService::setParentWidget(QWidget* parent) {
    m_parent = parent;
}

QWidget* QtMessageService::owner() const {
    // The window the user is working in: the logon dialog while the main window is hidden, a
    // modal editor over the main window. A box is centred on its parent, and on the screen
    // when it has none.
    QWidget* active = QApplication::activeModalWidget();
    if (!active) active = QApplication::activeWindow();
    if (active && active->isVisible() && !active->isMinimized()) return active;
    if (m_parent && m_parent->isVisible() && !m_parent->isMinimized()) return m_parent;
    return nullptr;
}

QString QtMessageService::displayText(const std::string& text) {
    QString shown = toQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

bool QtMessageService::askTwo(Kind kind, const std::string& text, const QString& accept,
                              const QString& decline) {
    QMessageBox box(owner());
    prepare(box, caption(kind), iconOf(kind), text);
    QPushButton* yes = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(decline, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool QtMessageService::askYesNo(Kind kind, const std::string& text) {
    return askTwo(kind, text, QStringLiteral("&Yes"), QStringLiteral("&No"));
}

void QtMessageService::tell(Kind kind, const std::string& text) {
    QMessageBox box(owner());
    prepare(box, caption(kind), iconOf(kind), text);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool QtMessageService::askOkCancel(Kind kind, const std::string& text) {
    return askTwo(kind, text, QStringLiteral("OK"), QStringLiteral("Cancel"));
}

void QtMessageService::reportUnexpected(const std::string& text) {
    QMessageBox box(owner());
    prepare(box, toQString(vorkel::msg::kApplicationTitle), QMessageBox::Critical, text);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

std::optional<std::string> QtMessageService::inputText(const std::string& caption,
                                                       const std::string& prompt,
                                                       const std::string& initial) {
    QInputDialog dialog(owner());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(toQString(caption));
    // Wide enough that the window manager's title bar shows the caption whole: a title font
    // somewhat larger than the dialog's, and room for the frame's buttons. The dialog's layout
    // sets its own minimum, so the text field carries the width.
    const QFontMetrics metrics(dialog.font());
    if (auto* field = dialog.findChild<QLineEdit*>())
        field->setMinimumWidth(metrics.horizontalAdvance(toQString(caption)) * 3 / 2 + 100);
    dialog.setLabelText(toQString(prompt));
    dialog.setTextValue(toQString(initial));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Cancel"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return toStdString(dialog.textValue());
}

std::optional<std::string> QtMessageService::chooseSaveFile(const std::string& defaultName) {
    QFileDialog dialog(owner());
    setUpDataFileDialog(dialog, QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(toQString(defaultName));
    return runFileDialog(dialog);
}

std::optional<std::string> QtMessageService::chooseOpenFile() {
    QFileDialog dialog(owner());
    setUpDataFileDialog(dialog, QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog);
}

}  // namespace vorkel::gui
