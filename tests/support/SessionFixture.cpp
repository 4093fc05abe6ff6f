#include "support/SessionFixture.h"

namespace vorkel::test {

std::unique_ptr<Session> SessionFixture::sessionFor(std::string_view user,
                                                    std::string_view password) {
    auto session = std::make_unique<Session>(programFile(), random, clock);
    session->SetLogon(user, password);
    return session;
}

void SessionFixture::makeAccount(std::string_view user, std::string_view password) {
    sessionFor(user, password)->InitAccount();
}

std::vector<std::string> SessionFixture::storedTitles(std::string_view user,
                                                      std::string_view password) {
    const auto reader = sessionFor(user, password);
    if (!reader->VerifyLogon()) return {"<logon refused>"};
    reader->LoadForTool();
    return listTitles(*reader);
}

std::vector<std::string> SessionFixture::titles(const Session& session) {
    std::vector<std::string> out;
    for (const auto& row : session.workspace().rows()) out.emplace_back(row->title());
    return out;
}

std::vector<std::string> SessionFixture::listTitles(const Session& session) {
    std::vector<std::string> out;
    for (const auto& e : session.workspace().master().entries()) out.emplace_back(e->title());
    return out;
}

}  // namespace vorkel::test
