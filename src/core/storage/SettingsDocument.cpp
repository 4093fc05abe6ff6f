#include "core/storage/SettingsDocument.h"

#include <charconv>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Error.h"
#include "core/entries/TextRules.h"
#include "core/storage/XmlDocument.h"

namespace vorkel::settingsdoc {

namespace {

std::int32_t readInt(const XmlElement& e, std::string_view name) {
    const std::string text = e.GetAttribute(name);
    auto v = parseInteger(text);
    // Named by its attribute, never quoted: the settings document holds the master password.
    if (!v || *v < std::numeric_limits<std::int32_t>::min() ||
        *v > std::numeric_limits<std::int32_t>::max())
        throw ConversionError("The attribute \"" + std::string(name) +
                              "\" is not a valid integer value.");
    return std::int32_t(*v);
}

// N for an attribute named "typeN" in the form std::to_string gives (no sign, no leading zero).
std::optional<std::size_t> typeIndex(std::string_view name) {
    if (name.size() < 5 || name.size() > 24 || name.substr(0, 4) != "type") return std::nullopt;
    const std::string_view digits = name.substr(4);
    if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
    // Past the int64 range the number fails here; it would be past the list's end anyway.
    const std::optional<std::int64_t> value = parseDigits(digits);
    if (!value) return std::nullopt;
    return static_cast<std::size_t>(*value);
}

void setInt(XmlElement& e, std::string_view name, std::int32_t v) {
    e.SetAttribute(name, std::to_string(v));
}

}  // namespace

bool parseDataVersion(std::string_view text, double& out) {
    std::string s(text);
    for (char& c : s)
        if (c == ',') c = '.';
    if (s.empty()) return false;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (*first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, out, std::chars_format::fixed);
    return ec == std::errc() && ptr == last;
}

SecureBytes serialize(const Settings& s, const std::string& applicationPath,
                      std::string_view userName, std::string_view masterPassword) {
    XmlDocument doc;
    XmlElement root = doc.AddRoot("configdataxml");
    root.SetAttribute("application", applicationPath + "-v1");
    XmlElement database = root.AddChild("database");
    database.SetAttribute("username", userName);
    database.SetAttribute("masterpass", masterPassword);
    XmlElement screen = root.AddChild("screen");
    setInt(screen, "left", s.window.left);
    setInt(screen, "top", s.window.top);
    setInt(screen, "width", s.window.width);
    setInt(screen, "height", s.window.height);
    XmlElement general = root.AddChild("optionsgeneral");
    const Options& o = s.options;
    auto flag = [](std::int32_t v) { return Options::on(v) ? 1 : 0; };
    setInt(general, "AlwaysOnTop", flag(o.AlwaysOnTop));
    setInt(general, "ShowToolTips", flag(o.ShowToolTips));
    setInt(general, "HighlightURLs", flag(o.HighlightURLs));
    XmlElement security = root.AddChild("optionssecurity");
    setInt(security, "ShowClearUsernames", flag(o.ShowClearUsernames));
    setInt(security, "ShowClearPasswords", flag(o.ShowClearPasswords));
    setInt(security, "ShowClearPassphrase", flag(o.ShowClearPassphrase));
    setInt(security, "PromptMasterPass", flag(o.PromptMasterPass));
    setInt(security, "EmptyClipboard", flag(o.EmptyClipboard));
    setInt(security, "MinProg", flag(o.MinProg));
    setInt(security, "MinProgMins", o.MinProgMins);
    security.SetAttribute("DataVersion", "1.2");
    XmlElement types = root.AddChild("passtypes");
    for (std::size_t i = 0; i < s.passTypes.size(); ++i)
        types.AppendAttribute("type" + std::to_string(i), sanitizeText(s.passTypes[i]));
    return doc.SaveToBuffer();
}

void parse(SecureBytes plain, Settings& s) {
    XmlDocument doc = XmlDocument::LoadFromBuffer(std::move(plain));
    XmlElement root = doc.DocumentElement();
    s.options.ResetOptions();

    XmlElement screen = root.ChildByName("screen");
    s.window.left = readInt(screen, "left");
    s.window.top = readInt(screen, "top");
    s.window.width = readInt(screen, "width");
    s.window.height = readInt(screen, "height");
    s.window.known = true;

    Options& o = s.options;
    XmlElement general = root.ChildByName("optionsgeneral");
    o.AlwaysOnTop = readInt(general, "AlwaysOnTop");
    o.ShowToolTips = readInt(general, "ShowToolTips");
    o.HighlightURLs = readInt(general, "HighlightURLs");

    XmlElement security = root.ChildByName("optionssecurity");
    o.ShowClearUsernames = readInt(security, "ShowClearUsernames");
    o.ShowClearPasswords = readInt(security, "ShowClearPasswords");
    o.ShowClearPassphrase = readInt(security, "ShowClearPassphrase");
    o.EmptyClipboard = readInt(security, "EmptyClipboard");
    o.PromptMasterPass = readInt(security, "PromptMasterPass");
    o.MinProg = readInt(security, "MinProg");
    o.MinProgMins = 1;
    if (security.HasAttribute("MinProgMins")) {
        auto v = parseInteger(security.GetAttribute("MinProgMins"));
        if (v && *v >= std::numeric_limits<std::int32_t>::min() &&
            *v <= std::numeric_limits<std::int32_t>::max())
            o.MinProgMins = std::int32_t(*v);
    }
    o.DataVersion = 1.0;
    if (security.HasAttribute("DataVersion")) {
        double v = 0;
        if (parseDataVersion(security.GetAttribute("DataVersion"), v)) o.DataVersion = v;
    }

    // One pass over the attributes: looking each "typeN" up by name would cost the square of
    // their number. With n attributes, type0 to type(n-1) must all be there.
    XmlElement types = root.ChildByName("passtypes");
    std::vector<std::pair<std::string, std::string>> attributes = types.Attributes();
    const std::size_t n = attributes.size();
    std::vector<std::string> list(n);
    std::vector<bool> present(n, false);
    for (auto& [name, value] : attributes) {
        const std::optional<std::size_t> i = typeIndex(name);
        if (!i || *i >= n) continue;
        list[*i] = std::move(value);
        present[*i] = true;
    }
    for (std::size_t i = 0; i < n; ++i)
        if (!present[i])
            throw ConversionError("The document lacks the attribute \"type" + std::to_string(i) +
                                  "\".");
    s.passTypes = std::move(list);
}

}  // namespace vorkel::settingsdoc
