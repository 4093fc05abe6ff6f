#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorkel {

/// Input names that take the user name value, and those that take the e-mail value.
inline constexpr std::array<std::string_view, 4> UserNameFieldWords{"username", "uname", "un",
                                                                    "login"};
inline constexpr std::array<std::string_view, 4> EmailFieldWords{"email", "mail", "em", "eml"};

/// The three values a fill types, formed from the editor's fields as shown.
struct FillValues {
    std::string userName;
    std::string email;
    std::string password;
};

/// User name falls back to the e-mail address and the e-mail address to the user name.
FillValues fillValuesFrom(std::string_view username, std::string_view email,
                          std::string_view password);

/// True when `name`, ASCII lower-cased, is not empty and lies inside one of `words`.
bool matchesFieldWords(std::string_view name, const std::array<std::string_view, 4>& words);

/// One element of a page's form as the page reports it; a missing type or name is nullopt.
struct FormElement {
    std::optional<std::string> type;
    std::optional<std::string> name;
    /// False for a read-only or disabled input, which a person could not type into either.
    bool writable = true;
};

/// One value to write into a page: the element at `element` of form `form`, whose lower-cased
/// type was `type` ("text" or "password") when the page was read.
struct FillWrite {
    std::size_t form = 0;
    std::size_t element = 0;
    std::string type;
    std::string value;
};

/// The writes for one page, in visiting order: forms ascending, elements from the last to the
/// first; "text" inputs by the word lists, every "password" input the password; nothing else,
/// and nothing into an input that is read-only or disabled.
std::vector<FillWrite> FillDocumentForms(const std::vector<std::vector<FormElement>>& forms,
                                         const FillValues& values);

/// The host of an http or https address, lower-cased, without a trailing dot, IPv6 literals in
/// brackets; nullopt for any other scheme or a malformed address. An address without a scheme
/// is read as https.
std::optional<std::string> webHost(std::string_view address);

/// True when the page (http or https) shows the entry's host or a subdomain of it, on the
/// entry's port (default ports normalised), and is https whenever the entry is: an http entry
/// may fill the https page, never the reverse.
bool pageMatchesEntry(std::string_view pageAddress, std::string_view entryAddress);

/// The address to open a browser on: the entry's http or https address, "https://" put before
/// one without a scheme; nullopt for anything else (so no text can reach the browser as an
/// option or a script address).
std::optional<std::string> browserAddress(std::string_view address);

}  // namespace vorkel
