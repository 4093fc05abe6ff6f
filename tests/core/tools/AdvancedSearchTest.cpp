#include "core/tools/AdvancedSearch.h"

#include <gtest/gtest.h>

#include "core/entries/Workspace.h"
#include "support/SearchEntries.h"

using namespace vorkel;

using test::listOf;
using test::searchEntry;

// The markup these pieces make is pinned where it is drawn (SearchResultsHtmlTest).
TEST(AdvancedSearch, NotesMatchHitCarriesEveryShownText) {
    auto l = listOf({searchEntry(0, "Greeting", "Hello World")});
    auto r = RunSearch(l, "world");
    ASSERT_EQ(r.hits.size(), 1u);
    const SearchHit& hit = r.hits[0];
    EXPECT_EQ(hit.field, MatchedField::Notes);
    EXPECT_EQ(hit.title, "Greeting");
    EXPECT_EQ(hit.key.created, "01/02/2010 03:04:05");
    EXPECT_EQ(hit.editDate, "06/07/2011");
    EXPECT_EQ(hit.excerpt.before, "Hello ");
    EXPECT_TRUE(hit.excerpt.highlighted);
    EXPECT_EQ(hit.excerpt.match, "world");  // the search text as typed, not the notes' letters
    EXPECT_EQ(hit.excerpt.after, "");
    EXPECT_EQ(r.positions(), std::vector<std::size_t>{0});
    EXPECT_EQ(r.resultsLabel, "Results 1 to 1");
}

// Near-misses of a long text, and matches that overlap a near-miss, are found (or not) exactly.
TEST(AdvancedSearch, LongNearMissesAreNoMatch) {
    const std::string notes(4 << 20, 'a');
    const std::string text = std::string(3999, 'A') + "b";
    auto l = listOf({searchEntry(0, "x", notes), searchEntry(1, "y", notes + "b"),
                     searchEntry(2, "z", "aaab")});
    EXPECT_EQ(RunSearch(l, text).positions(), std::vector<std::size_t>{1});
    EXPECT_EQ(RunSearch(l, "AAB").positions(), (std::vector<std::size_t>{1, 2}));
    auto overlapping =
        listOf({searchEntry(0, "x", "ababac abababab"), searchEntry(1, "y", "ababac")});
    const SearchResults r = RunSearch(overlapping, "ABABAB");
    EXPECT_EQ(r.positions(), std::vector<std::size_t>{0});
    const SearchExcerpt& x = r.hits[0].excerpt;
    EXPECT_EQ(x.before, "ababac ");
    EXPECT_TRUE(x.highlighted);
    EXPECT_EQ(x.match, "ABABAB");
    EXPECT_EQ(x.after, "ab");
    EXPECT_EQ(RunSearch(overlapping, "abac").positions(), (std::vector<std::size_t>{0, 1}));
}

TEST(AdvancedSearch, FindsTitlesAndNotesButNoOtherField) {
    auto l = listOf({searchEntry(0, "Gmail", ""), searchEntry(1, "x", "write MAIL here"),
                     searchEntry(2, "y", "", "mail"), searchEntry(3, "z", "nothing")});
    auto r = RunSearch(l, "mail");
    EXPECT_EQ(r.positions(), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(r.hits[0].field, MatchedField::Title);
    EXPECT_EQ(r.hits[1].field, MatchedField::Notes);
    EXPECT_EQ(r.resultsLabel, "Results 1 to 2");
}

TEST(AdvancedSearch, EmptyOrUnmatchedSearchFindsNothingAndKeepsTheText) {
    auto l = listOf({searchEntry(0, "a", "b")});
    for (std::string_view s : {"", "zzz"}) {
        auto r = RunSearch(l, s);
        EXPECT_TRUE(r.hits.empty());
        EXPECT_TRUE(r.positions().empty());
        EXPECT_EQ(r.resultsLabel, "");
        EXPECT_EQ(r.text, s);  // the "did not match" item quotes it
    }
}

TEST(AdvancedSearch, OnlyAsciiLettersIgnoreCase) {
    auto l = listOf({searchEntry(0, "caf\xC3\x89", "")});  // capital E acute
    EXPECT_TRUE(RunSearch(l, "caf\xC3\xA9").hits.empty());
    EXPECT_EQ(RunSearch(l, "CAF\xC3\x89").hits.size(), 1u);
}

TEST(AdvancedSearch, LineBreaksBecomeBlanksAndTheCutCountsTags) {
    auto l = listOf({searchEntry(0, "t", "a\r\nb key")});
    const SearchExcerpt breaks = RunSearch(l, "key").hits[0].excerpt;
    EXPECT_EQ(breaks.before, "a  b ");
    EXPECT_EQ(breaks.match, "key");
    EXPECT_EQ(breaks.after, "");

    // A damaged lead byte counts as one character and swallows no line break after it.
    const SearchExcerpt damaged = searchExcerpt("\xFCs/\nkey", "key", 4);
    EXPECT_EQ(damaged.before, "\xFCs/ ");
    EXPECT_EQ(damaged.match, "key");

    std::string longNotes(300, 'x');
    longNotes += "needle";
    auto far = RunSearch(listOf({searchEntry(0, "t", longNotes)}), "needle");
    ASSERT_EQ(far.hits.size(), 1u);                 // still a result
    EXPECT_FALSE(far.hits[0].excerpt.highlighted);  // highlight cut off
    EXPECT_EQ(far.hits[0].excerpt.before, std::string(180, 'x'));
    EXPECT_EQ(far.hits[0].excerpt.match + far.hits[0].excerpt.after, "");

    std::string after = "k" + std::string(400, 'y');
    const SearchExcerpt ex = searchExcerpt(after, "k", 0);
    EXPECT_EQ(ex.before, "");
    EXPECT_TRUE(ex.highlighted);
    EXPECT_EQ(ex.match, "k");
    EXPECT_EQ(ex.after, std::string(180 - 8, 'y'));  // the marks count 3 and 4
}

TEST(AdvancedSearch, EntryTextStaysAsStoredAndCountsAsWhatTheUserSees) {
    auto l = listOf({searchEntry(0, "<i>&", "a<b>c & \"q\" find")});
    auto r = RunSearch(l, "find");
    EXPECT_EQ(r.hits[0].title, "<i>&");
    EXPECT_EQ(r.hits[0].excerpt.before, "a<b>c & \"q\" ");
    // 200 ampersands: 180 visible characters survive the cut, whatever markup will make of them.
    std::string amps(200, '&');
    EXPECT_EQ(searchExcerpt(amps, "x", std::string_view::npos).before, std::string(180, '&'));
    EXPECT_EQ(RunSearch(l, "<zz>").text, "<zz>");
}

TEST(AdvancedSearch, TitleMatchShowsTheBeginningOfTheNotesWithoutHighlight) {
    auto l = listOf({searchEntry(0, "Bank", "line one\r\nline two")});
    auto r = RunSearch(l, "bank");
    EXPECT_EQ(r.hits[0].field, MatchedField::Title);
    EXPECT_EQ(r.hits[0].excerpt.before, "line one  line two");
    EXPECT_FALSE(r.hits[0].excerpt.highlighted);
}

TEST(AdvancedSearch, CutHighlightIsClosedBeforeTheNextLine) {
    std::string notes(176, 'x');
    notes += "needle";
    const SearchExcerpt ex = searchExcerpt(notes, "needle", 176);
    // The opening mark (3) and one letter fit in the 180; the highlight still ends there.
    EXPECT_EQ(ex.before, std::string(176, 'x'));
    EXPECT_TRUE(ex.highlighted);
    EXPECT_EQ(ex.match, "n");
    EXPECT_EQ(ex.after, "");

    // A cut inside the opening mark drops the highlight wholly.
    const SearchExcerpt dropped = searchExcerpt(std::string(178, 'x') + "needle", "needle", 178);
    EXPECT_EQ(dropped.before, std::string(178, 'x'));
    EXPECT_FALSE(dropped.highlighted);
    EXPECT_EQ(dropped.match + dropped.after, "");
}

TEST(AdvancedSearch, ResultsFollowListOrderAndCutKeepsUtf8Whole) {
    auto l = listOf({searchEntry(0, "b match", ""), searchEntry(1, "a match", "")});
    EXPECT_EQ(RunSearch(l, "match").positions(), (std::vector<std::size_t>{0, 1}));
    std::string notes;
    for (int i = 0; i < 200; ++i) notes += "\xC3\xA9";
    const SearchExcerpt ex = searchExcerpt(notes, "", std::string_view::npos);
    EXPECT_EQ(ex.before.size(), 360u);  // 180 characters of two bytes each
}

TEST(AdvancedSearch, ResultFollowsItsEntryThroughSortFilterAndDelete) {
    FixedClock clock{{2010, 12, 25, 14, 3, 59}};
    Workspace ws{clock};
    for (const char* t : {"b bank", "a other", "c bank"}) ws.AddEntry(t, "", "", "", "", "", "u");
    const SearchResults found = RunSearch(ws.master(), "bank");
    const std::vector<ResultKey> keys = found.keys();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(found.positions(), (std::vector<std::size_t>{0, 2}));

    // Sorted since the search: the entry has moved, its result follows it.
    ws.ApplyOrder(ListOrder::ZtoA);  // c bank, b bank, a other
    auto t = locateResult(ws, keys[0]);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->index, 1u);
    EXPECT_FALSE(t->needsAllEntries);

    // A quick filter that hides it: its list position, once every entry is shown.
    ws.QuickSearch("other");
    t = locateResult(ws, keys[1]);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->index, 0u);
    EXPECT_TRUE(t->needsAllEntries);

    // Deleted, or a different entry under a reused identifier (a reload renumbers): gone.
    ws.ShowAllEntries();
    ws.DeleteEntry(0);
    EXPECT_FALSE(locateResult(ws, keys[1]));
    EXPECT_FALSE(locateResult(ws, ResultKey{keys[0].id, "01/01/1999"}));
}
