// The advanced search's result items, byte for byte as the result list receives them, made from
// what the core's search found.

#include <QtTest>
#include <string>
#include <vector>

#include "core/entries/EntryList.h"
#include "core/tools/AdvancedSearch.h"
#include "gui/tools/SearchResultsHtml.h"
#include "gui/ui/QtText.h"
#include "support/SearchEntries.h"

using namespace vorkel;
using namespace vorkel::gui;
using vorkel::test::listOf;
using vorkel::test::searchEntry;

namespace {

/// The items the result list would show for `text` searched in `l`, as UTF-8.
std::vector<std::string> items(const EntryList& l, std::string_view text) {
    std::vector<std::string> out;
    for (const QString& item : searchResultItems(RunSearch(l, text)))
        out.push_back(toStdString(item));
    return out;
}

bool holds(const std::string& item, const std::string& piece) {
    return item.find(piece) != std::string::npos;
}

}  // namespace

class SearchResultsHtmlTest : public QObject {
    Q_OBJECT
private slots:
    void notesMatchItemTextIsExact() {
        const auto found = items(listOf({searchEntry(0, "Greeting", "Hello World")}), "world");
        QCOMPARE(found.size(), std::size_t(1));
        QCOMPARE(found[0],
                 std::string("<br><font color=\"#0000ff\"><b><u>Greeting</b></u></font><font "
                             "color=\"#555555\">  Created: 01/02/2010 03:04:05</font><br>Hello "
                             "<b>world</b><br><font color=\"#008000\"><u>Click to view</u>  Last "
                             "Updated: 06/07/2011</font>"));
        const auto overlapping =
            items(listOf({searchEntry(0, "x", "ababac abababab"), searchEntry(1, "y", "ababac")}),
                  "ABABAB");
        QVERIFY(holds(overlapping[0], "ababac <b>ABABAB</b>ab"));
    }

    void emptyOrUnmatchedSearchGivesTheSingleNoMatchItem() {
        const EntryList l = listOf({searchEntry(0, "a", "b")});
        for (std::string s : {"", "zzz"}) {
            const auto found = items(l, s);
            QCOMPARE(found.size(), std::size_t(1));
            QCOMPARE(found[0], "<br>&nbsp;Your search - <b>\"" + s +
                                   "\"</b> - did not match any password entries");
        }
    }

    void lineBreaksBecomeBlanksAndTheCutCountsTags() {
        QVERIFY(holds(items(listOf({searchEntry(0, "t", "a\r\nb key")}), "key")[0],
                      "<br>a  b <b>key</b><br>"));

        std::string longNotes(300, 'x');
        longNotes += "needle";
        const auto far = items(listOf({searchEntry(0, "t", longNotes)}), "needle");
        QVERIFY(!holds(far[0], "<b>needle"));  // highlight cut off
        QVERIFY(holds(far[0], "<br>" + std::string(180, 'x') + "<br>"));

        const std::string after = "k" + std::string(400, 'y');
        QCOMPARE(excerptHtml(searchExcerpt(after, "k", 0)), "<b>k</b>" + std::string(180 - 8, 'y'));
    }

    void entryTextIsEscapedAndCountsAsWhatTheUserSees() {
        const EntryList l = listOf({searchEntry(0, "<i>&", "a<b>c & \"q\" find")});
        const auto found = items(l, "find");
        QVERIFY(holds(found[0], "<b><u>&lt;i&gt;&amp;</b></u>"));
        QVERIFY(holds(found[0], "a&lt;b&gt;c &amp; &quot;q&quot; <b>find</b>"));
        // 200 ampersands: 180 visible characters survive the cut, each escaped.
        std::string expected;
        for (int i = 0; i < 180; ++i) expected += "&amp;";
        QCOMPARE(excerptHtml(searchExcerpt(std::string(200, '&'), "x", std::string_view::npos)),
                 expected);
        // The search text is escaped in the no-match item too.
        QVERIFY(holds(items(l, "<zz>")[0], "&lt;zz&gt;"));
        QCOMPARE(escapeMarkup("a&<>\"'b"), std::string("a&amp;&lt;&gt;&quot;'b"));
    }

    void titleMatchShowsTheBeginningOfTheNotesWithoutHighlight() {
        const auto found = items(listOf({searchEntry(0, "Bank", "line one\r\nline two")}), "bank");
        QVERIFY(holds(found[0], "</font><br>line one  line two<br>"));
        QVERIFY(!holds(found[0], "<b>bank"));
    }

    void cutHighlightIsClosedBeforeTheNextLine() {
        std::string notes(176, 'x');
        notes += "needle";
        // "<b>" and one letter fit in the 180; the closing tag is added so the bold ends here.
        QCOMPARE(excerptHtml(searchExcerpt(notes, "needle", 176)),
                 std::string(176, 'x') + "<b>n</b>");
    }

    void cutKeepsUtf8Whole() {
        std::string notes;
        for (int i = 0; i < 200; ++i) notes += "\xC3\xA9";
        // 180 characters of two bytes each
        QCOMPARE(excerptHtml(searchExcerpt(notes, "", std::string_view::npos)).size(),
                 std::size_t(360));
    }
};

QTEST_MAIN(SearchResultsHtmlTest)
#include "SearchResultsHtmlTest.moc"
