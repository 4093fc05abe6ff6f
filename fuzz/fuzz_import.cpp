// The readers of other managers' exports. The first byte picks the format, the rest is the file.
// Properties: a file that reads gives entries whose rows rise; the entries can be added to a
// store, and the store's CSV export reads back as the same number of entries with the same
// titles, user names, passwords and addresses.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/entries/TextRules.h"
#include "core/entries/Workspace.h"
#include "core/transfer/Csv.h"
#include "core/transfer/CsvExport.h"
#include "core/transfer/EntryImport.h"
#include "core/transfer/ImportFormat.h"

using namespace vorkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    constexpr ImportFormat kFormats[] = {ImportFormat::KeePassXcCsv, ImportFormat::BitwardenCsv,
                                         ImportFormat::BitwardenJson, ImportFormat::ChromiumCsv,
                                         ImportFormat::FirefoxCsv};
    const ImportFormat format = kFormats[data[0] % 5];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<ImportedEntry> entries;
    try {
        entries = readExport(format, text);
    } catch (const Error&) {
        return 0;  // refused whole, which is allowed for any input
    }
    std::size_t last = 0;
    for (const ImportedEntry& e : entries) {
        if (e.row <= last) fuzz::broken("rows do not rise");
        last = e.row;
    }

    FixedClock clock({2010, 12, 25, 14, 3, 59});
    Workspace workspace(clock);
    const ImportPlan plan = planImport(workspace.master(), std::move(entries), true);
    addImported(workspace, plan.added, "fuzz", clock);
    if (workspace.master().size() != plan.added.size()) fuzz::broken("entries were lost");

    const auto back = readKeePassXcCsv(keePassCsv(workspace.master()));
    if (back.size() != plan.added.size()) fuzz::broken("the CSV export lost entries");
    for (std::size_t i = 0; i < back.size(); ++i) {
        const Entry& e = *workspace.master().at(i);
        if (back[i].title != e.title() || back[i].username != e.get(Field::Username) ||
            back[i].password != e.get(Field::Password) || back[i].url != e.get(Field::WebURL))
            fuzz::broken("the CSV export does not read back");
    }
    return 0;
}
