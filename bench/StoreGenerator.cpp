#include "StoreGenerator.h"

#include <array>
#include <cstdio>
#include <stdexcept>

#include "core/entries/EntryList.h"
#include "core/entries/Field.h"
#include "core/storage/Container.h"
#include "core/storage/DataStoreDocument.h"
#include "core/storage/PassString.h"
#include "core/storage/RandomSource.h"

namespace vorkel::bench {

namespace {

// Words of the kind that titles and notes are made of; a few carry accents, so the parser's
// UTF-8 checks and the ASCII-only case folding both see real input.
const std::array<std::string, 96> kWords = {
    "Bank",      "Online",  "Mail",     "Account", "Login",    "Portal",   "Shop",     "Store",
    "Cloud",     "Drive",   "Home",     "Office",  "Work",     "VPN",      "Router",   "WiFi",
    "Server",    "Admin",   "Backup",   "Photo",   "Music",    "Video",    "Stream",   "Game",
    "Forum",     "News",    "Travel",   "Hotel",   "Airline",  "Rail",     "Car",      "Rental",
    "Insurance", "Health",  "Doctor",   "Dentist", "Pharmacy", "School",   "College",  "Library",
    "Tax",       "Pension", "Savings",  "Credit",  "Card",     "Loan",     "Mortgage", "Broker",
    "Energy",    "Water",   "Phone",    "Mobile",  "Internet", "Cable",    "Post",     "Parcel",
    "Garden",    "Kitchen", "Gym",      "Club",    "Charity",  "Council",  "Parking",  "Ticket",
    "North",     "South",   "East",     "West",    "First",    "National", "City",     "Union",
    "Green",     "Blue",    "Red",      "Silver",  "Golden",   "River",    "Harbour",  "Valley",
    "Smith",     "Jones",   "Taylor",   "Brown",   "Wilson",   "Evans",    "Müller",   "Café",
    "Zürich",    "Señor",   "personal", "shared",  "old",      "new",      "family",   "test",
};

const std::array<std::string, 11> kTypes = {
    "Bank Details",  "Computer Logon",    "Credit Card", "Document",
    "Email Account", "Instant Messaging", "PIN",         "Security Code",
    "Skype",         "Software Access",   "Web Logon",
};

const std::array<std::string, 5> kUsers = {"alice", "bob", "carol.smith", "dave", "erin"};

const std::array<std::string, 6> kDomains = {"example.com",       "mail.example.org",
                                             "shop.example.net",  "bank.example.co.uk",
                                             "portal.example.de", "example.io"};

// Fits `text` to exactly `length` bytes without cutting a UTF-8 sequence or leaving a blank at
// either end; may come out a little shorter where a multi-byte character would be split.
void fitTo(std::string& text, std::size_t length) {
    if (text.size() > length) {
        std::size_t n = length;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
        text.resize(n);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
}

}  // namespace

SecureBytes benchPassString() {
    return passStringBytes(kUser, kPassword);
}

std::uint64_t StoreGenerator::nextRandom() {
    // splitmix64: fast, and the same sequence on every platform (unlike the std distributions).
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::size_t StoreGenerator::between(std::size_t low, std::size_t high) {
    return low + static_cast<std::size_t>(nextRandom() % (high - low + 1));
}

const std::string& StoreGenerator::word() {
    return kWords[between(0, kWords.size() - 1)];
}

std::string StoreGenerator::title() {
    const std::size_t length = between(10, 40);
    std::string t;
    while (t.size() < length + 1) {
        if (!t.empty()) t += ' ';
        t += word();
    }
    fitTo(t, length);
    // A short word list can leave fewer than ten characters after the trim; pad with a number.
    while (t.size() < 10) t += static_cast<char>('0' + between(0, 9));
    return t;
}

std::string StoreGenerator::notes() {
    const std::size_t length = between(0, 400);
    std::string n;
    std::size_t lineEnd = between(40, 120);
    while (n.size() < length) {
        if (n.size() >= lineEnd) {
            n += "\r\n";
            lineEnd = n.size() + between(40, 120);
        } else if (!n.empty() && n.back() != '\n') {
            n += ' ';
        }
        const std::string& w = word();
        n += between(0, 7) == 0 ? w : std::string(1, static_cast<char>(w[0] | 0x20)) + w.substr(1);
    }
    fitTo(n, length);
    return n;
}

std::string StoreGenerator::password() {
    // Generated passwords carry the characters XML must escape, so the writer's escaping runs.
    static constexpr std::string_view kChars =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%&*+-=?@^_<>\"'";
    std::string p(between(10, 20), ' ');
    for (char& c : p) c = kChars[between(0, kChars.size() - 1)];
    return p;
}

std::string StoreGenerator::dateTime() {
    char text[32];
    std::snprintf(text, sizeof text, "%02zu/%02zu/%04zu %02zu:%02zu:%02zu", between(1, 28),
                  between(1, 12), between(2005, 2024), between(0, 23), between(0, 59),
                  between(0, 59));
    return text;
}

const std::vector<std::string>& StoreGenerator::nextTexts() {
    m_texts.assign(kFieldCount, std::string());
    auto set = [&](Field f, std::string value) { m_texts[index(f)] = std::move(value); };
    const std::string& user = kUsers[between(0, kUsers.size() - 1)];
    const std::string& domain = kDomains[between(0, kDomains.size() - 1)];
    const std::string login =
        kUsers[between(0, kUsers.size() - 1)] + std::to_string(between(1, 99));
    std::string title = this->title();

    set(Field::Detail, notes());
    set(Field::Password, password());
    set(Field::Passphrase, word() + " " + word());
    set(Field::CreateDate, dateTime());
    set(Field::EditDate, dateTime());
    set(Field::Type, kTypes[between(0, kTypes.size() - 1)]);
    char expires[16];
    std::snprintf(expires, sizeof expires, "%02zu/%02zu/%04zu", between(1, 28), between(1, 12),
                  between(2025, 2030));
    set(Field::Expires, expires);
    set(Field::Username, login);
    set(Field::Email, login + "@" + domain);
    set(Field::WebURL, "https://" + domain + "/login");
    set(Field::CreatedBy, user);
    set(Field::ModifiedBy, user);
    set(Field::ModifyCount, std::to_string(between(1, 500)));
    set(Field::AccessedBy, user);
    set(Field::AccessedLast, dateTime());
    set(Field::AccessCount, std::to_string(between(1, 2000)));
    set(Field::AllowedAccess, "Private");
    set(Field::Title, std::move(title));
    checkShape();
    return m_texts;
}

void StoreGenerator::checkShape() const {
    // The figures are only comparable between runs while every store keeps this shape.
    const std::size_t titleLength = m_texts[index(Field::Title)].size();
    bool ok = titleLength >= 10 && titleLength <= 40 && m_texts[index(Field::Detail)].size() <= 400;
    for (std::size_t f = 0; f < kFieldCount; ++f)
        if (f != index(Field::Detail) && m_texts[f].empty()) ok = false;
    if (!ok) throw std::logic_error("the store generator made an entry of the wrong shape");
}

std::vector<EntryPtr> StoreGenerator::entries(std::size_t count) {
    std::vector<EntryPtr> out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto& texts = nextTexts();
        Entry::Texts views;
        for (std::size_t f = 0; f < kFieldCount; ++f) views[f] = texts[f];
        out.push_back(Entry::create(EntryId(i), views));
    }
    return out;
}

std::size_t writeStore(const std::vector<EntryPtr>& entries, const std::string& path) {
    EntryList list;
    list.assign(entries);
    SecureBytes plain = datastore::serialize(list, std::string(kApplicationPath));
    const std::size_t size = plain.size();
    FixedRandom salt({0x5A, 0x17, 0xC3, 0x08, 0x9E, 0x41, 0xB2, 0x6D});
    container::EncryptToFile(std::move(plain), path, benchPassString(), salt);
    return size;
}

}  // namespace vorkel::bench
