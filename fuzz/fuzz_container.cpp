// The container reader with the document parsers behind it: the input is a whole file as it
// lies on disk, read under the seeds' pair.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/storage/Container.h"
#include "core/storage/DataStoreDocument.h"
#include "core/storage/XmlDocument.h"

using namespace vorkel;

namespace {

// One in-memory file, rewritten for every input and read through its /proc path.
const std::string& inputFile() {
    static const std::string path = [] {
        const int fd = ::memfd_create("vorkel-fuzz", 0);
        if (fd < 0) fuzz::broken("memfd_create");
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void writeInput(const std::uint8_t* data, std::size_t size) {
    const int fd = std::stoi(inputFile().substr(14));
    if (::ftruncate(fd, 0) != 0) fuzz::broken("ftruncate");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) fuzz::broken("pwrite");
        done += static_cast<std::size_t>(n);
    }
}

// Visits the tree two levels down, as the settings reader does.
void walk(const XmlDocument& doc) {
    for (const XmlElement& child : doc.DocumentElement().ChildNodes()) {
        (void)child.name();
        (void)child.Attributes();
        (void)child.ChildNodes().size();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const SecureBytes pass = passStringBytes(fuzz::kUser, fuzz::kPassword);
    writeInput(data, size);
    SecureBytes plain;
    try {
        plain = container::DecryptFromFile(inputFile(), pass);
    } catch (const Error&) {
        fuzz::broken("a readable file was refused");
    }
    if (plain.size() != (size >= container::kSaltSize ? size - container::kSaltSize : 0))
        fuzz::broken("the plain text is not as long as the cipher text");

    try {
        walk(XmlDocument::LoadFromBuffer(plain));
    } catch (const Error&) {
    }
    try {
        (void)datastore::parse(std::move(plain), 1.2);
    } catch (const Error&) {
    }

    // Enciphering the plain text again under the file's own salt gives the file back.
    if (size > container::kSaltSize) {
        container::Salt salt;
        std::memcpy(salt.data(), data, salt.size());
        SecureBytes again = container::DecryptFromFile(inputFile(), pass);
        container::encipher(salt, pass, again.data(), again.size());
        if (std::memcmp(again.data(), data + salt.size(), again.size()) != 0)
            fuzz::broken("enciphering does not undo deciphering");
    }
    return 0;
}
