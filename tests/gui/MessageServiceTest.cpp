#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTest>
#include <stdexcept>

#include "gui/ui/QtMessageService.h"
#include "support/DialogWatch.h"
#include "support/ScriptedMessageService.h"
#include "support/TempDir.h"

using namespace vorkel::gui;

using vorkel::test::DialogWatch;
using Kind = MessageService::Kind;

namespace {

// What a message box looked like when it showed.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;
    QWidget* parent = nullptr;
};

// Notes the box, then clicks the button captioned `click` (or presses Escape when empty).
DialogWatch answerBox(SeenBox& seen, const QString& click) {
    return DialogWatch::modal([&seen, click](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.format = box->textFormat();
        seen.parent = box->parentWidget();
        for (QAbstractButton* b : box->buttons()) seen.buttons.append(b->text());
        if (click.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == click) b->click();
    });
}

}  // namespace

class MessageServiceTest : public QObject {
    Q_OBJECT

private slots:
    void captionsFollowTheKind() {
        QCOMPARE(MessageService::caption(Kind::Warning), QStringLiteral("Warning"));
        QCOMPARE(MessageService::caption(Kind::Error), QStringLiteral("Error"));
        QCOMPARE(MessageService::caption(Kind::Information), QStringLiteral("Information"));
        QCOMPARE(MessageService::caption(Kind::Confirm), QStringLiteral("Confirm"));
    }

    void guardedReportsAFailureAndGoesOn() {
        vorkel::test::ScriptedMessageService ui;
        bool ran = false;
        ui.guarded([&] { ran = true; });
        QVERIFY(ran);
        QVERIFY(ui.said.empty());
        ui.guarded([] { throw std::runtime_error("The disk is full."); });
        QCOMPARE(ui.said.size(), std::size_t(1));
        QCOMPARE(int(ui.said[0].prompt),
                 int(vorkel::test::ScriptedMessageService::Prompt::Unexpected));
        QCOMPARE(ui.said[0].text, std::string("The disk is full."));
    }

    void carriageReturnsBreakLines() {
        QCOMPARE(QtMessageService::displayText("A.\r\rB?"), QStringLiteral("A.\n\nB?"));
        QCOMPARE(QtMessageService::displayText("A\r\nB"), QStringLiteral("A\nB"));
        QCOMPARE(QtMessageService::displayText("caf\xc3\xa9"), QStringLiteral("caf\u00e9"));
    }

    void tellShowsOneOkWithTheKindsCaptionAndIcon_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::newRow("warning") << int(Kind::Warning) << "Warning" << int(QMessageBox::Warning);
        QTest::newRow("error") << int(Kind::Error) << "Error" << int(QMessageBox::Critical);
        QTest::newRow("information")
            << int(Kind::Information) << "Information" << int(QMessageBox::Information);
        QTest::newRow("confirm") << int(Kind::Confirm) << "Confirm" << int(QMessageBox::Question);
    }
    void tellShowsOneOkWithTheKindsCaptionAndIcon() {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QWidget owner;
        owner.show();
        QtMessageService service(&owner);
        SeenBox seen;
        auto watch = answerBox(seen, QStringLiteral("OK"));
        service.tell(static_cast<Kind>(kind), "Please enter a password.");
        QVERIFY(watch.ran());
        QCOMPARE(seen.caption, caption);
        QCOMPARE(int(seen.icon), icon);
        QCOMPARE(seen.text, QStringLiteral("Please enter a password."));
        QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(seen.parent, &owner);
    }

    void textsAreShownAsTyped() {
        QtMessageService service;
        SeenBox seen;
        auto watch = answerBox(seen, QStringLiteral("&No"));
        service.askYesNo(Kind::Confirm, "Delete <b>Bank</b> &amp; co?\r\rSure?");
        QCOMPARE(seen.format, Qt::PlainText);
        QCOMPARE(seen.text, QStringLiteral("Delete <b>Bank</b> &amp; co?\n\nSure?"));
    }

    void yesNoAnswers() {
        QtMessageService service;
        {
            SeenBox seen;
            auto watch = answerBox(seen, QStringLiteral("&Yes"));
            QVERIFY(service.askYesNo(Kind::Warning, "Proceed?"));
            QCOMPARE(seen.buttons, (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));
            QCOMPARE(seen.caption, QStringLiteral("Warning"));
        }
        {
            SeenBox seen;
            auto watch = answerBox(seen, QStringLiteral("&No"));
            QVERIFY(!service.askYesNo(Kind::Confirm, "Proceed?"));
        }
        {
            SeenBox seen;
            auto watch = answerBox(seen, QString());
            QVERIFY(!service.askYesNo(Kind::Confirm, "Proceed?"));
            QVERIFY(watch.ran());
        }
    }

    void okCancelAnswers() {
        QtMessageService service;
        {
            SeenBox seen;
            auto watch = answerBox(seen, QStringLiteral("OK"));
            QVERIFY(service.askOkCancel(Kind::Confirm, "Go on?"));
            QCOMPARE(seen.buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("Cancel")}));
        }
        {
            SeenBox seen;
            auto watch = answerBox(seen, QStringLiteral("Cancel"));
            QVERIFY(!service.askOkCancel(Kind::Confirm, "Go on?"));
        }
    }

    void unexpectedFailuresAreCaptionedWithTheApplicationTitle() {
        QtMessageService service;
        SeenBox seen;
        auto watch = answerBox(seen, QStringLiteral("OK"));
        service.reportUnexpected("Cannot create file \"/x\". Permission denied");
        QCOMPARE(seen.caption, QStringLiteral("Vorkel 3"));
        QCOMPARE(int(seen.icon), int(QMessageBox::Critical));
        QCOMPARE(seen.text, QStringLiteral("Cannot create file \"/x\". Permission denied"));
        QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
    }

    void theParentMayComeLater() {
        QtMessageService service;
        QWidget window;
        window.show();
        service.setParentWidget(&window);
        SeenBox seen;
        auto watch = answerBox(seen, QStringLiteral("OK"));
        service.tell(Kind::Information, "x");
        QCOMPARE(seen.parent, &window);
    }

    void aBoxStandsOverTheWindowInUseNotOverAHiddenParent() {
        // The logon dialog asks while the main window is hidden.
        QWidget hiddenMain;
        QtMessageService service(&hiddenMain);
        {
            SeenBox seen;
            auto watch = answerBox(seen, QStringLiteral("OK"));
            service.tell(Kind::Warning, "x");
            QCOMPARE(seen.parent, nullptr);  // centred on the screen
        }
        QDialog inUse(&hiddenMain);
        inUse.show();
        inUse.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&inUse));
        SeenBox seen;
        auto watch = answerBox(seen, QStringLiteral("OK"));
        service.tell(Kind::Warning, "x");
        QCOMPARE(seen.parent, &inUse);
    }

    void inputBox() {
        QtMessageService service;
        QString caption, label, initial;
        {
            auto watch = DialogWatch::modal([&](QWidget* w) {
                auto* input = qobject_cast<QInputDialog*>(w);
                QVERIFY(input);
                caption = input->windowTitle();
                // Wide enough for the caption in a title bar, with its buttons beside it.
                QVERIFY(input->width() >
                        input->fontMetrics().horizontalAdvance(input->windowTitle()) + 100);
                label = input->labelText();
                initial = input->textValue();
                input->setTextValue(QStringLiteral("Bank \u00e9"));
                input->accept();
            });
            const auto typed = service.inputText("New Password Entry", "Enter a Description", "");
            QCOMPARE(caption, QStringLiteral("New Password Entry"));
            QCOMPARE(label, QStringLiteral("Enter a Description"));
            QVERIFY(initial.isEmpty());
            QCOMPARE(typed, std::optional<std::string>("Bank \xc3\xa9"));
        }
        {
            auto watch = DialogWatch::modal([&](QWidget* w) {
                initial = qobject_cast<QInputDialog*>(w)->textValue();
                qobject_cast<QDialog*>(w)->reject();
            });
            QCOMPARE(service.inputText("c", "p", "start"), std::nullopt);
            QCOMPARE(initial, QStringLiteral("start"));
        }
    }

    void saveDialogOffersTheNameAndAddsTheExtension() {
        vorkel::test::TempDir dir;
        QtMessageService service;
        QStringList filters;
        QString suffix;
        QString offered;
        auto watch = DialogWatch::modal([&](QWidget* w) {
            auto* files = qobject_cast<QFileDialog*>(w);
            QVERIFY(files);
            QCOMPARE(files->acceptMode(), QFileDialog::AcceptSave);
            filters = files->nameFilters();
            suffix = files->defaultSuffix();
            offered = QFileInfo(files->selectedFiles().value(0)).fileName();
            files->selectFile(QString::fromStdString(dir.file("backup")));
            static_cast<QDialog*>(files)->accept();  // QFileDialog::accept, protected there
        });
        const auto chosen = service.chooseSaveFile("Vorkel24-05-01.xdb");
        QVERIFY(watch.ran());
        QCOMPARE(filters, QStringList{QStringLiteral("Vorkel Data Files (*.xdb)")});
        QCOMPARE(suffix, QStringLiteral("xdb"));
        QCOMPARE(offered, QStringLiteral("Vorkel24-05-01.xdb"));
        QCOMPARE(chosen, std::optional<std::string>(dir.file("backup.xdb")));
    }

    void openDialogReturnsTheFileOrNothing() {
        vorkel::test::TempDir dir;
        vorkel::test::writeFile(dir.file("old.xdb"), "x");
        QtMessageService service;
        {
            auto watch = DialogWatch::modal([&](QWidget* w) {
                auto* files = qobject_cast<QFileDialog*>(w);
                QVERIFY(files);
                QCOMPARE(files->acceptMode(), QFileDialog::AcceptOpen);
                QCOMPARE(files->fileMode(), QFileDialog::ExistingFile);
                QCOMPARE(files->nameFilters(),
                         QStringList{QStringLiteral("Vorkel Data Files (*.xdb)")});
                files->selectFile(QString::fromStdString(dir.file("old.xdb")));
                static_cast<QDialog*>(files)->accept();  // QFileDialog::accept, protected there
            });
            QCOMPARE(service.chooseOpenFile(), std::optional<std::string>(dir.file("old.xdb")));
        }
        {
            auto watch =
                DialogWatch::modal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
            QCOMPARE(service.chooseOpenFile(), std::nullopt);
            QVERIFY(watch.ran());
        }
    }
};

QTEST_MAIN(MessageServiceTest)
#include "MessageServiceTest.moc"
