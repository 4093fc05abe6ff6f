#include "cli/CommandContext.h"

#include <istream>
#include <ostream>

#include "cli/UsageError.h"
#include "core/Error.h"
#include "core/session/Messages.h"
#include "core/storage/AtomicFile.h"

namespace vorkel::cli {

CommandContext::CommandContext(std::string programFile, std::optional<std::string> userName,
                               bool passwordFromStdin, const PasswordSource& passwords,
                               RandomSource& random, const Clock& clock,
                               std::chrono::milliseconds lockPatience)
    : m_programFile(std::move(programFile)),
      m_userName(std::move(userName)),
      m_passwordFromStdin(passwordFromStdin),
      m_passwords(passwords),
      m_random(random),
      m_clock(clock),
      m_lockPatience(lockPatience) {}

Session CommandContext::makeSession() const {
    if (m_programFile.empty())
        throw Error("Cannot find the folder of the program file; name it with --folder DIR.");
    return Session(m_programFile, m_random, m_clock);
}

SecureString CommandContext::readPassword(std::istream& in, std::string_view prompt) const {
    if (!m_passwordFromStdin) return m_passwords.read(prompt);
    SecureString line;
    // A missing line reads as an empty password, which the logon checks then refuse.
    if (!std::getline(in, line)) line.clear();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void CommandContext::setLogon(Session& session, std::istream& in, std::string_view prompt) const {
    if (!m_userName) throw UsageError("The option --user NAME is required.");
    // The user name is judged before anyone is asked for a password (the stand-in is not empty).
    if (auto problem = Session::logonFieldsProblem(*m_userName, "-"))
        throw UsageError(std::string(*problem));
    const SecureString password = readPassword(in, prompt);
    if (auto problem = Session::logonFieldsProblem(*m_userName, password))
        throw UsageError(std::string(*problem));
    session.SetLogon(*m_userName, password);
}

bool CommandContext::logOn(Session& session, std::istream& in, std::ostream& err) const {
    setLogon(session, in);
    if (session.VerifyLogon()) return true;
    err << msg::kLogonIncorrect << '\n';
    return false;
}

bool CommandContext::logOnAndLoad(Session& session, std::istream& in, std::ostream& err) const {
    if (filePairState(session.dataStorePath(), session.settingsPath()) != FilePairState::Settled) {
        // A save was interrupted: settle it under the lock first, as a writer would.
        setLogon(session, in);
        return lockAndLoad(session, err).has_value();
    }
    if (!logOn(session, in, err)) return false;
    session.LoadForTool();
    return true;
}

FolderLock CommandContext::lockFolder(const Session& session) const {
    FolderLock lock =
        FolderLock::acquire(session.ProgramFolder(), LockHolder::Tool, m_lockPatience);
    removeStaleTemporaries(session.ProgramFolder());
    return lock;
}

std::optional<FolderLock> CommandContext::lockAndLoad(Session& session, std::ostream& err) const {
    FolderLock lock = lockFolder(session);
    const Session::LogonCheck check = session.CheckLogon();
    if (!check.accepted) {
        err << (check.refusal ? *check.refusal : std::string(msg::kLogonIncorrect)) << '\n';
        return std::nullopt;
    }
    if (check.notice) err << *check.notice << '\n';
    session.LoadForTool();
    return lock;
}

}  // namespace vorkel::cli
