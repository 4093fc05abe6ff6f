#include "core/tools/FormFill.h"

#include <algorithm>

#include "core/entries/TextRules.h"

namespace vorkel {

namespace {

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSchemeChar(char c) {
    return isAsciiAlpha(c) || isAsciiDigit(c) || c == '+' || c == '-' || c == '.';
}

bool isControlOrSpace(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7f;
}

// A port is up to five digits (possibly none, as browsers allow: no port, 0) and fits 16 bits;
// nullopt otherwise.
std::optional<unsigned> portNumber(std::string_view digits) {
    if (digits.empty()) return 0U;
    if (digits.size() > 5) return std::nullopt;
    const std::optional<std::int64_t> value = parseDigits(digits);
    if (!value || *value > 65535) return std::nullopt;
    return static_cast<unsigned>(*value);
}

// Host names are kept to the plain ASCII form browsers report (punycode for international
// names); anything else, percent escapes included, is refused rather than guessed at.
bool isHostName(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    std::size_t label = 0;
    for (char c : host) {
        if (c == '.') {
            if (label == 0) return false;
            label = 0;
            continue;
        }
        const bool ok = (c >= 'a' && c <= 'z') || isAsciiDigit(c) || c == '-' || c == '_';
        if (!ok || ++label > 63) return false;
    }
    return label > 0;
}

bool isIpv6Literal(std::string_view inside) {
    if (inside.size() < 2) return false;
    return std::all_of(inside.begin(), inside.end(), [](char c) {
        return isAsciiDigit(c) || (c >= 'a' && c <= 'f') || c == ':' || c == '.';
    });
}

bool isIpv4(std::string_view host) {
    return !host.empty() && std::all_of(host.begin(), host.end(),
                                        [](char c) { return isAsciiDigit(c) || c == '.'; });
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

struct ParsedAddress {
    bool explicitScheme = false;
    bool https = false;
    std::string host;
    // 0 when the address names no port or its scheme's default one.
    unsigned port = 0;
};

// Splits an address into scheme and host the way a browser reads an http address: the
// authority ends at the first of / \ ? #, and the user information ends at its last @.
std::optional<ParsedAddress> parseAddress(std::string_view address) {
    address = trimBlanks(address);
    if (address.empty()) return std::nullopt;
    if (std::any_of(address.begin(), address.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u < 0x20 || u == 0x7f;
        }))
        return std::nullopt;

    ParsedAddress parsed;
    // An address typed without a scheme is meant for the site's secure page.
    parsed.https = true;
    std::string_view rest = address;
    const std::size_t colon = address.find(':');
    const bool schemeShaped =
        colon != std::string_view::npos && colon > 0 && isAsciiAlpha(address[0]) &&
        std::all_of(address.begin(), address.begin() + static_cast<std::ptrdiff_t>(colon),
                    isSchemeChar);
    if (schemeShaped) {
        const std::string scheme = lowerAscii(address.substr(0, colon));
        std::string_view after = address.substr(colon + 1);
        if (after.substr(0, 2) == "//" || after.substr(0, 2) == "\\\\") {
            if (scheme != "http" && scheme != "https") return std::nullopt;
            parsed.explicitScheme = true;
            parsed.https = scheme == "https";
            rest = after.substr(2);
        } else {
            // "host:port/..." has no scheme; "mailto:x", "javascript:x" or "http:x" have one
            // that is not an http address with an authority.
            const std::size_t end = after.find_first_of("/\\?#");
            if (!portNumber(after.substr(0, end)) || after.substr(0, end).empty() ||
                scheme == "http" || scheme == "https")
                return std::nullopt;
        }
    }

    const std::string_view authority = rest.substr(0, rest.find_first_of("/\\?#"));
    const std::size_t at = authority.rfind('@');
    std::string_view hostPort = at == std::string_view::npos ? authority : authority.substr(at + 1);
    if (std::any_of(hostPort.begin(), hostPort.end(), isControlOrSpace)) return std::nullopt;

    std::string host;
    if (!hostPort.empty() && hostPort.front() == '[') {
        const std::size_t close = hostPort.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        const std::string inside = lowerAscii(hostPort.substr(1, close - 1));
        if (!isIpv6Literal(inside)) return std::nullopt;
        const std::string_view tail = hostPort.substr(close + 1);
        if (!tail.empty()) {
            const auto port = tail.front() == ':' ? portNumber(tail.substr(1)) : std::nullopt;
            if (!port) return std::nullopt;
            parsed.port = *port;
        }
        host = "[" + inside + "]";
    } else {
        const std::size_t portColon = hostPort.find(':');
        if (portColon != std::string_view::npos) {
            const auto port = portNumber(hostPort.substr(portColon + 1));
            if (!port) return std::nullopt;
            parsed.port = *port;
        }
        host = lowerAscii(hostPort.substr(0, portColon));
        // "example.com." names the same host as "example.com".
        if (!host.empty() && host.back() == '.') host.pop_back();
        if (!isHostName(host)) return std::nullopt;
    }
    parsed.host = std::move(host);
    if (parsed.port == (parsed.https ? 443U : 80U)) parsed.port = 0;
    return parsed;
}

bool isIpLiteral(std::string_view host) {
    return host.front() == '[' || isIpv4(host);
}

}  // namespace

FillValues fillValuesFrom(std::string_view username, std::string_view email,
                          std::string_view password) {
    FillValues values;
    values.userName = std::string(username.empty() ? email : username);
    values.email = std::string(email.empty() ? username : email);
    values.password = std::string(password);
    return values;
}

bool matchesFieldWords(std::string_view name, const std::array<std::string_view, 4>& words) {
    if (name.empty()) return false;
    const std::string lowered = lowerAscii(name);
    return std::any_of(words.begin(), words.end(), [&](std::string_view word) {
        return word.find(lowered) != std::string_view::npos;
    });
}

std::vector<FillWrite> FillDocumentForms(const std::vector<std::vector<FormElement>>& forms,
                                         const FillValues& values) {
    std::vector<FillWrite> writes;
    for (std::size_t f = 0; f < forms.size(); ++f) {
        const std::vector<FormElement>& elements = forms[f];
        for (std::size_t e = elements.size(); e-- > 0;) {
            const FormElement& element = elements[e];
            // An element whose type or name cannot be read is passed over.
            if (!element.type || !element.name || !element.writable) continue;
            const std::string type = lowerAscii(*element.type);
            if (type == "text") {
                if (matchesFieldWords(*element.name, UserNameFieldWords))
                    writes.push_back({f, e, "text", values.userName});
                else if (matchesFieldWords(*element.name, EmailFieldWords))
                    writes.push_back({f, e, "text", values.email});
            } else if (type == "password") {
                writes.push_back({f, e, "password", values.password});
            }
        }
    }
    return writes;
}

std::optional<std::string> webHost(std::string_view address) {
    std::optional<ParsedAddress> parsed = parseAddress(address);
    if (!parsed) return std::nullopt;
    return std::move(parsed->host);
}

bool pageMatchesEntry(std::string_view pageAddress, std::string_view entryAddress) {
    const std::optional<ParsedAddress> page = parseAddress(pageAddress);
    const std::optional<ParsedAddress> entry = parseAddress(entryAddress);
    // A page always reports its scheme; one that does not is no web page.
    if (!page || !page->explicitScheme || !entry) return false;
    // Never downgrade: a secure entry's password goes to secure pages only, where a plain page
    // of the same host may be an attacker on the network. The other way round is an upgrade.
    if (entry->https && !page->https) return false;
    if (page->port != entry->port) return false;
    if (page->host == entry->host) return true;
    if (isIpLiteral(entry->host)) return false;
    const std::string suffix = "." + entry->host;
    return page->host.size() > suffix.size() &&
           page->host.compare(page->host.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::optional<std::string> browserAddress(std::string_view address) {
    const std::optional<ParsedAddress> parsed = parseAddress(address);
    if (!parsed) return std::nullopt;
    address = trimBlanks(address);
    if (parsed->explicitScheme) return std::string(address);
    return "https://" + std::string(address);
}

}  // namespace vorkel
