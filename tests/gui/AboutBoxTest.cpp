#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "core/Version.h"
#include "gui/ui/AboutBox.h"
#include "gui/ui/LinkOpener.h"
#include "support/DialogWatch.h"

using namespace vorkel::gui;

namespace {

class RecordingLinks : public LinkOpener {
public:
    QStringList links;
    QStringList files;
    void OpenLink(const QString& text) override { links.append(text); }
    void OpenFile(const QString& path) override { files.append(path); }
};

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void showsNameVersionAndSite() {
        RecordingLinks links;
        AboutBox box(links);
        QCOMPARE(box.objectName(), QStringLiteral("TfmAbout"));
        QCOMPARE(box.windowTitle(), QStringLiteral("About Vorkel"));
        QVERIFY(box.isModal());
        auto* name = box.findChild<QLabel*>("lblProductName");
        QCOMPARE(name->text(), QStringLiteral("Vorkel"));
        QVERIFY(name->font().bold());
        QCOMPARE(box.findChild<QLabel*>("lblVersion")->text(),
                 QString("(version " VORKEL_VERSION ")"));
        auto* site = box.findChild<QLabel*>("lblWebSite");
        QCOMPARE(site->text(), QStringLiteral("https://www.vorkel.app/"));
        QCOMPARE(site->textFormat(), Qt::PlainText);
        QCOMPARE(site->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(box.findChild<QPushButton*>("btnOK")->text(), QStringLiteral("OK"));
    }

    void clickingTheSiteOpensIt() {
        RecordingLinks links;
        AboutBox box(links);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.findChild<QLabel*>("lblWebSite"), Qt::RightButton);
        QTest::mouseClick(box.findChild<QLabel*>("lblVersion"), Qt::LeftButton);
        QTest::mouseClick(box.findChild<QLabel*>("lblProductName"), Qt::LeftButton);
        QVERIFY(links.links.isEmpty());
        QTest::mouseClick(box.findChild<QLabel*>("lblWebSite"), Qt::LeftButton);
        QCOMPARE(links.links, QStringList{QStringLiteral("https://www.vorkel.app/")});
        QVERIFY(links.files.isEmpty());
        QVERIFY(box.isVisible());  // opening the site does not close the box
    }

    void okClosesTheModalBox() {
        RecordingLinks links;
        AboutBox box(links);
        auto watch = vorkel::test::DialogWatch::named(QStringLiteral("TfmAbout"), [](QWidget* w) {
            QTest::mouseClick(w->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        });
        QCOMPARE(box.exec(), int(QDialog::Accepted));
        QVERIFY(watch.ran());
        QVERIFY(links.links.isEmpty());
    }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
