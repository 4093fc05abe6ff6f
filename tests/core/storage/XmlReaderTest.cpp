#include "core/storage/XmlReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/storage/XmlDocument.h"
#include "core/storage/XmlError.h"
#include "core/storage/XmlTrace.h"

namespace vorkel {
namespace {

using test::bytesOf;
using test::readerTrace;

struct Case {
    const char* label;
    std::string bytes;
};

// Documents a conforming parser refuses. The first group is what a lenient parser accepts.
const std::vector<Case>& rejected() {
    using namespace std::string_literals;
    static const std::vector<Case> cases = {
        {"text after the root", "<a/>junk"},
        {"second root", "<a/><b/>"},
        {"second root after white space", "<a/>\n<a/>"},
        {"duplicate attribute", "<a x='1' x='2'/>"},
        {"duplicate attribute, other quotes and blanks", "<a x='1' y='0' x = \"2\"/>"},
        {"control character in text", "<a>\x01</a>"},
        {"control character in attribute", "<a x='\x01'/>"},
        {"control character in comment", "<a><!-- \x01 --></a>"},
        {"control character in processing instruction", "<a><?pi \x1F?></a>"},
        {"NUL in text", "<a>\0</a>"s},
        {"FF FE in content", "<a>\xFF\xFE</a>"},
        {"unclosed element", "<a>"},
        {"unclosed element after text", "<a>text"},
        {"unclosed nested element", "<a><b></b>"},
        {"mismatched end tag", "<a><b></a></b>"},
        {"end tag without start", "</a>"},
        {"empty buffer", ""},
        {"only white space", "   "},
        {"only a byte order mark", "\xEF\xBB\xBF"},
        {"only a comment", "<!-- nothing -->"},
        {"only a processing instruction", "<?pi data?>"},
        {"only a declaration", "<?xml version=\"1.0\"?>"},
        {"unquoted attribute value", "<a x=1/>"},
        {"\"<\" in attribute value", "<a x=\"<\"/>"},
        {"undefined entity", "<a>&undefined;</a>"},
        {"undefined entity in attribute", "<a x='&nbsp;'/>"},
        {"reference to NUL", "<a>&#0;</a>"},
        {"reference to a surrogate", "<a>&#xD800;</a>"},
        {"reference to U+FFFE", "<a x='&#xFFFE;'/>"},
        {"reference above U+10FFFF", "<a>&#x110000;</a>"},
        {"reference that overflows", "<a>&#99999999999999999999;</a>"},
        {"reference with upper-case X", "<a>&#X41;</a>"},
        {"reference without digits", "<a>&#;</a>"},
        {"hex reference without digits", "<a>&#x;</a>"},
        {"decimal reference with hex digits", "<a>&#1F;</a>"},
        {"reference without semicolon", "<a>&amp</a>"},
        {"bare ampersand", "<a>fish & chips</a>"},
        {"bare ampersand in attribute", "<a x='&'/>"},
        {"overlong UTF-8 C0 AF", "<a>\xC0\xAF</a>"},
        {"overlong UTF-8 E0 80 AF", "<a>\xE0\x80\xAF</a>"},
        {"encoded surrogate ED A0 80", "<a>\xED\xA0\x80</a>"},
        {"above U+10FFFF F4 90 80 80", "<a>\xF4\x90\x80\x80</a>"},
        {"F5 lead byte", "<a>\xF5\x80\x80\x80</a>"},
        {"stray continuation byte", "<a x='\x80'/>"},
        {"truncated sequence at the end of a value", "<a x='\xE4\xB8'/>"},
        {"literal U+FFFE", "<a>\xEF\xBF\xBE</a>"},
        {"literal U+FFFF in a name", "<a\xEF\xBF\xBF/>"},
        {"DOCTYPE", "<!DOCTYPE a><a/>"},
        {"DOCTYPE with internal subset", "<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>"},
        {"markup declaration", "<!ELEMENT a ANY><a/>"},
        {"DOCTYPE inside the root", "<a><!DOCTYPE a></a>"},
        {"declaration after white space", " <?xml version=\"1.0\"?><a/>"},
        {"declaration after the root", "<a/><?xml version=\"1.0\"?>"},
        {"declaration inside the root", "<a><?xml version=\"1.0\"?></a>"},
        {"mixed-case xml target", "<?XmL version='1.0'?><a/>"},
        {"upper-case xml target after the root", "<a/><?XML x?>"},
        {"declaration without version", "<?xml encoding='UTF-8'?><a/>"},
        {"declaration with version 2.0", "<?xml version='2.0'?><a/>"},
        {"declaration with other encoding", "<?xml version='1.0' encoding='ISO-8859-1'?><a/>"},
        {"declaration with bad standalone", "<?xml version='1.0' standalone='maybe'?><a/>"},
        {"declaration out of order", "<?xml version='1.0' standalone='yes' encoding='UTF-8'?><a/>"},
        {"declaration without blank between", "<?xml version='1.0'encoding='UTF-8'?><a/>"},
        {"declaration unclosed", "<?xml version='1.0'<a/>"},
        {"\"]]>\" in text", "<a>]]></a>"},
        {"\"--\" in comment", "<a><!-- a -- b --></a>"},
        {"comment ending in \"--->\"", "<a><!-- a ---></a>"},
        {"unclosed comment", "<a><!-- x</a>"},
        {"unclosed CDATA", "<a><![CDATA[x</a>"},
        {"CDATA outside the root", "<a/><![CDATA[x]]>"},
        {"unclosed processing instruction", "<a><?pi x</a>"},
        {"processing instruction without blank", "<a><?pi|x?></a>"},
        {"attributes without blank between", "<a x='1'y='2'/>"},
        {"attribute without value", "<a x/>"},
        {"attribute without name", "<a ='1'/>"},
        {"unterminated attribute value", "<a x='1/>"},
        {"truncated tag", "<a x='1'"},
        {"blank after \"<\"", "< a/>"},
        {"blank after \"</\"", "<a></ a>"},
        {"blank inside \"/>\"", "<a/ >"},
        {"name starting with a digit", "<1a/>"},
        {"name starting with \"-\"", "<-a/>"},
        {"name starting with U+00B7",
         "<\xC2\xB7"
         "a/>"},
        {"name with U+200B", "<a\xE2\x80\x8B/>"},
        {"control character in a name", "<a \x01='1'/>"},
        {"text before the root", "text<a/>"},
        {"reference after the root", "<a/>&amp;"},
        {"text after the root end tag", "<a></a>text"},
        {"end tag after the root", "<a/></a>"},
        {"\"<!\" alone", "<a><!x></a>"},
        {"lone \"<\" at the end", "<a></a><"},
    };
    return cases;
}

TEST(XmlReader, RejectsEveryNonConformingDocument) {
    for (const Case& c : rejected()) {
        EXPECT_THROW(readerTrace(c.bytes), XmlError) << c.label;
        EXPECT_THROW(XmlDocument::LoadFromBuffer(bytesOf(c.bytes)), XmlError) << c.label;
    }
}

std::string reasonOf(const std::string& bytes) {
    try {
        readerTrace(bytes);
    } catch (const XmlError& e) {
        return std::to_string(e.offset()) + ": " + e.reason();
    }
    return "accepted";
}

TEST(XmlReader, ReasonsNameTheFaultAndWhereItIs) {
    EXPECT_EQ(reasonOf(""), "0: the document is empty");
    EXPECT_EQ(reasonOf("  "), "2: the document has no root element");
    EXPECT_EQ(reasonOf("<a x='1' x='2'/>"), "9: an attribute appears twice in one tag");
    EXPECT_EQ(reasonOf("<!DOCTYPE a><a/>"), "0: a document type declaration is not supported");
    EXPECT_EQ(reasonOf("<a><b></a>"), "6: an end tag does not match its start tag");
    EXPECT_EQ(reasonOf("<a>"), "3: an element is not closed");
    EXPECT_EQ(reasonOf("<a>\x01</a>"), "3: a character that is not allowed here");
    EXPECT_EQ(reasonOf("<a>\xFF\xFE</a>"), "3: invalid UTF-8");
    EXPECT_EQ(reasonOf("<a>&foo;</a>"), "3: a reference to an entity that is not defined");
    EXPECT_EQ(reasonOf("<a/><b/>"), "4: a document has only one root element");
    EXPECT_EQ(reasonOf("<?xml version='1.0' encoding='latin1'?><a/>"),
              "30: the declared encoding is not supported");
    EXPECT_EQ(reasonOf("\xEF\xBB\xBF<a>"), "6: an element is not closed");
    EXPECT_EQ(reasonOf("<?xml?><a/>"), "0: a malformed XML declaration");
    EXPECT_EQ(reasonOf("<a/> <?xml version='1.0'?>"),
              "5: the XML declaration is allowed only at the very start");
    EXPECT_EQ(reasonOf("<a>&#1114112;</a>"), "3: a character reference beyond U+10FFFF");
    EXPECT_EQ(reasonOf("<a>x&#xB;</a>"),
              "4: a character reference to a character that is not allowed");
}

// A document's text may be a password: no reason quotes any of it, only says where and what.
TEST(XmlReader, ReasonsNeverQuoteTheDocument) {
    const std::string secret = "Hunter2Password";
    const std::vector<std::string> documents = {
        "<a>&" + secret + ";</a>",
        "<a " + secret + "='1' " + secret + "='2'/>",
        "<a " + secret + "/>",
        "<a " + secret + "=1/>",
        "<" + secret + ">",
        "<" + secret + "></b>",
        "<a></" + secret + ">",
        "<a/></" + secret + ">",
        "<" + secret,
        "<?xml version='1.0' encoding='" + secret + "'?><a/>",
        "<a>&#x" + secret + ";</a>",
        "<a x='&" + secret + ";'/>",
    };
    for (const std::string& document : documents) {
        const std::string reason = reasonOf(document);
        EXPECT_NE(reason, "accepted") << document;
        EXPECT_EQ(reason.find("Hunter"), std::string::npos) << reason;
        try {
            XmlDocument::LoadFromBuffer(bytesOf(document));
            ADD_FAILURE() << document;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).find("Hunter"), std::string::npos) << e.what();
        }
    }
}

TEST(XmlReader, ErrorTextCarriesOffsetAndReason) {
    try {
        readerTrace("<a>");
        FAIL() << "accepted";
    } catch (const XmlError& e) {
        EXPECT_STREQ(e.what(),
                     "The document is not well-formed XML (byte 3: an element is not closed).");
    }
}

struct Accepted {
    const char* label;
    std::string bytes;
    std::string trace;
};

TEST(XmlReader, AcceptsWellFormedDocuments) {
    const std::vector<Accepted> cases = {
        {"empty element", "<a/>", "<a></a>"},
        {"blank before \"/>\" and \">\"", "<a x='1' /><!---->", "<a x=[1]></a>"},
        {"blank in end tag", "<a></a >", "<a></a>"},
        {"declaration", "<?xml version=\"1.0\"?><a/>", "<a></a>"},
        {"full declaration", "<?xml version='1.0' encoding='utf-8' standalone='no' ?>\n<a/>",
         "<a></a>"},
        {"declaration 1.1", "<?xml version = \"1.1\" encoding = \"UTF-8\"?><a/>", "<a></a>"},
        {"standalone without encoding", "<?xml version='1.0' standalone='yes'?><a/>", "<a></a>"},
        {"byte order mark", "\xEF\xBB\xBF<a/>", "<a></a>"},
        {"comments and PIs around the root",
         "<!-- c --><?pi data?>\n<a/><!-- after -->\r\n<?pi?><?xml-stylesheet href='x'?> ",
         "<a></a>"},
        {"comment with single dashes", "<a><!-- a-b -c- - --></a>", "<a></a>"},
        {"CDATA", "<a><![CDATA[<x>&amp;]]]></a>", "<a>[<x>&amp;]]</a>"},
        {"empty CDATA", "<a><![CDATA[]]></a>", "<a>[]</a>"},
        {"references in text", "<a>&lt;&gt;&amp;&apos;&quot;&#65;&#x42;&#x10FFFF;&#x1F600;</a>",
         "<a>[<>&'\"AB\xF4\x8F\xBF\xBF\xF0\x9F\x98\x80]</a>"},
        {"references in attribute", "<a x='&lt;&gt;&amp;&apos;&quot;&#233;'/>",
         "<a x=[<>&'\"\xC3\xA9]></a>"},
        {"other quote inside value", "<a x=\"it's\" y='say \"hi\"'/>",
         "<a x=[it's] y=[say \"hi\"]></a>"},
        {"\">\" and \"]]>\" in attribute", "<a x='a>b]]>'/>", "<a x=[a>b]]>]></a>"},
        {"\"]]\" and \"]>\" in text", "<a>]] ]></a>", "<a>[]] ]>]</a>"},
        {"non-ASCII names and values", "<\xC3\xA9\xE4\xB8\xAD \xC3\xB1='\xC3\xBC'/>",
         "<\xC3\xA9\xE4\xB8\xAD \xC3\xB1=[\xC3\xBC]></\xC3\xA9\xE4\xB8\xAD>"},
        {"name characters",
         "<_a.b-c:d\xC2\xB7"
         "e x1='1'/>",
         "<_a.b-c:d\xC2\xB7"
         "e x1=[1]></_a.b-c:d\xC2\xB7"
         "e>"},
        {"DEL and C1 controls are characters", "<a>\x7F\xC2\x85</a>", "<a>[\x7F\xC2\x85]</a>"},
        {"blanks around \"=\"", "<a\n x\n =\n '1'\n/>", "<a x=[1]></a>"},
        {"text split by a comment", "<a>x<!-- c -->y</a>", "<a>[x][y]</a>"},
        {"white space kept as text", "<a>\n  <b/>\n</a>", "<a>[\n  ]<b></b>[\n]</a>"},
        {"nested", "<a><b><c/></b></a>", "<a><b><c></c></b></a>"},
    };
    for (const Accepted& c : cases) {
        std::string trace;
        EXPECT_NO_THROW(trace = readerTrace(c.bytes)) << c.label;
        EXPECT_EQ(trace, c.trace) << c.label;
        EXPECT_NO_THROW(XmlDocument::LoadFromBuffer(bytesOf(c.bytes))) << c.label;
    }
}

TEST(XmlReader, LineEndsInTextBecomeLf) {
    EXPECT_EQ(readerTrace("<a>1\r\n2\r3\n4\n\r5</a>"), "<a>[1\n2\n3\n4\n\n5]</a>");
    EXPECT_EQ(readerTrace("<a><![CDATA[1\r\n2\r3]]></a>"), "<a>[1\n2\n3]</a>");
    EXPECT_EQ(readerTrace("<a>&#13;&#10;</a>"), "<a>[\r\n]</a>");
}

TEST(XmlReader, AttributeValuesAreNormalisedButReferencesKept) {
    // A literal CR LF is one line end and so one blank.
    EXPECT_EQ(readerTrace("<a x='1\r\n2\r3\n4\t5\n\r6'/>"), "<a x=[1 2 3 4 5  6]></a>");
    EXPECT_EQ(readerTrace("<a x='&#13;&#10;&#9;&#xD;&#xA;'/>"), "<a x=[\r\n\t\r\n]></a>");
    EXPECT_EQ(readerTrace("<a x='' y=\"\"/>"), "<a x=[] y=[]></a>");
}

TEST(XmlReader, SpecialBytesAtEveryPositionOfALongValue) {
    // Long runs are scanned many bytes at a time; a stop byte must be found wherever it falls.
    const std::string filler(40, 'v');
    for (std::size_t pos = 0; pos <= filler.size(); ++pos) {
        const std::string head = filler.substr(0, pos), tail = filler.substr(pos);
        const auto value = [&](const std::string& middle) {
            return readerTrace("<a x='" + head + middle + tail + "'/>");
        };
        const auto expected = [&](const std::string& middle) {
            return "<a x=[" + head + middle + tail + "]></a>";
        };
        EXPECT_EQ(value("&amp;"), expected("&")) << pos;
        EXPECT_EQ(value("\""), expected("\"")) << pos;
        EXPECT_EQ(value("\t"), expected(" ")) << pos;
        EXPECT_EQ(value("\r\n"), expected(" ")) << pos;
        EXPECT_EQ(value("\xC3\xA9"), expected("\xC3\xA9")) << pos;
        EXPECT_EQ(value(""), expected("")) << pos;
        for (const char* bad : {"<", "\x01", "\x1F", "\xFF", "\xC3"}) {
            const std::string where = std::to_string(6 + pos) + ": ";
            EXPECT_EQ(reasonOf("<a x='" + head + bad + tail + "'/>").substr(0, where.size()), where)
                << pos << " " << testing::PrintToString(std::string(bad));
        }
        EXPECT_THROW(readerTrace("<a x='" + head), XmlError) << pos;
    }
}

TEST(XmlReader, DecodesInPlaceAndViewsStayValid) {
    std::string doc = "<a x='&amp;&amp;1' y='2\r\n3'>&lt;t&gt;</a>";
    XmlReader reader(doc.data(), doc.size());
    ASSERT_EQ(reader.next(), XmlReader::Token::StartElement);
    const auto attrs = reader.attributes();
    ASSERT_EQ(attrs.size(), 2u);
    EXPECT_EQ(attrs[0].value, "&&1");
    EXPECT_EQ(attrs[1].value, "2 3");
    // The views point into the caller's buffer.
    EXPECT_GE(attrs[0].value.data(), doc.data());
    EXPECT_LT(attrs[0].value.data(), doc.data() + doc.size());
    ASSERT_EQ(reader.next(), XmlReader::Token::Text);
    EXPECT_EQ(reader.text(), "<t>");
    EXPECT_EQ(attrs.size(), 2u);
}

TEST(XmlReader, DepthCountsOpenElements) {
    std::string doc = "<a><b/>t<c><d></d></c></a>";
    XmlReader reader(doc.data(), doc.size());
    std::string seen;
    for (auto t = reader.next(); t != XmlReader::Token::EndOfDocument; t = reader.next()) {
        const char* kind = t == XmlReader::Token::StartElement ? "+"
                           : t == XmlReader::Token::EndElement ? "-"
                                                               : "t";
        seen += kind + std::string(reader.name()) + std::to_string(reader.depth()) + " ";
    }
    EXPECT_EQ(seen, "+a1 +b2 -b2 t1 +c2 +d3 -d3 -c2 -a1 ");
    EXPECT_EQ(reader.depth(), 0u);
    EXPECT_EQ(reader.next(), XmlReader::Token::EndOfDocument);  // and it stays there
}

TEST(XmlReader, EmptyRootElementEndsTheDocument) {
    std::string doc = "<a x='1'/>";
    XmlReader reader(doc.data(), doc.size());
    EXPECT_EQ(reader.next(), XmlReader::Token::StartElement);
    EXPECT_EQ(reader.next(), XmlReader::Token::EndElement);
    EXPECT_EQ(reader.name(), "a");
    EXPECT_TRUE(reader.attributes().empty());
    EXPECT_EQ(reader.next(), XmlReader::Token::EndOfDocument);
}

TEST(XmlReader, HundredThousandNestedElementsAreAccepted) {
    // The reader keeps open elements on a vector, not the call stack, so depth is no risk.
    constexpr std::size_t kDepth = 100000;
    std::string doc;
    for (std::size_t i = 0; i < kDepth; ++i) doc += "<e>";
    for (std::size_t i = 0; i < kDepth; ++i) doc += "</e>";
    XmlReader reader(doc.data(), doc.size());
    std::size_t maxDepth = 0, ends = 0;
    for (auto t = reader.next(); t != XmlReader::Token::EndOfDocument; t = reader.next()) {
        maxDepth = std::max(maxDepth, reader.depth());
        if (t == XmlReader::Token::EndElement) ++ends;
    }
    EXPECT_EQ(maxDepth, kDepth);
    EXPECT_EQ(ends, kDepth);

    doc.pop_back();  // one end tag cut short
    EXPECT_THROW(readerTrace(doc), XmlError);
}

std::string manyAttributes(std::size_t count, bool duplicateLast) {
    std::string doc = "<a";
    for (std::size_t i = 0; i < count; ++i) doc += " n" + std::to_string(i) + "='v'";
    if (duplicateLast) doc += " n" + std::to_string(count / 2) + "='again'";
    return doc + "/>";
}

TEST(XmlReader, DuplicateCheckStaysLinearForHugeAttributeCounts) {
    // Quadratic checking would take minutes here.
    constexpr std::size_t kCount = 200000;
    std::string doc = manyAttributes(kCount, false);
    XmlReader reader(doc.data(), doc.size());
    ASSERT_EQ(reader.next(), XmlReader::Token::StartElement);
    EXPECT_EQ(reader.attributes().size(), kCount);
    EXPECT_EQ(reader.attributes()[kCount - 1].name, "n199999");
    EXPECT_THROW(readerTrace(manyAttributes(kCount, true)), XmlError);
}

TEST(XmlReader, DuplicateCheckAroundTheLinearLimit) {
    for (std::size_t count = 1; count < 40; ++count) {
        EXPECT_NO_THROW(readerTrace(manyAttributes(count, false))) << count;
        EXPECT_THROW(readerTrace(manyAttributes(count, true)), XmlError) << count;
    }
    // A big element followed by small ones: the table must be forgotten between elements.
    std::string doc = "<r>" + manyAttributes(100, false);
    for (int i = 0; i < 50; ++i) doc += manyAttributes(17, false) + "<b n1='1' n2='2'/>";
    doc += "</r>";
    EXPECT_NO_THROW(readerTrace(doc));
}

}  // namespace
}  // namespace vorkel
