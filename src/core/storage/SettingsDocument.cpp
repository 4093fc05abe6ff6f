#include "storage/SettingsDocument.h"

#include <charconv>
#include <limits>

#include "Error.h"
#include "entries/TextRules.h"
#include "storage/XmlDocument.h"

namespace vorkel::settingsdoc {

namespace {

std::int32_t readInt(const XmlElement& e, std::string_view name) {
    std::string text = e.GetAttribute(name);
    auto v = parseInteger(text);
    if (!v || *v < std::numeric_limits<std::int32_t>::min() ||
        *v > std::numeric_limits<std::int32_t>::max())
        throw ConversionError("'" + text + "' is not a valid integer value");
    return std::int32_t(*v);
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
        types.SetAttribute("type" + std::to_string(i), sanitizeText(s.passTypes[i]));
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

    XmlElement types = root.ChildByName("passtypes");
    const std::size_t n = types.AttributeCount();
    std::vector<std::string> list;
    list.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        list.push_back(types.GetAttribute("type" + std::to_string(i)));
    s.passTypes = std::move(list);
}

}  // namespace vorkel::settingsdoc
