#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/entries/Clock.h"
#include "core/entries/Workspace.h"

namespace vorkel::bench {

/// One generated, enciphered data store on disk.
struct StoreFile {
    std::string path;
    std::size_t entries = 0;
    std::size_t plainSize = 0;  // bytes of the deciphered document
    std::size_t fileSize = 0;   // salt included
};

/// The process's generated stores and the workspaces opened from them. Each size is generated
/// once (a million entries take seconds) into a private folder under /tmp, which goes with the
/// process.
class BenchStores {
public:
    /// The one instance.
    static BenchStores& instance();

    /// The store of `count` entries, generated on first use.
    const StoreFile& store(std::size_t count);
    /// A workspace holding that store, opened as the program opens it, showing all entries.
    Workspace& workspace(std::size_t count);
    /// The entries of that workspace in document order, as opened.
    const std::vector<EntryPtr>& documentOrder(std::size_t count);
    /// A path for scratch files in the private folder.
    std::string scratchPath(std::string_view name) const;
    /// The fixed clock the workspaces run on.
    const FixedClock& clock() const { return m_clock; }

    BenchStores(const BenchStores&) = delete;
    BenchStores& operator=(const BenchStores&) = delete;

private:
    BenchStores();
    ~BenchStores();

    struct Opened {
        std::unique_ptr<Workspace> workspace;
        std::vector<EntryPtr> documentOrder;
    };
    Opened& opened(std::size_t count);

    std::string m_folder;
    FixedClock m_clock;
    std::map<std::size_t, StoreFile> m_stores;
    std::map<std::size_t, Opened> m_opened;
};

}  // namespace vorkel::bench
