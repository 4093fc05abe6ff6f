#include <QDesktopServices>
#include <QTest>
#include <QUrl>

#include "core/Product.h"
#include "gui/ui/LinkOpener.h"

using namespace vorkel::gui;

namespace {

// Takes the addresses that would have gone to the desktop's handlers.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

const QString kTellAFriend = QStringLiteral(
    "mailto:?subject=Vorkel&body=Hi,%0A%0AYou may be interested in Vorkel.%0A%0ACheck it out "
    "from the following URL: https://www.vorkel.app/%0A%0AThanks!");

}  // namespace

class LinkOpenerTest : public QObject {
    Q_OBJECT

private slots:
    void addressesWithASchemeAreKept_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("https") << "https://www.vorkel.app/";
        QTest::newRow("http with query") << "http://example.org/a?b=c#d";
        QTest::newRow("ftp") << "ftp://files.example.org/x.zip";
        QTest::newRow("mailto") << "mailto:someone@example.org";
        QTest::newRow("file") << "file:///home/user/Vorkel.html";
    }
    void addressesWithASchemeAreKept() {
        QFETCH(QString, text);
        const QUrl url = LinkOpener::linkUrl(text);
        QVERIFY(url.isValid());
        QCOMPARE(url.toString(), text);
    }

    void webAddressesWithoutASchemeGetHttp_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("www") << "www.example.com"
                             << "http://www.example.com";
        QTest::newRow("host and path") << "example.com/login"
                                       << "http://example.com/login";
        QTest::newRow("host, port, path") << "www.example.com:8080/x"
                                          << "http://www.example.com:8080/x";
        QTest::newRow("localhost port") << "localhost:8080"
                                        << "http://localhost:8080";
        QTest::newRow("blanks around") << "  www.example.com \t"
                                       << "http://www.example.com";
        QTest::newRow("query") << "shop.example.co.uk?item=3"
                               << "http://shop.example.co.uk?item=3";
    }
    void webAddressesWithoutASchemeGetHttp() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(LinkOpener::linkUrl(text).toString(), expected);
    }

    void absolutePathsAreFiles() {
        const QUrl url = LinkOpener::linkUrl(QStringLiteral("/home/user/My Notes/Vorkel.html"));
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), QStringLiteral("/home/user/My Notes/Vorkel.html"));
    }

    void textThatNamesNothingOpensNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("a word") << "hello";
        QTest::newRow("words") << "see example.com now";
        QTest::newRow("dot at the end") << "example.";
        QTest::newRow("dot at the start") << ".example";
        QTest::newRow("bare e-mail address") << "someone@example.com";
    }
    void textThatNamesNothingOpensNothing() {
        QFETCH(QString, text);
        QVERIFY(!LinkOpener::linkUrl(text).isValid());
    }

    void tellAFriendMailKeepsItsLineFeeds() {
        const QUrl url = LinkOpener::linkUrl(kTellAFriend);
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QVERIFY(url.path().isEmpty());  // no recipient
        const QByteArray encoded = url.toEncoded();
        QVERIFY(encoded.startsWith("mailto:?subject=Vorkel&body=Hi,%0A%0AYou%20may%20be"));
        QVERIFY(encoded.endsWith("https://www.vorkel.app/%0A%0AThanks!"));
    }

    void theDefaultOpenerHandsAddressesToTheDesktop() {
        UrlCatcher catcher;
        for (const char* scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
        LinkOpener opener;
        opener.OpenLink(QStringLiteral("www.example.com"));
        opener.OpenLink(QString::fromUtf8(vorkel::kProductWebSite.data(),
                                          static_cast<qsizetype>(vorkel::kProductWebSite.size())));
        opener.OpenLink(kTellAFriend);
        opener.OpenLink(QString());                     // nothing
        opener.OpenLink(QStringLiteral("no address"));  // nothing
        opener.OpenFile(QStringLiteral("/opt/vorkel/Vorkel.html"));
        opener.OpenFile(QString());  // nothing
        for (const char* scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

        QCOMPARE(catcher.urls.size(), 4);
        QCOMPARE(catcher.urls[0], QUrl(QStringLiteral("http://www.example.com")));
        QCOMPARE(catcher.urls[1], QUrl(QStringLiteral("https://www.vorkel.app/")));
        QCOMPARE(catcher.urls[2].scheme(), QStringLiteral("mailto"));
        QCOMPARE(catcher.urls[3], QUrl::fromLocalFile(QStringLiteral("/opt/vorkel/Vorkel.html")));
    }
};

QTEST_MAIN(LinkOpenerTest)
#include "LinkOpenerTest.moc"
