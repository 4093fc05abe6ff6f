#include "core/storage/DataStoreDocument.h"

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/storage/XmlError.h"

using namespace vorkel;

namespace {

SecureBytes bytes(std::string_view s) {
    return SecureBytes(s.begin(), s.end());
}
std::string text(const SecureBytes& b) {
    return std::string(b.begin(), b.end());
}

EntryPtr sample(EntryId id, std::string_view title, std::string_view detail = "") {
    Entry::Texts t;
    const char* values[kFieldCount] = {"",
                                       "",
                                       "pw",
                                       "pp",
                                       "01/02/2003 04:05:06",
                                       "07/08/2009",
                                       "PIN",
                                       "2012",
                                       "user",
                                       "alice",
                                       "bob",
                                       "3",
                                       "carol",
                                       "10/10/2010 10:10:10",
                                       "4",
                                       "Private",
                                       "a@b.c",
                                       "http://x/"};
    for (std::size_t i = 0; i < kFieldCount; ++i) t[i] = values[i];
    t[index(Field::Title)] = title;
    t[index(Field::Detail)] = detail;
    return Entry::create(id, t);
}

const char* kOneItem =
    "<filedataxml application=\"/opt/v/vorkel-v1\"><item Title=\"T\" Detail=\"d\" Password=\"pw\" "
    "Passphrase=\"pp\" CreateDate=\"01/02/2003 04:05:06\" EditDate=\"07/08/2009\" Type=\"PIN\" "
    "Expires=\"2012\" Username=\"user\" Email=\"a@b.c\" WebURL=\"http://x/\" CreatedBy=\"alice\" "
    "ModifiedBy=\"bob\" ModifyCount=\"3\" AccessedBy=\"carol\" AccessedLast=\"10/10/2010 "
    "10:10:10\" "
    "AccessCount=\"4\" AllowedAccess=\"Private\"/></filedataxml>";

}  // namespace

TEST(DataStoreDocument, WritesEighteenAttributesInDocumentOrder) {
    EntryList list;
    list.append(sample(0, "T", "d"));
    EXPECT_EQ(text(datastore::serialize(list, "/opt/v/vorkel")), kOneItem);
}

TEST(DataStoreDocument, EmptyListWritesRootOnlyAndReadsBackEmpty) {
    EntryList list;
    auto doc = datastore::serialize(list, "/p");
    EXPECT_EQ(text(doc), "<filedataxml application=\"/p-v1\"/>");
    EXPECT_TRUE(datastore::parse(doc, 1.2).empty());
}

TEST(DataStoreDocument, SpecialCharactersRoundTripByteForByte) {
    const std::string nasty = "a\r\nb\rc\n\rd\te&f<g>h\"i'j \xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80  ";
    EntryList list;
    list.append(sample(0, nasty, nasty));
    list.append(sample(1, "", ""));  // empty title and notes still store
    auto doc = datastore::serialize(list, "/p");
    std::string s = text(doc);
    EXPECT_NE(s.find("&#13;&#10;"), std::string::npos);
    EXPECT_NE(s.find("&#09;"), std::string::npos);
    auto back = datastore::parse(std::move(doc), 1.2);
    ASSERT_EQ(back.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t f = 0; f < kFieldCount; ++f)
            EXPECT_EQ(back[i]->texts()[f], list.at(i)->texts()[f]) << i << "/" << f;
}

TEST(DataStoreDocument, LoadNumbersEntriesInDocumentOrder) {
    EntryList list;
    list.append(sample(7, "x"));
    list.append(sample(3, "y"));
    list.append(sample(9, "z"));
    auto back = datastore::parse(datastore::serialize(list, "/p"), 1.2);
    ASSERT_EQ(back.size(), 3u);
    for (EntryId i = 0; i < 3; ++i) EXPECT_EQ(back[i]->id(), i);
    EXPECT_EQ(back[2]->title(), "z");
}

TEST(DataStoreDocument, DataVersionGatesEmailAndWebUrl) {
    EntryList list;
    list.append(sample(0, "T"));
    auto doc = datastore::serialize(list, "/p");
    auto v10 = datastore::parse(doc, 1.0);
    EXPECT_EQ(v10[0]->get(Field::Email), "");
    EXPECT_EQ(v10[0]->get(Field::WebURL), "");
    auto v11 = datastore::parse(doc, 1.1);
    EXPECT_EQ(v11[0]->get(Field::Email), "a@b.c");
    EXPECT_EQ(v11[0]->get(Field::WebURL), "");
    auto v12 = datastore::parse(doc, 1.2);
    EXPECT_EQ(v12[0]->get(Field::WebURL), "http://x/");
    // An old document without the two attributes reads under 1.0.
    std::string old = kOneItem;
    old.replace(old.find(" Email"), std::string(" Email=\"a@b.c\" WebURL=\"http://x/\"").size(),
                "");
    EXPECT_EQ(datastore::parse(bytes(old), 1.0)[0]->title(), "T");
    EXPECT_THROW(datastore::parse(bytes(old), 1.2), ConversionError);
}

TEST(DataStoreDocument, AttributeOrderAndNamesOfElementsDoNotMatter) {
    std::string doc =
        "<?xml version=\"1.0\"?>\n<anything>\n  <row AllowedAccess=\"P\" AccessCount=\"1\" "
        "AccessedLast=\"\" "
        "AccessedBy=\"\" ModifyCount=\"1\" ModifiedBy=\"\" CreatedBy=\"\" WebURL=\"w\" Email=\"e\" "
        "Username=\"\" Expires=\"\" Type=\"\" EditDate=\"\" CreateDate=\"\" Passphrase=\"\" "
        "Password=\"\" "
        "Detail=\"\" Title=\"reversed\" Extra=\"ignored\"/>\n</anything>\n";
    auto back = datastore::parse(bytes(doc), 1.2);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->title(), "reversed");
    EXPECT_EQ(back[0]->get(Field::WebURL), "w");
    EXPECT_EQ(back[0]->get(Field::AllowedAccess), "P");
}

TEST(DataStoreDocument, MissingAttributeIsAConversionErrorNamingIt) {
    std::string doc = kOneItem;
    doc.replace(doc.find(" ModifyCount=\"3\""), 16, "");
    try {
        datastore::parse(bytes(doc), 1.2);
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "The document lacks the attribute \"ModifyCount\".");
    }
}

TEST(DataStoreDocument, TextAmongItemsAndGarbageAreRejected) {
    EXPECT_THROW(datastore::parse(bytes("<filedataxml>junk</filedataxml>"), 1.2), ConversionError);
    EXPECT_THROW(datastore::parse(bytes(""), 1.2), XmlError);
    EXPECT_THROW(datastore::parse(bytes("<filedataxml/><x/>"), 1.2), XmlError);
    EXPECT_THROW(datastore::parse(bytes(std::string(kOneItem) + "junk"), 1.2), XmlError);
}

TEST(DataStoreDocument, Utf16DocumentsAreRead) {
    std::string utf8 = kOneItem;
    std::string utf16 = "\xFF\xFE";
    for (char c : utf8) {
        utf16 += c;
        utf16 += '\0';
    }
    auto back = datastore::parse(bytes(utf16), 1.2);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->get(Field::Username), "user");
}

// An entry read from a document views its texts in the deciphered document, which the entries
// still in use keep alive: the one an edit superseded must not leave its secrets there.
TEST(DataStoreDocument, ADroppedEntryIsWipedInTheDocumentOthersKeepAlive) {
    EntryList list;
    list.append(sample(0, "Bank"));
    list.append(sample(1, "Mail"));
    std::string document = text(datastore::serialize(list, "/p"));
    const std::string secret = "Hunter2SecretPw";
    document.replace(document.find("Password=\"pw\""), 13, "Password=\"" + secret + "\"");
    std::vector<EntryPtr> entries = datastore::parse(bytes(document), 1.2);
    ASSERT_EQ(entries.size(), 2u);
    const std::string_view password = entries[0]->get(Field::Password);
    ASSERT_EQ(password, secret);
    const std::string_view passphrase = entries[0]->get(Field::Passphrase);
    entries[0].reset();  // the second entry keeps the document alive
    EXPECT_EQ(std::string(password.data(), password.size()), std::string(secret.size(), '\0'));
    EXPECT_EQ(std::string(passphrase.data(), passphrase.size()), std::string(2, '\0'));
    EXPECT_EQ(entries[1]->title(), "Mail");
    EXPECT_EQ(entries[1]->get(Field::Password), "pw");
}

// Items as the program writes them take a shorter way through the reader; every departure from
// that shape, at any attribute, must still meet every rule.
TEST(DataStoreDocument, ItemsThatLeaveTheWrittenShapeAnywhereMeetEveryRule) {
    const std::string item = kOneItem;
    const auto parsed = [](const std::string& doc) { return datastore::parse(bytes(doc), 1.2); };
    const auto errorOf = [&](const std::string& doc) -> std::string {
        try {
            parsed(doc);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    };
    // A repeat of a name already read the short way, right after it, at the end, and after a
    // difference in spacing.
    std::string twice = item;
    twice.insert(twice.find(" Detail="), " Title=\"again\"");
    EXPECT_NE(errorOf(twice).find("an attribute appears twice"), std::string::npos);
    std::string atEnd = item;
    atEnd.insert(atEnd.find("/>"), " Password=\"again\"");
    EXPECT_NE(errorOf(atEnd).find("an attribute appears twice"), std::string::npos);
    std::string spaced = item;
    spaced.replace(spaced.find(" Type="), 1, "  ");
    spaced.insert(spaced.find("/>"), " Expires=\"again\"");
    EXPECT_NE(errorOf(spaced).find("an attribute appears twice"), std::string::npos);

    // Single quotes, blanks and an unknown attribute at the end read as before.
    std::string other = item;
    other.replace(other.find("Type=\"PIN\""), 10, "Type='P\"N'");
    other.replace(other.find(" AllowedAccess"), 1, "\n\t ");
    other.insert(other.find("/>"), " Extra=\"x\" ");
    const auto back = parsed(other);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->get(Field::Type), "P\"N");
    EXPECT_EQ(back[0]->get(Field::AllowedAccess), "Private");

    // Faults inside a value read the short way are found all the same.
    std::string lt = item;
    lt.replace(lt.find("\"pp\""), 4, "\"p<\"");
    EXPECT_NE(errorOf(lt).find("\"<\" is not allowed"), std::string::npos);
    std::string unclosed = item;
    unclosed.erase(unclosed.find("\"/>"), 1);
    EXPECT_NE(errorOf(unclosed), "");
    std::string noSpace = item;
    noSpace.erase(noSpace.find(" Password"), 1);
    EXPECT_NE(errorOf(noSpace).find("white space"), std::string::npos);
    std::string missingLast = item;
    missingLast.erase(missingLast.find(" AllowedAccess"),
                      missingLast.find("/>") - missingLast.find(" AllowedAccess"));
    EXPECT_EQ(errorOf(missingLast), "The document lacks the attribute \"AllowedAccess\".");
}

TEST(DataStoreDocument, TheWrittenShapeStillObeysTheDataVersion) {
    const auto old = datastore::parse(bytes(kOneItem), 1.1);
    ASSERT_EQ(old.size(), 1u);
    EXPECT_EQ(old[0]->get(Field::Email), "a@b.c");
    EXPECT_EQ(old[0]->get(Field::WebURL), "");
    const auto oldest = datastore::parse(bytes(kOneItem), 1.0);
    EXPECT_EQ(oldest[0]->get(Field::Email), "");
    EXPECT_EQ(oldest[0]->get(Field::WebURL), "");
    EXPECT_EQ(oldest[0]->get(Field::AccessCount), "4");
}
