#include "core/tools/AdvancedSearch.h"

#include <gtest/gtest.h>

#include "core/entries/Workspace.h"

using namespace vorkel;

namespace {

EntryPtr entry(EntryId id, std::string_view title, std::string_view notes,
               std::string_view username = "") {
    Entry::Texts t{};
    t[index(Field::Title)] = title;
    t[index(Field::Detail)] = notes;
    t[index(Field::Username)] = username;
    t[index(Field::CreateDate)] = "01/02/2010 03:04:05";
    t[index(Field::EditDate)] = "06/07/2011";
    return Entry::create(id, t);
}

EntryList list(std::initializer_list<EntryPtr> es) {
    EntryList l;
    for (auto& e : es) l.append(e);
    return l;
}

}  // namespace

TEST(AdvancedSearch, NotesMatchItemTextIsExact) {
    auto l = list({entry(0, "Greeting", "Hello World")});
    auto r = RunSearch(l, "world");
    ASSERT_EQ(r.items.size(), 1u);
    EXPECT_EQ(
        r.items[0],
        "<br><font color=\"#0000ff\"><b><u>Greeting</b></u></font><font color=\"#555555\">  "
        "Created: "
        "01/02/2010 03:04:05</font><br>Hello <b>world</b><br><font color=\"#008000\"><u>Click to "
        "view</u>  Last Updated: 06/07/2011</font>");
    EXPECT_EQ(r.positions, std::vector<std::size_t>{0});
    EXPECT_EQ(r.resultsLabel, "Results 1 to 1");
}

// Near-misses of a long text, and matches that overlap a near-miss, are found (or not) exactly.
TEST(AdvancedSearch, LongNearMissesAreNoMatch) {
    const std::string notes(4 << 20, 'a');
    const std::string text = std::string(3999, 'A') + "b";
    auto l = list({entry(0, "x", notes), entry(1, "y", notes + "b"), entry(2, "z", "aaab")});
    EXPECT_EQ(RunSearch(l, text).positions, std::vector<std::size_t>{1});
    EXPECT_EQ(RunSearch(l, "AAB").positions, (std::vector<std::size_t>{1, 2}));
    auto overlapping = list({entry(0, "x", "ababac abababab"), entry(1, "y", "ababac")});
    const SearchResults r = RunSearch(overlapping, "ABABAB");
    EXPECT_EQ(r.positions, std::vector<std::size_t>{0});
    EXPECT_NE(r.items[0].find("ababac <b>ABABAB</b>ab"), std::string::npos) << r.items[0];
    EXPECT_EQ(RunSearch(overlapping, "abac").positions, (std::vector<std::size_t>{0, 1}));
}

TEST(AdvancedSearch, FindsTitlesAndNotesButNoOtherField) {
    auto l = list({entry(0, "Gmail", ""), entry(1, "x", "write MAIL here"),
                   entry(2, "y", "", "mail"), entry(3, "z", "nothing")});
    auto r = RunSearch(l, "mail");
    EXPECT_EQ(r.positions, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(r.resultsLabel, "Results 1 to 2");
}

TEST(AdvancedSearch, EmptyOrUnmatchedSearchGivesTheSingleNoMatchItem) {
    auto l = list({entry(0, "a", "b")});
    for (std::string_view s : {"", "zzz"}) {
        auto r = RunSearch(l, s);
        EXPECT_TRUE(r.positions.empty());
        EXPECT_EQ(r.resultsLabel, "");
        ASSERT_EQ(r.items.size(), 1u);
        EXPECT_EQ(r.items[0], "<br>&nbsp;Your search - <b>\"" + std::string(s) +
                                  "\"</b> - did not match any password entries");
    }
}

TEST(AdvancedSearch, OnlyAsciiLettersIgnoreCase) {
    auto l = list({entry(0, "caf\xC3\x89", "")});  // capital E acute
    EXPECT_TRUE(RunSearch(l, "caf\xC3\xA9").positions.empty());
    EXPECT_EQ(RunSearch(l, "CAF\xC3\x89").positions.size(), 1u);
}

TEST(AdvancedSearch, LineBreaksBecomeBlanksAndTheCutCountsTags) {
    auto l = list({entry(0, "t", "a\r\nb key")});
    EXPECT_NE(RunSearch(l, "key").items[0].find("<br>a  b <b>key</b><br>"), std::string::npos);

    std::string longNotes(300, 'x');
    longNotes += "needle";
    auto far = RunSearch(list({entry(0, "t", longNotes)}), "needle");
    ASSERT_EQ(far.positions.size(), 1u);                           // still a result
    EXPECT_EQ(far.items[0].find("<b>needle"), std::string::npos);  // highlight cut off
    EXPECT_NE(far.items[0].find("<br>" + std::string(180, 'x') + "<br>"), std::string::npos);

    std::string after = "k" + std::string(400, 'y');
    std::string ex = searchExcerpt(after, "k", 0);
    EXPECT_EQ(ex, "<b>k</b>" + std::string(180 - 8, 'y'));
}

TEST(AdvancedSearch, EntryTextIsEscapedAndCountsAsWhatTheUserSees) {
    auto l = list({entry(0, "<i>&", "a<b>c & \"q\" find")});
    auto r = RunSearch(l, "find");
    EXPECT_NE(r.items[0].find("<b><u>&lt;i&gt;&amp;</b></u>"), std::string::npos);
    EXPECT_NE(r.items[0].find("a&lt;b&gt;c &amp; &quot;q&quot; <b>find</b>"), std::string::npos);
    // 200 ampersands: 180 visible characters survive the cut, each escaped.
    std::string amps(200, '&');
    std::string ex = searchExcerpt(amps, "x", std::string_view::npos);
    std::string expected;
    for (int i = 0; i < 180; ++i) expected += "&amp;";
    EXPECT_EQ(ex, expected);
    // The search text is escaped in the no-match item too.
    EXPECT_NE(RunSearch(l, "<zz>").items[0].find("&lt;zz&gt;"), std::string::npos);
}

TEST(AdvancedSearch, TitleMatchShowsTheBeginningOfTheNotesWithoutHighlight) {
    auto l = list({entry(0, "Bank", "line one\r\nline two")});
    auto r = RunSearch(l, "bank");
    EXPECT_NE(r.items[0].find("</font><br>line one  line two<br>"), std::string::npos);
    EXPECT_EQ(r.items[0].find("<b>bank"), std::string::npos);
}

TEST(AdvancedSearch, CutHighlightIsClosedBeforeTheNextLine) {
    std::string notes(176, 'x');
    notes += "needle";
    std::string ex = searchExcerpt(notes, "needle", 176);
    // "<b>" and one letter fit in the 180; the closing tag is added so the bold ends here.
    EXPECT_EQ(ex, std::string(176, 'x') + "<b>n</b>");
}

TEST(AdvancedSearch, ResultsFollowListOrderAndCutKeepsUtf8Whole) {
    auto l = list({entry(0, "b match", ""), entry(1, "a match", "")});
    EXPECT_EQ(RunSearch(l, "match").positions, (std::vector<std::size_t>{0, 1}));
    std::string notes;
    for (int i = 0; i < 200; ++i) notes += "\xC3\xA9";
    std::string ex = searchExcerpt(notes, "", std::string_view::npos);
    EXPECT_EQ(ex.size(), 360u);  // 180 characters of two bytes each
}

TEST(AdvancedSearch, ResultFollowsItsEntryThroughSortFilterAndDelete) {
    FixedClock clock{{2010, 12, 25, 14, 3, 59}};
    Workspace ws{clock};
    for (const char* t : {"b bank", "a other", "c bank"}) ws.AddEntry(t, "", "", "", "", "", "u");
    auto r = RunSearch(ws.master(), "bank");
    ASSERT_EQ(r.keys.size(), 2u);
    EXPECT_EQ(r.positions, (std::vector<std::size_t>{0, 2}));

    // Sorted since the search: the entry has moved, its result follows it.
    ws.ApplyOrder(ListOrder::ZtoA);  // c bank, b bank, a other
    auto t = locateResult(ws, r.keys[0]);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->index, 1u);
    EXPECT_FALSE(t->needsAllEntries);

    // A quick filter that hides it: its list position, once every entry is shown.
    ws.QuickSearch("other");
    t = locateResult(ws, r.keys[1]);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->index, 0u);
    EXPECT_TRUE(t->needsAllEntries);

    // Deleted, or a different entry under a reused identifier (a reload renumbers): gone.
    ws.ShowAllEntries();
    ws.DeleteEntry(0);
    EXPECT_FALSE(locateResult(ws, r.keys[1]));
    EXPECT_FALSE(locateResult(ws, ResultKey{r.keys[0].id, "01/01/1999"}));
}
