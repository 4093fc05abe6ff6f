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

/// One piece of a file's contents.
using FilePart = std::span<const std::uint8_t>;

/// Replaces two files of one folder together (the data store and the settings file, which one
/// pass string keys): both are written to owner-only temporary files and synced, staged under
/// hidden names beside them (".<name>.new"), the previous versions kept as hidden hard links
/// (".<name>.old"), then renamed into place, first then second, each step made durable before
/// the next. On a failure what was done is undone where it can be, and Error "Cannot create file
/// "<path>". <reason>" names the file whose step failed. Refused (EBUSY) while an interrupted
/// commit is unsettled.
void writeFilePairAtomically(const std::string& firstPath, std::span<const FilePart> firstParts,
                             const std::string& secondPath, std::span<const FilePart> secondParts);

/// How far an interrupted pair commit got, read from the hidden names beside the files.
enum class FilePairState {
    Settled,      // no commit in progress: the two files are the pair
    FirstStaged,  // only the first file was staged: the old pair is whole, the new one is not
    BothStaged,   // both staged, neither placed: the old pair and the new pair are both whole
    FirstPlaced,  // the first file is new, the second still staged: the new pair is whole, the
                  // old one too where the first file's previous version was kept
};
FilePairState filePairState(const std::string& firstPath, const std::string& secondPath);

/// Where `path`'s new version waits while a pair commit is in progress.
std::string stagedFilePath(const std::string& path);

/// Finishes an interrupted pair commit (`forward`) or takes it back, then removes the kept
/// previous versions. Going back from FirstPlaced needs the first file's kept previous version;
/// without it Error is thrown and nothing changes. A FirstStaged commit can only go back.
void settleFilePair(const std::string& firstPath, const std::string& secondPath, bool forward);

/// Removes the temporary files killed saves left in `folder` (hidden ".vorkel-" files). Only safe
/// while no other process writes there, that is under the folder's lock.
void removeStaleTemporaries(const std::string& folder);

/// True when something (a file, a folder, a link) exists at `path`.
bool fileExists(const std::string& path);

/// Removes the file at `path` if it exists; throws Error with the system's reason otherwise.
void removeFile(const std::string& path);

}  // namespace vorkel
