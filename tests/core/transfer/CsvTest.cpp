#include "core/transfer/Csv.h"

#include <gtest/gtest.h>

#include "core/Error.h"

using namespace vorkel;

namespace {

std::vector<std::vector<std::string>> fieldsOf(std::string_view text) {
    std::vector<std::vector<std::string>> out;
    for (auto& r : parseCsv(text)) out.push_back(r.fields);
    return out;
}

// The message of the Error that parsing `text` throws, or "" when it parses.
std::string faultOf(std::string_view text) {
    try {
        parseCsv(text);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(Csv, QuotedFieldsKeepCommasQuotesAndLineBreaks) {
    const auto rows = fieldsOf("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",\"lf\nonly\",\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"two\r\nlines", "lf\nonly", ""}));
}

TEST(Csv, RowsCountRecordsAndEmptyLinesNotPhysicalLines) {
    const auto records = parseCsv("\xEF\xBB\xBFh1,h2\n\"x\ny\",1\n\nlast,2");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fields[0], "h1");  // the byte order mark is gone
    EXPECT_EQ(records[1].row, 2u);
    EXPECT_EQ(records[2].row, 4u);
    EXPECT_EQ(records[2].fields[1], "2");  // no final line break needed
}

TEST(Csv, EmptyFieldsAndAQuotedEmptyField) {
    EXPECT_EQ(fieldsOf(",\"\",\n"), (std::vector<std::vector<std::string>>{{"", "", ""}}));
    EXPECT_TRUE(parseCsv("").empty());
}

TEST(Csv, FaultsNameTheirRow) {
    EXPECT_EQ(faultOf("h\n\"open\nnever closed"), "Row 2: a quoted field is not closed.");
    EXPECT_EQ(faultOf("h\nok\nab\"c\n"), "Row 3: a quote inside a field that is not quoted.");
    EXPECT_EQ(faultOf("h\n\"a\"b\n"), "Row 2: text follows the closing quote of a field.");
    EXPECT_EQ(faultOf("h\nJ\xFCrgen\n"),
              "Row 2: the text is not UTF-8; export the file again as UTF-8.");
}

TEST(Csv, Utf8CheckRejectsOverlongSurrogatesAndTruncation) {
    EXPECT_TRUE(isValidUtf8("plain \xC3\xA9 \xE6\x9D\xB1 \xF0\x9F\x94\x91"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE6\x9D"));          // cut short
    EXPECT_FALSE(isValidUtf8("\x80"));
}

TEST(Csv, QuoteRoundTripsThroughTheParser) {
    const std::string awkward = "a \"b\", c\r\nd\n";
    const auto rows = fieldsOf(csvQuote(awkward) + "," + csvQuote("") + "\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{awkward, ""}));
}
