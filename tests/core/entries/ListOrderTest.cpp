#include "core/entries/ListOrder.h"

#include <gtest/gtest.h>

#include "core/entries/TextRules.h"
#include "core/entries/Workspace.h"

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

// The sort compares keys of eight bytes at a time and sorts each run of equal keys again; a
// plain stable sort of the same titles is the oracle. Titles share long prefixes, end on and
// just past the eight-byte steps, run past the depth where a comparison sort takes over, and
// repeat exactly, so ties must keep their list order.
TEST(ListOrder, EveryOrderMatchesAPlainStableSort) {
    std::uint64_t state = 7;
    const auto random = [&](std::size_t n) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return std::size_t(state >> 33) % n;
    };
    const std::vector<std::string> words = {"a", "bank", "Bank",     "banking",           "zz",
                                            "é", "1",    "abcdefgh", std::string(70, 'q')};
    for (int round = 0; round < 20; ++round) {
        EntryList l;
        const std::size_t count = 1 + random(round < 10 ? 40 : 400);
        for (std::size_t i = 0; i < count; ++i) {
            std::string title;
            for (std::size_t w = random(4); w > 0; --w) title += words[random(words.size())];
            std::string date = std::to_string(10 + random(3)) + "/0" +
                               std::to_string(1 + random(2)) + "/20" +
                               std::to_string(10 + random(2));
            l.append(entry(EntryId(i), title, date, date.substr(0, 2 + random(9))));
        }
        for (ListOrder order :
             {ListOrder::AtoZ, ListOrder::ZtoA, ListOrder::DateAdded, ListOrder::DateUpdated}) {
            std::vector<EntryPtr> expected = l.entries();
            const auto key = [&](const EntryPtr& e) {
                switch (order) {
                    case ListOrder::DateAdded:
                        return dateKey(e->get(Field::CreateDate));
                    case ListOrder::DateUpdated:
                        return dateKey(e->get(Field::EditDate));
                    default:
                        return lowerAscii(e->title());
                }
            };
            std::stable_sort(
                expected.begin(), expected.end(), [&](const EntryPtr& a, const EntryPtr& b) {
                    return order == ListOrder::ZtoA ? key(b) < key(a) : key(a) < key(b);
                });
            TitleIndex idx;
            sortEntryList(l, order, idx);
            ASSERT_EQ(l.entries(), expected) << "round " << round << ", order " << int(order);
            for (std::size_t i = 0; i < l.size(); ++i) ASSERT_EQ(l.positionOf(l.at(i)->id()), i);
        }
    }
}
