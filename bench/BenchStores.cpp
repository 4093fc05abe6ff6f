#include "BenchStores.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "StoreGenerator.h"
#include "core/storage/Container.h"
#include "core/storage/DataStoreDocument.h"

namespace vorkel::bench {

BenchStores& BenchStores::instance() {
    static BenchStores stores;
    return stores;
}

BenchStores::BenchStores() : m_clock(LocalDateTime{2024, 6, 14, 9, 30, 5}) {
    std::string folder = "/tmp/vorkel-bench-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) throw std::runtime_error("cannot create " + folder);
    m_folder = folder + "/";
}

BenchStores::~BenchStores() {
    // Workspaces first: their entries keep the opened documents alive.
    m_opened.clear();
    std::error_code ignored;  // a leftover folder under /tmp is no reason to fail the run
    std::filesystem::remove_all(m_folder, ignored);
}

std::string BenchStores::scratchPath(std::string_view name) const {
    return m_folder + std::string(name);
}

const StoreFile& BenchStores::store(std::size_t count) {
    auto it = m_stores.find(count);
    if (it != m_stores.end()) return it->second;
    StoreFile file;
    file.path = scratchPath("store-" + std::to_string(count) + ".dat");
    file.entries = count;
    {
        // Seeded by size, so a size's store is the same in every run.
        StoreGenerator generator(0x5EED0000 + count);
        file.plainSize = writeStore(generator.entries(count), file.path);
    }
    struct stat st {};
    if (::stat(file.path.c_str(), &st) != 0) throw std::runtime_error("cannot stat " + file.path);
    file.fileSize = static_cast<std::size_t>(st.st_size);
    return m_stores.emplace(count, std::move(file)).first->second;
}

BenchStores::Opened& BenchStores::opened(std::size_t count) {
    auto it = m_opened.find(count);
    if (it != m_opened.end()) return it->second;
    const StoreFile& file = store(count);
    Opened o;
    o.workspace = std::make_unique<Workspace>(m_clock);
    o.documentOrder =
        datastore::parse(container::DecryptFromFile(file.path, benchPassString()), 1.2);
    o.workspace->ReplaceEntries(o.documentOrder);
    return m_opened.emplace(count, std::move(o)).first->second;
}

Workspace& BenchStores::workspace(std::size_t count) {
    return *opened(count).workspace;
}

const std::vector<EntryPtr>& BenchStores::documentOrder(std::size_t count) {
    return opened(count).documentOrder;
}

}  // namespace vorkel::bench
