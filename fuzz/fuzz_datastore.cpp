// The data store loader on deciphered bytes; whatever it accepts must write and read back the
// same entries.
#include <cstdint>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/entries/EntryList.h"
#include "core/storage/DataStoreDocument.h"

using namespace vorkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<EntryPtr> entries;
    try {
        entries = datastore::parse(fuzz::bytesOf(data, size), 1.2);
    } catch (const Error&) {
        return 0;
    }
    EntryList list;
    list.assign(entries);
    std::vector<EntryPtr> again;
    try {
        again = datastore::parse(datastore::serialize(list, "/fuzz/vorkel"), 1.2);
    } catch (const Error&) {
        fuzz::broken("a loaded store does not load again once written");
    }
    if (again.size() != entries.size()) fuzz::broken("entries lost on the way round");
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (again[i]->texts() != entries[i]->texts()) fuzz::broken("an entry changed on the way");
    return 0;
}
