#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace vorkel {

/// Replaces the file at `path` with the concatenation of `parts`: written to an owner-only
/// temporary file in the same folder, fsynced, renamed over the target, then the folder fsynced.
/// Symbolic links are followed: the file they finally name is replaced in its own folder and the
/// links stay links. On any failure the temporary file is removed, the old file is left whole
/// (a failed folder sync puts it back where the file system has hard links), and Error
/// "Cannot create file "<path>". <reason>" is thrown. All system calls go through fileCalls().
void writeFileAtomically(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> parts);

/// True when something (a file, a folder, a link) exists at `path`.
bool fileExists(const std::string& path);

/// Removes the file at `path` if it exists; throws Error with the system's reason otherwise.
void removeFile(const std::string& path);

}  // namespace vorkel
