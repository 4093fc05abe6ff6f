// The form-fill rule. The input is lines: the first three are the entry's user name, e-mail
// address and password; then "page\taddress", "entry\taddress", a blank line starting the next
// form, or "type\tname" for an element of the current form ("-" for a missing part).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "core/tools/FormFill.h"

using namespace vorkel;

namespace {

std::optional<std::string> part(std::string_view text) {
    if (text == "-") return std::nullopt;
    return std::string(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at <= input.size();) {
        const std::size_t end = std::min(input.find('\n', at), input.size());
        lines.push_back(input.substr(at, end - at));
        at = end + 1;
    }
    lines.resize(std::max<std::size_t>(lines.size(), 3));

    const FillValues values = fillValuesFrom(lines[0], lines[1], lines[2]);
    if (values.userName.empty() != (lines[0].empty() && lines[1].empty()))
        fuzz::broken("the user name fallback lost a value");

    std::vector<std::vector<FormElement>> forms(1);
    std::string page;
    std::string entry;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty()) {
            forms.emplace_back();
            continue;
        }
        const std::size_t tab = line.find('\t');
        const std::string_view head = line.substr(0, tab);
        const std::string_view tail =
            tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
        if (head == "page") {
            page = tail;
        } else if (head == "entry") {
            entry = tail;
        } else {
            forms.back().push_back({part(head), part(tail), true});
            (void)matchesFieldWords(tail, UserNameFieldWords);
            (void)matchesFieldWords(tail, EmailFieldWords);
        }
    }

    for (const FillWrite& w : FillDocumentForms(forms, values)) {
        if (w.form >= forms.size() || w.element >= forms[w.form].size())
            fuzz::broken("a write points past the forms");
        if (w.value != values.userName && w.value != values.email && w.value != values.password)
            fuzz::broken("a write types a value the entry does not hold");
    }
    (void)webHost(page);
    if (pageMatchesEntry(page, entry) && !webHost(page)) fuzz::broken("a page without a host");
    return 0;
}
