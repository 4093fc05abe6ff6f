#pragma once

#include <sys/types.h>

#include <cstddef>

namespace vorkel {

/// The system calls through which a file is replaced. They are the real calls; tests swap
/// single entries to make one step fail the way a full disk or a pulled device would, which
/// also works where permission bits do not stop the user (root).
struct FileCalls {
    int (*createTemporary)(char* pathTemplate, int flags);  // mkostemp
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*link)(const char* from, const char* to);
    int (*rename)(const char* from, const char* to);
    int (*openFolder)(const char* path, int flags);  // open(2) on the folder to sync it
};

/// The real calls.
FileCalls realFileCalls();

/// The table the file layer uses right now (the real calls unless a test replaced some).
FileCalls& fileCalls();

}  // namespace vorkel
