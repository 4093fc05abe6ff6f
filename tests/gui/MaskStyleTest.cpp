#include <QLineEdit>
#include <QtTest>

#include "gui/ui/MaskStyle.h"

using namespace vorkel::gui;

// A masked field shows one "*" for each character, whatever the platform style draws.
class MaskStyleTest : public QObject {
    Q_OBJECT
private slots:
    void maskedFieldsUseAsterisks() {
        QApplication::setStyle(new MaskStyle);
        QLineEdit edit;
        edit.setEchoMode(QLineEdit::Password);
        edit.setText("secret");
        QCOMPARE(edit.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, &edit),
                 int('*'));
        QCOMPARE(edit.displayText(), QString(6, QChar('*')));
        QCOMPARE(edit.text(), QString("secret"));  // the stored text is untouched
    }
};

QTEST_MAIN(MaskStyleTest)
#include "MaskStyleTest.moc"
