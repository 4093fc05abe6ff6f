#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include "cli/UsageError.h"

using vorkel::cli::CommandLine;
using vorkel::cli::parseCount;
using vorkel::cli::UsageError;

TEST(CommandLine, SplitsValuedOptionsFlagsAndOperands) {
    const CommandLine line({"a", "--order", "az", "--quiet", "b", "--filter=x=y"},
                           {"--order", "--filter"}, {"--quiet"});
    EXPECT_EQ(line.value("--order"), "az");
    EXPECT_EQ(line.value("--filter"), "x=y");
    EXPECT_TRUE(line.has("--quiet"));
    EXPECT_FALSE(line.value("--absent").has_value());
    EXPECT_EQ(line.operands(), (std::vector<std::string>{"a", "b"}));
}

TEST(CommandLine, ValueMayLookLikeAnOptionOrBeEmpty) {
    const CommandLine line({"--title", "--help", "--notes", ""}, {"--title", "--notes"});
    EXPECT_EQ(line.value("--title"), "--help");
    EXPECT_EQ(line.value("--notes"), "");
    EXPECT_TRUE(line.operands().empty());
}

TEST(CommandLine, DoubleDashEndsOptionsAndDashIsAnOperand) {
    const CommandLine line({"-", "--", "--order", "-x"}, {"--order"});
    EXPECT_FALSE(line.value("--order").has_value());
    EXPECT_EQ(line.operands(), (std::vector<std::string>{"-", "--order", "-x"}));
}

TEST(CommandLine, ToolOptionsStopAtTheFirstOperand) {
    using End = CommandLine::OptionsEnd;
    const CommandLine line({"--user=a", "-h", "list", "--order", "az", "--user", "b", "-h"},
                           {"--user"}, {"-h"}, End::AtFirstOperand);
    EXPECT_EQ(line.value("--user"), "a");
    EXPECT_TRUE(line.has("-h"));
    EXPECT_EQ(line.operands(),
              (std::vector<std::string>{"list", "--order", "az", "--user", "b", "-h"}));
    const CommandLine dashed({"--", "-h", "x"}, {}, {"-h"}, End::AtFirstOperand);
    EXPECT_FALSE(dashed.has("-h"));
    EXPECT_EQ(dashed.operands(), (std::vector<std::string>{"-h", "x"}));
    EXPECT_THROW(CommandLine({"--bogus", "list"}, {}, {}, End::AtFirstOperand), UsageError);
}

TEST(CommandLine, RejectsUnknownRepeatedAndValuelessOptions) {
    EXPECT_THROW(CommandLine({"--nope"}, {"--order"}), UsageError);
    EXPECT_THROW(CommandLine({"-n"}, {"--order"}), UsageError);
    EXPECT_THROW(CommandLine({"--order"}, {"--order"}), UsageError);
    EXPECT_THROW(CommandLine({"--order", "a", "--order=b"}, {"--order"}), UsageError);
    EXPECT_THROW(CommandLine({"--quiet=yes"}, {}, {"--quiet"}), UsageError);
    EXPECT_THROW(CommandLine({"-h", "-h"}, {}, {"-h"}), UsageError);
    try {
        CommandLine({"--order"}, {"--order"});
        ADD_FAILURE();
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "The option --order needs a value.");
    }
    // An unknown option that would carry a secret is refused with the reason, never echoed.
    try {
        CommandLine({"--master-password=hunter2"}, {"--order"});
        ADD_FAILURE();
    } catch (const UsageError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("The option --master-password is refused", 0), 0u);
        EXPECT_EQ(std::string(e.what()).find("hunter2"), std::string::npos);
    }
}

TEST(CommandLine, ExpectOperandsNamesWhatIsMissingOrExtra) {
    const CommandLine none({}, {});
    try {
        none.expectOperands({"the position N"});
        ADD_FAILURE();
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "Missing the position N.");
    }
    const CommandLine two({"1", "2"}, {});
    try {
        two.expectOperands({"the position N"});
        ADD_FAILURE();
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "Unexpected argument \"2\".");
    }
    EXPECT_NO_THROW(two.expectOperands({"a", "b"}));
}

TEST(CommandLine, ParseCountTakesPlainDigitsFromTheMinimum) {
    EXPECT_EQ(parseCount("0", "N", 0), 0u);
    EXPECT_EQ(parseCount("007", "N", 1), 7u);
    EXPECT_EQ(parseCount("4000000000", "N", 1), 4000000000u);
    for (const std::string bad :
         {"", "-1", "+3", "1.5", " 2", "2 ", "x", "99999999999999999999999"})
        EXPECT_THROW(parseCount(bad, "N", 0), UsageError) << bad;
    EXPECT_THROW(parseCount("0", "The length", 1), UsageError);
    try {
        parseCount("0", "The length", 1);
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "The length must be a whole number from 1 up, not \"0\".");
    }
}
