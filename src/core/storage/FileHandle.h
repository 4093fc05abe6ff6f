#pragma once

#include <string>
#include <string_view>

namespace vorkel {

/// An owned POSIX file descriptor, closed when it goes away.
class FileHandle {
public:
    FileHandle() = default;
    /// Takes ownership of `fd` (may be -1, meaning none).
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : m_fd(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    /// The descriptor, or -1.
    int get() const { return m_fd; }
    /// True when a descriptor is held.
    explicit operator bool() const { return m_fd >= 0; }
    /// Gives up ownership and returns the descriptor.
    int release() noexcept;
    /// Closes now; returns 0, or the errno of a failed close (which can report a lost write).
    int close() noexcept;

private:
    int m_fd = -1;
};

/// The user-facing text of a failed file operation: `<what> "<path>". <system's reason>`.
std::string fileErrorText(std::string_view what, const std::string& path, int err);

}  // namespace vorkel
