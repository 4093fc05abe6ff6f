#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vorkel {

/// The eighteen text fields of an entry, in the entry list's position order (title first,
/// e-mail and web address last).
enum class Field : std::size_t {
    Title,
    Detail,
    Password,
    Passphrase,
    CreateDate,
    EditDate,
    Type,
    Expires,
    Username,
    CreatedBy,
    ModifiedBy,
    ModifyCount,
    AccessedBy,
    AccessedLast,
    AccessCount,
    AllowedAccess,
    Email,
    WebURL,
};

inline constexpr std::size_t kFieldCount = 18;

/// Index of a field in an entry's field array.
constexpr std::size_t index(Field f) {
    return static_cast<std::size_t>(f);
}

/// The attribute name of a field in the data store document.
std::string_view fieldName(Field f);

/// The fields in the order the document writes them.
extern const std::array<Field, kFieldCount> kDocumentFieldOrder;

}  // namespace vorkel
