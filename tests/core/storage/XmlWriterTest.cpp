#include "core/storage/XmlWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/storage/XmlDocument.h"
#include "core/storage/XmlReader.h"
#include "core/storage/XmlTrace.h"

namespace vorkel {
namespace {

using test::bytesOf;
using test::readerTrace;
using test::textOf;

// A tree to write both ways: through XmlWriter and through the document object model.
struct Node {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Node> children;
};

void writeNode(XmlWriter& w, const Node& n) {
    w.startElement(n.name);
    for (const auto& [name, value] : n.attributes) w.attribute(name, value);
    for (const Node& c : n.children) writeNode(w, c);
    w.endElement();
}

std::string written(const Node& root) {
    SecureBytes out;
    XmlWriter w(out);
    writeNode(w, root);
    return textOf(out);
}

void buildNode(XmlElement e, const Node& n) {
    for (const auto& [name, value] : n.attributes) e.SetAttribute(name, value);
    for (const Node& c : n.children) buildNode(e.AddChild(c.name), c);
}

std::string saved(const Node& root) {
    XmlDocument doc;
    buildNode(doc.AddRoot(root.name), root);
    return textOf(doc.SaveToBuffer());
}

const std::string kEverySpecial = "&<>\"'\t\n\r]]>";

// Values that must read back byte for byte.
const std::vector<std::string>& awkwardValues() {
    static const std::vector<std::string> values = {
        "",
        "\r",
        "\n",
        "line 1\r\nline 2",
        "lone\rCR",
        "LF\n\rCR",
        "\r\n\r\n",
        "tab\there",
        "&",
        "<",
        ">",
        "\"",
        "'",
        kEverySpecial,
        "&amp; is not decoded twice",
        "  leading and trailing blanks  ",
        "\xC3\xA9",                  // é
        "\xE4\xB8\xAD",              // 中
        "\xF0\x9F\x98\x80",          // an emoji, outside the basic plane
        "\x7F\xC2\x85\xEF\xBF\xBD",  // DEL, NEL, U+FFFD: characters XML allows
        std::string(100000, 'x') + "\r\n",
    };
    return values;
}

TEST(XmlWriter, ExactBytes) {
    const Node tree{"filedataxml",
                    {{"application", "/opt/v/vorkel-v1"}},
                    {{"item", {{"Title", "a"}, {"Detail", "x\r\ny"}}, {}}, {"item", {}, {}}}};
    EXPECT_EQ(written(tree),
              "<filedataxml application=\"/opt/v/vorkel-v1\"><item Title=\"a\" "
              "Detail=\"x&#13;&#10;y\"/><item/></filedataxml>");
    EXPECT_EQ(written({"a", {{"v", kEverySpecial}}, {}}),
              "<a v=\"&amp;&lt;>&quot;'&#09;&#10;&#13;]]>\"/>");
    EXPECT_EQ(written({"a", {{"e", ""}}, {}}), "<a e=\"\"/>");
    EXPECT_EQ(written({"a", {}, {{"b", {}, {{"c", {}, {}}}}}}), "<a><b><c/></b></a>");
}

TEST(XmlWriter, SameBytesAsTheDocumentObjectModel) {
    std::vector<std::pair<std::string, std::string>> everyValue;
    for (std::size_t i = 0; i < awkwardValues().size(); ++i)
        everyValue.emplace_back("v" + std::to_string(i), awkwardValues()[i]);
    Node wide{"root", {}, {}};
    for (int i = 0; i < 40; ++i)
        wide.attributes.emplace_back("a" + std::to_string(i), std::to_string(i));
    const std::vector<Node> trees = {
        {"a", {}, {}},
        {"a", {{"x", "1"}}, {}},
        {"a", {}, {{"b", {}, {}}, {"c", {}, {}}}},
        {"configdataxml",
         {{"application", "C:\\Vorkel\\Vorkel.exe-v1"}},
         {{"database", {{"username", "u"}, {"masterpass", "p&<\"'"}}, {}},
          {"screen", {{"left", "-8"}, {"top", "0"}, {"width", "800"}, {"height", "600"}}, {}},
          {"passtypes", {}, {}}}},
        {"r", everyValue, {{"child", everyValue, {{"grandchild", {}, {}}}}}},
        {"\xC3\xA9\xE4\xB8\xAD", {{"\xC3\xB1", "\xC3\xBC"}}, {{"_x.y-z:w", {}, {}}}},
        wide,
    };
    for (const Node& tree : trees) EXPECT_EQ(written(tree), saved(tree)) << tree.name;
}

TEST(XmlWriter, ValuesReadBackByteForByte) {
    for (const std::string& value : awkwardValues()) {
        const std::string doc = written({"a", {{"v", value}}, {}});
        std::string copy = doc;
        XmlReader reader(copy.data(), copy.size());
        ASSERT_EQ(reader.next(), XmlReader::Token::StartElement);
        ASSERT_EQ(reader.attributes().size(), 1u);
        EXPECT_EQ(reader.attributes()[0].value, value) << doc.substr(0, 80);

        const XmlDocument dom = XmlDocument::LoadFromBuffer(bytesOf(doc));
        EXPECT_EQ(dom.DocumentElement().GetAttribute("v"), value) << doc.substr(0, 80);
    }
}

TEST(XmlWriter, EmptyViewIsAnEmptyValue) {
    SecureBytes out;
    XmlWriter w(out);
    w.startElement("a");
    w.attribute("e", std::string_view());
    w.endElement();
    EXPECT_EQ(textOf(out), "<a e=\"\"/>");
}

TEST(XmlWriter, LineBreaksAreWrittenAsReferences) {
    const std::string doc = written({"a", {{"v", "1\r\n2\n\r3\t"}}, {}});
    EXPECT_NE(doc.find("1&#13;&#10;2&#10;&#13;3&#09;"), std::string::npos) << doc;
    EXPECT_EQ(doc.find_first_of("\r\n\t"), std::string::npos);
}

void expectRefused(const std::function<void(XmlWriter&)>& prefix,
                   const std::function<void(XmlWriter&)>& step, const char* label) {
    SecureBytes out;
    XmlWriter w(out);
    prefix(w);
    const SecureBytes before = out;
    EXPECT_THROW(step(w), Error) << label;
    EXPECT_EQ(textOf(out), textOf(before)) << label << ": the buffer must be left as it was";
}

TEST(XmlWriter, RefusesWhatCouldNotBeReadBack) {
    const auto none = [](XmlWriter&) {};
    const auto open = [](XmlWriter& w) { w.startElement("a"); };
    for (const char* name :
         {"", "1a", "-a", "a b", "a>", "a\x01", "\xFF", "\xC0\xAF", "a\xEF\xBF\xBF"}) {
        expectRefused(
            none, [&](XmlWriter& w) { w.startElement(name); }, name);
        expectRefused(
            open, [&](XmlWriter& w) { w.attribute(name, "v"); }, name);
    }
    for (const char* value :
         {"\x01", "a\x0B", "\x0C", "x\x1F", "\xFF\xFE", "\xC0\xAF", "\xED\xA0\x80",
          "\xF4\x90\x80\x80", "\xEF\xBF\xBE", "\xEF\xBF\xBF", "\xE4\xB8"}) {
        expectRefused(
            open, [&](XmlWriter& w) { w.attribute("v", value); }, value);
    }
    expectRefused(
        none, [](XmlWriter& w) { w.attribute("v", std::string("\0", 1)); }, "no element");
    expectRefused(
        open, [](XmlWriter& w) { w.attribute("v", std::string("a\0b", 3)); }, "NUL");
    expectRefused(
        none, [](XmlWriter& w) { w.endElement(); }, "nothing open");
    expectRefused(
        [](XmlWriter& w) {
            w.startElement("a");
            w.endElement();
        },
        [](XmlWriter& w) { w.startElement("b"); }, "second root");
    expectRefused(
        [](XmlWriter& w) {
            w.startElement("a");
            w.startElement("b");
            w.endElement();
        },
        [](XmlWriter& w) { w.attribute("late", "1"); }, "attribute after a child");
    expectRefused(
        [](XmlWriter& w) {
            w.startElement("a");
            w.attribute("x", "1");
        },
        [](XmlWriter& w) { w.attribute("x", "2"); }, "duplicate attribute");
}

TEST(XmlWriter, ErrorNamesTheAttributeAndTheCharacter) {
    SecureBytes out;
    XmlWriter w(out);
    w.startElement("item");
    try {
        w.attribute("Detail",
                    "page\x0C"
                    "break");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "The value of the attribute \"Detail\" holds the character U+000C, which XML "
                     "cannot carry.");
    }
    try {
        w.attribute("Title", "\xFF");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "The value of the attribute \"Title\" holds bytes that are not UTF-8.");
    }
}

TEST(XmlWriter, DuplicateAttributesBeyondTheLinearLimit) {
    SecureBytes out;
    XmlWriter w(out);
    w.startElement("passtypes");
    for (int i = 0; i < 1000; ++i) w.attribute("type" + std::to_string(i), "t");
    EXPECT_THROW(w.attribute("type500", "again"), Error);
    EXPECT_THROW(w.attribute("type0", "again"), Error);
    w.attribute("type1000", "t");
    w.endElement();
    std::string doc = textOf(out);
    XmlReader reader(doc.data(), doc.size());
    ASSERT_EQ(reader.next(), XmlReader::Token::StartElement);
    EXPECT_EQ(reader.attributes().size(), 1001u);
}

TEST(XmlWriter, ElementsKeepTheirOrderAndNesting) {
    const Node tree{"r", {}, {{"a", {{"k", "1"}}, {{"b", {}, {}}}}, {"c", {}, {}}, {"a", {}, {}}}};
    EXPECT_EQ(readerTrace(written(tree)), "<r><a k=[1]><b></b></a><c></c><a></a></r>");
}

TEST(XmlWriter, TextIsEscapedAndReadsBackByteForByte) {
    const std::string text = "x&<>]]>\r\n\ty \xC3\xA9";
    SecureBytes out;
    XmlWriter w(out);
    w.startElement("a");
    w.text("");  // nothing, so the element stays empty until real content comes
    w.text(text);
    w.startElement("b");
    w.endElement();
    w.endElement();
    EXPECT_EQ(textOf(out), "<a>x&amp;&lt;&gt;]]&gt;&#13;\n\ty \xC3\xA9<b/></a>");
    EXPECT_EQ(readerTrace(textOf(out)), "<a>[" + text + "]<b></b></a>");

    SecureBytes empty;
    XmlWriter e(empty);
    e.startElement("a");
    e.text("");
    e.endElement();
    EXPECT_EQ(textOf(empty), "<a/>");
}

TEST(XmlWriter, RefusesTextItCouldNotReadBack) {
    const auto open = [](XmlWriter& w) { w.startElement("a"); };
    for (const char* text : {"\x01", "a\x0B", "\xFF", "\xED\xA0\x80", "\xEF\xBF\xBF"})
        expectRefused(
            open, [&](XmlWriter& w) { w.text(text); }, text);
    expectRefused(
        open, [](XmlWriter& w) { w.text(std::string("a\0b", 3)); }, "NUL");
    expectRefused([](XmlWriter&) {}, [](XmlWriter& w) { w.text("t"); }, "no element");
    expectRefused(
        [](XmlWriter& w) {
            w.startElement("a");
            w.endElement();
        },
        [](XmlWriter& w) { w.text("t"); }, "after the root");
    expectRefused(
        [](XmlWriter& w) {
            w.startElement("a");
            w.text("t");
        },
        [](XmlWriter& w) { w.attribute("late", "1"); }, "attribute after text");
}

}  // namespace
}  // namespace vorkel
