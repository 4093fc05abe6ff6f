#include "entries/ListOrder.h"

#include <gtest/gtest.h>

#include "entries/TextRules.h"
#include "entries/Workspace.h"

using namespace vorkel;

namespace {
EntryPtr entry(EntryId id, std::string_view title, std::string_view created = "",
               std::string_view edited = "") {
    Entry::Texts t{};
    t[index(Field::Title)] = title;
    t[index(Field::CreateDate)] = created;
    t[index(Field::EditDate)] = edited;
    return Entry::create(id, t);
}

std::vector<std::string> titles(const EntryList& l) {
    std::vector<std::string> out;
    for (const auto& e : l.entries()) out.emplace_back(e->title());
    return out;
}
}  // namespace

TEST(ListOrder, DateKeyIsYearMonthDayOfTheFirstTenCharacters) {
    EXPECT_EQ(dateKey("25/12/2010 14:03:59"), "20101225");
    EXPECT_EQ(dateKey("25/12/2010"), "20101225");
    EXPECT_EQ(dateKey("12/25/2010"), "20102512");  // month-first text orders by its positions
    EXPECT_EQ(dateKey("25/12/20"), "201225");      // missing characters are simply missing
    EXPECT_EQ(dateKey("25/1"), "125");
    EXPECT_EQ(dateKey(""), "");
}

TEST(ListOrder, TitlesOrderOrdinallyAfterFoldingAtoZ) {
    EntryList l;
    l.append(entry(0, "Banana"));
    l.append(entry(1, "apple"));
    l.append(entry(2, "1st"));
    l.append(entry(3,
                   "\xC3\x9C"
                   "ber"));  // Ü sorts after every ASCII letter
    l.append(entry(4, "Zed"));
    TitleIndex idx;
    sortEntryList(l, ListOrder::AtoZ, idx);
    EXPECT_EQ(titles(l), (std::vector<std::string>{"1st", "apple", "Banana", "Zed",
                                                   "\xC3\x9C"
                                                   "ber"}));
    sortEntryList(l, ListOrder::ZtoA, idx);
    EXPECT_EQ(titles(l), (std::vector<std::string>{"\xC3\x9C"
                                                   "ber",
                                                   "Zed", "Banana", "apple", "1st"}));
    // Ids travel with their entries.
    EXPECT_EQ(l.at(0)->id(), 3u);
    EXPECT_EQ(*l.positionOf(2), 4u);
}

TEST(ListOrder, SameDayEntriesCompareEqualWhateverTheTime) {
    EntryList l;
    l.append(entry(0, "late", "01/02/2011 23:59:59", "05/05/2011"));
    l.append(entry(1, "early", "01/02/2011 00:00:01", "04/05/2011"));
    l.append(entry(2, "before", "31/01/2011", "06/05/2011"));
    TitleIndex idx;
    sortEntryList(l, ListOrder::DateAdded, idx);
    EXPECT_EQ(titles(l), (std::vector<std::string>{"before", "late", "early"}));  // stable
    sortEntryList(l, ListOrder::DateUpdated, idx);
    EXPECT_EQ(titles(l), (std::vector<std::string>{"early", "late", "before"}));
}

TEST(ListOrder, OrderTexts) {
    EXPECT_EQ(listOrderText(ListOrder::DateAdded), "Date added");
    EXPECT_EQ(listOrderText(ListOrder::DateUpdated), "Date updated");
    EXPECT_EQ(listOrderText(ListOrder::AtoZ), "A - Z");
    EXPECT_EQ(listOrderText(ListOrder::ZtoA), "Z - A");
}

TEST(ListOrder, SortKeepsTheTitleCacheInStepWithTheList) {
    EntryList l;
    for (auto [id, t] : std::vector<std::pair<EntryId, const char*>>{
             {0, "Delta"}, {1, "alpha"}, {2, "Charlie"}, {3, "bravo"}})
        l.append(entry(id, t));
    TitleIndex idx;
    idx.refresh(l);
    l.replace(2, withField(*l.at(2), Field::Title, "Echo"));  // an edit before the sort
    sortEntryList(l, ListOrder::AtoZ, idx);
    EXPECT_EQ(titles(l), (std::vector<std::string>{"alpha", "bravo", "Delta", "Echo"}));
    idx.refresh(l);
    for (std::size_t i = 0; i < l.size(); ++i)
        EXPECT_EQ(idx.folded(i), lowerAscii(l.at(i)->title()));
    EXPECT_EQ(idx.matching("a"), (std::vector<std::uint32_t>{0, 1, 2}));
    const auto version = l.structureVersion();
    sortEntryList(l, ListOrder::AtoZ, idx);  // already sorted: the list is left alone
    EXPECT_EQ(l.structureVersion(), version);
}
