#include "core/entries/TextRules.h"
#include "core/entries/TitleIndex.h"
#include "core/entries/Workspace.h"

#include <gtest/gtest.h>

#include <set>

#include "core/Error.h"

using namespace vorkel;

namespace {

class WorkspaceTest : public ::testing::Test {
protected:
    FixedClock clock{{2010, 12, 25, 14, 3, 59}};
    Workspace ws{clock};

    void add(std::initializer_list<const char*> titles) {
        for (auto t : titles) ws.AddEntry(t, "", "", "", "", "", "alice");
    }
    std::vector<std::string> rowTitles() const {
        std::vector<std::string> out;
        for (const auto& r : ws.rows()) out.emplace_back(r->title());
        return out;
    }
    EditorFields typed(std::string title) {
        EditorFields f = Workspace::editorFields(*ws.entryOfRow(0));
        f.title = std::move(title);
        return f;
    }
};

}  // namespace

TEST_F(WorkspaceTest, AddEntryGivesCreationAuditValuesAndStandsLast) {
    add({"b", "a"});
    ws.ApplyOrder(ListOrder::AtoZ);
    std::size_t row = ws.AddEntry("New", "", "", "", "", "", "alice");
    EXPECT_EQ(row, 2u);
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"a", "b", "New"}));  // not in sorted place
    const Entry& e = *ws.rows()[2];
    EXPECT_EQ(e.get(Field::CreateDate), "25/12/2010 14:03:59");
    EXPECT_EQ(e.get(Field::EditDate), "25/12/2010 14:03:59");
    EXPECT_EQ(e.get(Field::AccessedLast), "25/12/2010 14:03:59");
    for (Field f : {Field::CreatedBy, Field::ModifiedBy, Field::AccessedBy})
        EXPECT_EQ(e.get(f), "alice");
    EXPECT_EQ(e.get(Field::ModifyCount), "1");
    EXPECT_EQ(e.get(Field::AccessCount), "1");
    EXPECT_EQ(e.get(Field::AllowedAccess), "Private");
    for (Field f : {Field::Detail, Field::Password, Field::Passphrase, Field::Type, Field::Expires,
                    Field::Username, Field::Email, Field::WebURL})
        EXPECT_EQ(e.get(f), "");
}

TEST_F(WorkspaceTest, MidnightDropsTheTime) {
    clock.set({2011, 3, 4, 0, 0, 0});
    add({"x"});
    EXPECT_EQ(ws.rows()[0]->get(Field::CreateDate), "04/03/2011");
}

TEST_F(WorkspaceTest, TypingThreeKeysRaisesBothCountsByThree) {
    add({"Entry"});
    std::string title;
    for (char c : std::string("abc")) {
        clock.set({2011, 1, 2, 3, 4, 5 + (c - 'a')});
        title += c;
        ws.StoreEntry(0, typed(title), "bob");
    }
    EntryPtr e = ws.entryOfRow(0);
    EXPECT_EQ(e->title(), "abc");
    EXPECT_EQ(e->get(Field::ModifyCount), "4");
    EXPECT_EQ(e->get(Field::AccessCount), "4");
    EXPECT_EQ(e->get(Field::EditDate), "02/01/2011 03:04:07");
    EXPECT_EQ(e->get(Field::AccessedLast), "02/01/2011 03:04:07");
    EXPECT_EQ(e->get(Field::ModifiedBy), "bob");
    EXPECT_EQ(e->get(Field::AccessedBy), "bob");
    EXPECT_EQ(e->get(Field::CreateDate), "25/12/2010 14:03:59");
    EXPECT_EQ(e->get(Field::CreatedBy), "alice");
    // The row keeps the title it had at the last rebuild.
    EXPECT_EQ(ws.rows()[0]->title(), "Entry");
    ws.ShowAllEntries();
    EXPECT_EQ(ws.rows()[0]->title(), "abc");
}

TEST_F(WorkspaceTest, StoreWithoutRowStoresNothing) {
    add({"x"});
    auto before = ws.master().at(0);
    ws.StoreEntry(std::nullopt, typed("changed"), "bob");
    ws.QuickSearch("nomatch");
    ws.StoreEntry(0, EditorFields{}, "bob");
    EXPECT_EQ(ws.master().at(0), before);
}

TEST_F(WorkspaceTest, BadCounterStoresTheFieldsBeforeItThenFails) {
    add({"x"});
    ws.ReplaceEntries({withField(*ws.master().at(0), Field::ModifyCount, "")});
    clock.set({2012, 2, 2, 2, 2, 2});
    EXPECT_THROW(ws.StoreEntry(0, typed("stored"), "bob"), ConversionError);
    EntryPtr now = ws.master().at(0);
    EXPECT_EQ(now->title(), "stored");
    EXPECT_EQ(now->get(Field::EditDate), "02/02/2012 02:02:02");
    EXPECT_EQ(now->get(Field::ModifiedBy), "bob");
    EXPECT_EQ(now->get(Field::ModifyCount), "");
    EXPECT_EQ(now->get(Field::AccessedBy), "alice");
    EXPECT_EQ(now->get(Field::AccessCount), "1");

    // A bad AccessCount: everything up to AccessedLast is stored, ModifyCount included.
    ws.ReplaceEntries(
        {withField(*withField(*now, Field::ModifyCount, "5"), Field::AccessCount, "x")});
    EXPECT_THROW(ws.StoreEntry(0, typed("again"), "carol"), ConversionError);
    now = ws.master().at(0);
    EXPECT_EQ(now->get(Field::ModifyCount), "6");
    EXPECT_EQ(now->get(Field::AccessedBy), "carol");
    EXPECT_EQ(now->get(Field::AccessCount), "x");
}

TEST_F(WorkspaceTest, StoreConvertsNotesToCrLfLines) {
    add({"x"});
    EditorFields f = typed("x");
    f.notes = "one\ntwo";
    ws.StoreEntry(0, f, "bob");
    EXPECT_EQ(ws.master().at(0)->get(Field::Detail), "one\r\ntwo\r\n");
}

TEST_F(WorkspaceTest, QuickSearchMatchesTitlesAnywhereFoldingAtoZOnly) {
    add({"Google Email (Gmail)", "A Sample Entry", "Yahoo!", "MAILBOX",
         "\xC3\x9C"
         "ber"});
    ws.QuickSearch("mail");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"Google Email (Gmail)", "MAILBOX"}));
    ws.QuickSearch("");
    EXPECT_EQ(rowTitles().size(), 5u);
    ws.QuickSearch("<Search Here>");
    EXPECT_TRUE(ws.rows().empty());
    ws.QuickSearch("\xC3\xBC");  // small u with diaeresis does not find the capital
    EXPECT_TRUE(ws.rows().empty());
    ws.QuickSearch("\xC3\x9C");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"\xC3\x9C"
                                                     "ber"}));
    // Only whole titles match: a needle never spans two titles.
    ws.QuickSearch("!m");
    EXPECT_TRUE(ws.rows().empty());
}

TEST_F(WorkspaceTest, QuickSearchSeesTitlesChangedSinceTheLastSearch) {
    add({"alpha", "beta"});
    ws.QuickSearch("a");
    ws.StoreEntry(
        1,
        [&] {
            auto f = Workspace::editorFields(*ws.entryOfRow(1));
            f.title = "gamma";
            return f;
        }(),
        "u");
    ws.QuickSearch("gam");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"gamma"}));
}

TEST_F(WorkspaceTest, DeleteWithFilterRemovesExactlyThatEntry) {
    add({"one", "two", "three", "twelve"});
    ws.QuickSearch("tw");
    ASSERT_EQ(rowTitles(), (std::vector<std::string>{"two", "twelve"}));
    auto next = ws.DeleteEntry(1);
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"one", "two", "three"}));  // all shown again
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, 0u);
}

TEST_F(WorkspaceTest, DeleteFirstRowSelectsNothingAndLastEmptiesList) {
    add({"a", "b"});
    EXPECT_FALSE(ws.DeleteEntry(0).has_value());
    EXPECT_FALSE(ws.DeleteEntry(0).has_value());
    EXPECT_TRUE(ws.master().empty());
    EXPECT_FALSE(ws.DeleteEntry(0).has_value());  // nothing to delete: no harm
}

TEST_F(WorkspaceTest, NewIdAfterMiddleDeleteIsUniqueAndEditsOnlyItself) {
    add({"a", "b", "c"});
    ws.DeleteEntry(1);
    std::size_t row = ws.AddEntry("d", "", "", "", "", "", "u");
    std::set<EntryId> ids;
    for (const auto& e : ws.master().entries()) ids.insert(e->id());
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(ws.rows()[row]->id(), 3u);  // one past the highest in use
    EditorFields f = Workspace::editorFields(*ws.entryOfRow(row));
    f.title = "d2";
    ws.StoreEntry(row, f, "u");
    ws.ShowAllEntries();
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"a", "c", "d2"}));
}

TEST_F(WorkspaceTest, CopyEditorIntoRowChangesOnlyTheRowsTitleAndNotes) {
    add({"a", "b"});
    ws.QuickSearch("b");
    const EntryPtr before = ws.entryOfRow(0);
    EditorFields f = Workspace::editorFields(*before);
    f.title = "typed";
    f.notes = "one\ntwo";
    f.password = "not copied";
    const EntryPtr row = ws.CopyEditorIntoRow(0, f);
    ASSERT_TRUE(row);
    EXPECT_EQ(ws.rows()[0], row.get());
    EXPECT_EQ(row->id(), before->id());
    EXPECT_EQ(row->title(), "typed");
    EXPECT_EQ(row->get(Field::Detail), "one\r\ntwo\r\n");
    EXPECT_EQ(row->get(Field::Password), "");
    EXPECT_EQ(row->get(Field::ModifyCount), "1");  // no audit change
    // The entry itself keeps its values; a rebuild brings them back into the row.
    EXPECT_EQ(ws.entryOfRow(0), before);
    EXPECT_EQ(ws.master().at(1)->title(), "b");
    ws.ShowAllEntries();
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(ws.CopyEditorIntoRow(2, f));
}

TEST(EntryList, IdsIndexPositionsThroughEveryChange) {
    EntryList l;
    for (EntryId i = 0; i < 5; ++i) l.append(Entry::create(i, {}));
    EXPECT_EQ(l.nextId(), 5u);
    l.remove(4);
    EXPECT_EQ(l.nextId(), 4u);
    l.remove(1);
    EXPECT_FALSE(l.positionOf(1));
    EXPECT_EQ(*l.positionOf(3), 2u);
    EXPECT_THROW(l.append(Entry::create(3, {})), Error);
    l.permute({2, 0, 1});
    EXPECT_EQ(*l.positionOf(3), 0u);
    EXPECT_EQ(*l.positionOf(0), 1u);
    EXPECT_EQ(l.find(2)->id(), 2u);
    EXPECT_EQ(l.find(77), nullptr);
    l.clear();
    EXPECT_EQ(l.nextId(), 0u);
}

TEST(TitleIndex, FollowsEditedTitlesWithoutLosingOrder) {
    EntryList l;
    for (EntryId i = 0; i < 6; ++i) {
        Entry::Texts t{};
        std::string title = "title" + std::to_string(i);
        t[index(Field::Title)] = title;
        l.append(Entry::create(i, t));
    }
    TitleIndex idx;
    idx.refresh(l);
    // Edit the first and fourth titles many times (far more text than the blob held).
    for (int round = 0; round < 50; ++round) {
        for (std::uint32_t pos : {3u, 0u}) {
            std::string title = "Edited" + std::to_string(round) + "-" + std::to_string(pos);
            l.replace(pos, withField(*l.at(pos), Field::Title, title));
            l.replace(pos, withField(*l.at(pos), Field::Detail, "notes only"));  // not a retitle
            idx.refresh(l);
            EXPECT_EQ(idx.folded(pos), lowerAscii(title));
        }
    }
    EXPECT_EQ(idx.matching("edited49"), (std::vector<std::uint32_t>{0, 3}));  // list order
    EXPECT_TRUE(idx.matching("edited48").empty());                            // old text gone
    EXPECT_EQ(idx.matching("title"), (std::vector<std::uint32_t>{1, 2, 4, 5}));
    EXPECT_EQ(idx.matching("").size(), 6u);
    // A structural change rebuilds.
    l.remove(1);
    idx.refresh(l);
    EXPECT_EQ(idx.matching("title"), (std::vector<std::uint32_t>{1, 3, 4}));
    EXPECT_EQ(idx.folded(2), "edited49-3");
}

// Rows are plain pointers: a row must keep showing the value of its last rebuild, however often
// the entry behind it is edited, until the rows are rebuilt (the sanitizer build checks that no
// row outlives its value).
TEST_F(WorkspaceTest, ARowKeepsItsValueThroughEditsUntilTheRowsAreRebuilt) {
    add({"first", "second"});
    const Entry* shown = ws.rows()[1];
    ws.StoreEntry(1, typed("edited once"), "bob");
    ws.StoreEntry(1, typed("edited twice"), "bob");
    EXPECT_EQ(ws.rows()[1], shown);
    EXPECT_EQ(ws.rows()[1]->title(), "second");
    EXPECT_EQ(ws.entryOfRow(1)->title(), "edited twice");
    ws.CopyEditorIntoRow(0, typed("row only"));
    EXPECT_EQ(ws.rows()[0]->title(), "row only");
    ws.QuickSearch("edited");
    ASSERT_EQ(ws.rows().size(), 1u);
    EXPECT_EQ(ws.rows()[0]->title(), "edited twice");
    ws.ReplaceEntries({});
    EXPECT_TRUE(ws.rows().empty());
}

TEST_F(WorkspaceTest, AReplacementTheListRefusesLeavesTheEntriesAndTheirRowsShown) {
    add({"alpha", "beta", "alphabet"});
    ws.QuickSearch("alpha");
    const std::vector<const Entry*> before = ws.rows();
    ASSERT_EQ(before.size(), 2u);
    std::vector<EntryPtr> twins{Entry::create(7, Entry::Texts{}), Entry::create(7, Entry::Texts{})};
    EXPECT_THROW(ws.ReplaceEntries(std::move(twins)), Error);
    EXPECT_EQ(ws.rows(), before);
    EXPECT_EQ(ws.rows()[1]->title(), "alphabet");
    EXPECT_EQ(ws.master().size(), 3u);
}
