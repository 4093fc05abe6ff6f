#include "core/storage/DataStoreDocument.h"

#include <array>
#include <memory>
#include <optional>
#include <span>

#include "core/Error.h"
#include "core/storage/XmlCharacters.h"
#include "core/storage/XmlEncoding.h"
#include "core/storage/XmlReader.h"
#include "core/storage/XmlWriter.h"

namespace vorkel::datastore {

namespace {
constexpr std::string_view kRoot = "filedataxml";
constexpr std::string_view kItem = "item";

[[noreturn]] void missing(Field f) {
    throw ConversionError("The document lacks the attribute \"" + std::string(fieldName(f)) +
                          "\".");
}

// The field an attribute name stands for; attributes usually come in document order, so the
// expected one is tried first.
std::optional<Field> fieldOf(std::string_view name, std::size_t position) {
    if (position < kFieldCount && fieldName(kDocumentFieldOrder[position]) == name)
        return kDocumentFieldOrder[position];
    for (Field f : kDocumentFieldOrder)
        if (fieldName(f) == name) return f;
    return std::nullopt;
}

// An item written some other way: its attributes in any order, unknown ones passed over, and
// every field of its data version required.
void readAnyItem(std::span<const XmlReader::Attribute> attrs, Entry::Texts& texts, bool readEmail,
                 bool readWebUrl) {
    std::array<bool, kFieldCount> seen{};
    for (std::size_t i = 0; i < attrs.size(); ++i) {
        if (auto f = fieldOf(attrs[i].name, i)) {
            texts[index(*f)] = attrs[i].value;
            seen[index(*f)] = true;
        }
    }
    // Required in the order an item is read, so the error names the first one missing.
    for (Field f :
         {Field::Title, Field::Detail, Field::Password, Field::Passphrase, Field::CreateDate,
          Field::EditDate, Field::Type, Field::Expires, Field::Username, Field::CreatedBy,
          Field::ModifiedBy, Field::ModifyCount, Field::AccessedBy, Field::AccessedLast,
          Field::AccessCount, Field::AllowedAccess})
        if (!seen[index(f)]) missing(f);
    if (readEmail && !seen[index(Field::Email)]) missing(Field::Email);
    if (readWebUrl && !seen[index(Field::WebURL)]) missing(Field::WebURL);
}
}  // namespace

SecureBytes serialize(const EntryList& list, const std::string& applicationPath) {
    std::size_t estimate = 64 + applicationPath.size();
    for (const auto& e : list.entries()) {
        estimate += 240;  // names, quotes and blanks of one item
        for (auto t : e->texts()) estimate += t.size() + t.size() / 16;
    }
    SecureBytes out;
    out.reserve(estimate);
    XmlWriter w(out);
    w.startElement(kRoot);
    w.attribute("application", applicationPath + "-v1");
    for (const auto& e : list.entries()) {
        w.startElement(kItem);
        for (Field f : kDocumentFieldOrder) w.attribute(fieldName(f), e->get(f));
        w.endElement();
    }
    w.endElement();
    return out;
}

std::vector<EntryPtr> parse(SecureBytes plain, double dataVersion) {
    auto storage = std::make_shared<SecureBytes>(std::move(plain));
    const std::size_t start = prepareUtf8(*storage);
    XmlReader reader(reinterpret_cast<char*>(storage->data()) + start, storage->size() - start);
    const bool readEmail = dataVersion > 1.0;
    const bool readWebUrl = dataVersion > 1.1;

    std::array<std::string_view, kFieldCount> names;
    for (std::size_t i = 0; i < kFieldCount; ++i) names[i] = fieldName(kDocumentFieldOrder[i]);
    reader.expectAttributes(names);

    // A written item takes 500 bytes and more; a block for a few more entries than that
    // allows costs address space only.
    const auto arena = std::make_shared<EntryArena>(storage, storage->size() / 400 + 16);
    std::vector<EntryPtr> entries;
    for (auto token = reader.next(); token != XmlReader::Token::EndOfDocument;
         token = reader.next()) {
        if (reader.depth() == 2 && token == XmlReader::Token::StartElement) {
            Entry::Texts texts;
            const auto attrs = reader.attributes();
            if (reader.hadExpectedAttributes()) {
                // An item as the program writes it: every field there, in document order.
                for (std::size_t i = 0; i < kFieldCount; ++i)
                    texts[index(kDocumentFieldOrder[i])] = attrs[i].value;
            } else {
                readAnyItem(attrs, texts, readEmail, readWebUrl);
            }
            // Whatever an item holds in a field its data version did not have is left out.
            if (!readEmail) texts[index(Field::Email)] = {};
            if (!readWebUrl) texts[index(Field::WebURL)] = {};
            entries.push_back(Entry::view(EntryId(entries.size()), texts, arena));
        } else if (reader.depth() == 1 && token == XmlReader::Token::Text &&
                   !xmlchars::isBlank(reader.text())) {
            // Text among the items is a child node with no attributes.
            missing(Field::Title);
        }
    }
    return entries;
}

}  // namespace vorkel::datastore
