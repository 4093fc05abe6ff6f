#include "entries/Entry.h"

#include "storage/SecureBytes.h"

namespace vorkel {

EntryPtr Entry::create(EntryId id, const Texts& texts) {
    std::size_t total = 0;
    for (auto t : texts) total += t.size();
    auto blob = std::make_shared<std::string>();
    blob->reserve(total);
    for (auto t : texts) blob->append(t);
    Texts views;
    std::size_t at = 0;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        views[i] = std::string_view(blob->data() + at, texts[i].size());
        at += texts[i].size();
    }
    return std::make_shared<const Entry>(Key(), id, views, std::move(blob));
}

Entry::~Entry() {
    // The storage outlives this (it is released after the body): each text's bytes belong to
    // this entry alone, in writable memory that create or the document parser made. Only the
    // fields that hold secrets: wiping all eighteen made dropping a loaded list four times
    // slower, for dates and counters.
    for (Field f : {Field::Password, Field::Passphrase, Field::Username, Field::Detail}) {
        const std::string_view text = m_texts[index(f)];
        secureWipe(const_cast<char*>(text.data()), text.size());
    }
}

EntryPtr Entry::view(EntryId id, const Texts& texts, std::shared_ptr<const void> storage) {
    return std::make_shared<const Entry>(Key(), id, texts, std::move(storage));
}

EntryPtr withField(const Entry& e, Field f, std::string_view value) {
    Entry::Texts texts = e.texts();
    texts[index(f)] = value;
    return Entry::create(e.id(), texts);
}

}  // namespace vorkel
