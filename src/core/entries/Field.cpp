#include "core/entries/Field.h"

namespace vorkel {

namespace {
constexpr std::array<std::string_view, kFieldCount> kNames = {
    "Title",      "Detail",       "Password",    "Passphrase",    "CreateDate", "EditDate",
    "Type",       "Expires",      "Username",    "CreatedBy",     "ModifiedBy", "ModifyCount",
    "AccessedBy", "AccessedLast", "AccessCount", "AllowedAccess", "Email",      "WebURL",
};
}  // namespace

std::string_view fieldName(Field f) {
    return kNames[index(f)];
}

const std::array<Field, kFieldCount> kDocumentFieldOrder = {
    Field::Title,       Field::Detail,        Field::Password,   Field::Passphrase,
    Field::CreateDate,  Field::EditDate,      Field::Type,       Field::Expires,
    Field::Username,    Field::Email,         Field::WebURL,     Field::CreatedBy,
    Field::ModifiedBy,  Field::ModifyCount,   Field::AccessedBy, Field::AccessedLast,
    Field::AccessCount, Field::AllowedAccess,
};

}  // namespace vorkel
