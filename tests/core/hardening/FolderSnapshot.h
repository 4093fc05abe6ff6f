#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "support/TempDir.h"

namespace vorkel::test {

/// Everything a folder holds, recursively: each name with its kind and, for files, their
/// size, hash and permission bits; two equal snapshots mean nothing on disk changed.
inline std::map<std::string, std::string> snapshot(const std::string& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(e.path(), folder).string();
        const auto status = fs::symlink_status(e.path());
        if (fs::is_symlink(status)) {
            out[name] = "link:" + fs::read_symlink(e.path()).string();
        } else if (fs::is_directory(status)) {
            out[name] = "folder";
        } else {
            // Size and hash rather than the bytes: stores in these tests reach 100 MB.
            const std::string bytes = readFile(e.path().string());
            out[name] = "file:" + std::to_string(static_cast<unsigned>(status.permissions())) +
                        ":" + std::to_string(bytes.size()) + ":" +
                        std::to_string(std::hash<std::string>{}(bytes));
        }
    }
    return out;
}

}  // namespace vorkel::test
