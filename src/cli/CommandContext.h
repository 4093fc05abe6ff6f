#pragma once

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "cli/PasswordSource.h"
#include "core/entries/Clock.h"
#include "core/session/Session.h"
#include "core/storage/FolderLock.h"
#include "core/storage/RandomSource.h"
#include "core/storage/SecureBytes.h"

namespace vorkel::cli {

/// What every command shares besides its own arguments: the program file (whose folder holds
/// the two files), the logon user, where the master password comes from, and the random
/// source and clock the session uses.
class CommandContext {
public:
    CommandContext(std::string programFile, std::optional<std::string> userName,
                   bool passwordFromStdin, const PasswordSource& passwords, RandomSource& random,
                   const Clock& clock,
                   std::chrono::milliseconds lockPatience = std::chrono::seconds(10));

    /// A session over the program file's folder, not logged on; throws Error when the program
    /// file is unknown.
    Session makeSession() const;
    /// True when passwords come as lines of standard input.
    bool passwordFromStdin() const { return m_passwordFromStdin; }
    /// The next password: the next line of `in` (line end removed) with --password-stdin,
    /// otherwise typed at the terminal after `prompt`.
    SecureString readPassword(std::istream& in, std::string_view prompt) const;
    /// Reads the master password and sets the logon pair; throws UsageError when the user name
    /// or the password is empty.
    void setLogon(Session& session, std::istream& in, std::string_view prompt = "Password: ") const;
    /// setLogon, then the logon check on the settings file; false, with the logon message on
    /// `err`, when the pair is refused.
    bool logOn(Session& session, std::istream& in, std::ostream& err) const;
    /// logOn, then settings and data store loaded in document order without seeding. For
    /// commands that only read: every save replaces files in one rename, so no lock is needed,
    /// except to settle a save an earlier run left half done.
    bool logOnAndLoad(Session& session, std::istream& in, std::ostream& err) const;
    /// For commands that change the store, after setLogon: the folder's lock (waiting a bounded
    /// time for another command; never for the window, which refuses at once with FolderBusy),
    /// stale temporaries removed, the logon check (settling an interrupted save, its notice on
    /// `err`) and the load. Nullopt, with the logon message on `err`, when the pair is refused.
    std::optional<FolderLock> lockAndLoad(Session& session, std::ostream& err) const;
    /// The folder's lock alone, for a command that makes the files (init).
    FolderLock lockFolder(const Session& session) const;

private:
    std::string m_programFile;
    std::optional<std::string> m_userName;
    bool m_passwordFromStdin;
    const PasswordSource& m_passwords;
    RandomSource& m_random;
    const Clock& m_clock;
    std::chrono::milliseconds m_lockPatience;
};

}  // namespace vorkel::cli
