#pragma once

#include <string>

namespace vorkel::test {

/// A fresh folder under /tmp for one test, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    /// The folder's path, with a trailing "/".
    const std::string& path() const { return m_path; }
    /// path() + name.
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

/// The whole content of a file (empty when it does not exist).
std::string readFile(const std::string& path);
/// Writes bytes to a file, replacing it.
void writeFile(const std::string& path, const std::string& bytes);
/// Bytes from hex text (white space ignored).
std::string fromHex(const std::string& hex);
/// Lower-case hex of bytes.
std::string toHex(const std::string& bytes);

}  // namespace vorkel::test
