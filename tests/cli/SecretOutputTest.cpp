// No secret reaches standard error: failures name places and reasons, never the values.
#include <gtest/gtest.h>

#include "cli/CliFixture.h"

namespace vorkel::test {
namespace {

class SecretOutput : public CliFixture {};

TEST_F(SecretOutput, BrokenImportNamesTheByteNotTheText) {
    createAccount();
    const std::string secret = "hunter2-do-not-print";
    for (const std::string& broken :
         {"[{\"Title\":\"Bank\",\"Password\":\"" + secret,
          "[{\"Title\":\"Bank\",\"Password\":\"" + secret + "\" \"Email\":\"x\"}]",
          "[{\"Password\":\"" + secret + "\x01\"}]"}) {
        const CliResult r = tool({"import", "-"}, broken);
        EXPECT_EQ(r.code, 3);
        EXPECT_EQ(r.err.rfind("The import is not valid JSON: the fault is at byte ", 0), 0u)
            << r.err;
        EXPECT_EQ(r.err.find(secret.substr(0, 7)), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// The JSON library's own texts quote the input: a number too large, an unknown key.
TEST_F(SecretOutput, ImportFaultsNeverQuoteTheInput) {
    createAccount();
    for (const std::string& hostile :
         {std::string("[{\"Title\": 1e99999999}]"), std::string("[1e4093123456789]"),
          std::string("[{\"123456789e99999\": \"x\"}]")}) {
        const CliResult r = tool({"import", "-"}, hostile);
        EXPECT_EQ(r.code, 3) << hostile;
        EXPECT_EQ(r.err.find("99999"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("123456"), std::string::npos) << r.err;
    }
    EXPECT_EQ(tool({"import", "-"}, "[1e99999999]").err,
              "The import is not valid JSON: it holds a number out of range.\n");
}

TEST_F(SecretOutput, WrongMasterPasswordIsNotEchoed) {
    createAccount();
    const CliResult r = as(kUser, "Wrong-Secret-9", {"list"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.find("Wrong-Secret-9"), std::string::npos);
    EXPECT_EQ(r.out.find("Wrong-Secret-9"), std::string::npos);
}

}  // namespace
}  // namespace vorkel::test
