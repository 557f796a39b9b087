// The text form of a form file to the binary stream the VCL reads.
#include "host/vcl/ObjectText.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <string_view>

using namespace std::string_literals;

namespace {

std::string Binary(const std::string& text)
{
    auto bytes = ObjectTextToBinary(text);
    return std::string(bytes.begin(), bytes.end());
}

// A short string: its length byte, then its characters.
std::string S(std::string_view s) { return char(s.size()) + std::string(s); }

// The bytes of X's value in "object A: TA  X = <value>  end".
std::string ValueBytes(const std::string& value)
{
    std::string bytes = Binary("object A: TA\n  X = " + value + "\nend\n");
    const std::string head = "TPF0" + S("TA") + S("A") + S("X");
    EXPECT_TRUE(bytes.starts_with(head) && bytes.ends_with("\0\0"s)) << value;
    return bytes.substr(head.size(), bytes.size() - head.size() - 2);
}

// Catches any difference from the bytes the VCL writes for the hosting
// frame: short strings, the smallest integer kinds (320 is vaInt16), idents,
// the empty set, False, and the two list ends.
TEST(ObjectTextToBinary, TalvixFrameGivesTheVclBytes)
{
    const std::string expected =
        "TPF0\x0CTTalvixFrame\x0BTalvixFrame" + S("Left") + "\x02\x00"s + S("Top") + "\x02\x00"s + S("Width") +
        "\x03\x40\x01" + S("Height") + "\x03\xF0\x00"s + S("Font.Charset") + '\x07' + S("DEFAULT_CHARSET") +
        S("Font.Color") + '\x07' + S("clWindowText") + S("Font.Height") + "\x02\xF5" + S("Font.Name") + '\x06' +
        S("Tahoma") + S("Font.Style") + "\x0B\x00"s + S("ParentFont") + '\x08' + S("TabOrder") + "\x02\x00\x00\x00"s;
    EXPECT_EQ(Binary(tvx::test::ReadSourceFile("windows/TalvixFrame.dfm")), expected);
}

// Catches wrong value types, lengths, byte order or escapes.
TEST(ObjectTextToBinary, ValueEncodings)
{
    const struct {
        std::string text;
        std::string bytes;
    } cases[] = {
        {"127", "\x02\x7F"s},
        {"-128", "\x02\x80"s},
        {"128", "\x03\x80\x00"s},
        {"-32769", "\x04\xFF\x7F\xFF\xFF"s},
        {"$FFFFFFFF", "\x02\xFF"s},
        {"'It''s'#13#10", "\x06\x06It's\r\n"s},
        {"'ab' +\n    'cd'", '\x06' + S("abcd")},
        {"'\xD0\x9F\xD1\x80\xD0\xB8'", "\x12\x03\x00\x00\x00\x1F\x04\x40\x04\x38\x04"s},
        {"True", "\x09"s},
        {"nil", "\x0D"s},
        {"Form1.Button1", '\x07' + S("Form1.Button1")},
        {"[fsBold, fsItalic]", '\x0B' + S("fsBold") + S("fsItalic") + '\x00'},
        {"(1 'a')", "\x01\x02\x01\x06"s + S("a") + '\x00'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueBytes(c.text), c.bytes) << c.text;
    // ASCII beyond a short string's 255 characters goes out wide.
    std::string wide = ValueBytes("'" + std::string(300, 'x') + "'");
    EXPECT_EQ(wide.substr(0, 5), "\x12\x2C\x01\x00\x00"s);
    EXPECT_EQ(wide.size(), 5u + 600u);
}

// Catches objects without their flags prefix, child lists not closed, or a
// name written for an unnamed object.
TEST(ObjectTextToBinary, InheritedAndChildObjects)
{
    EXPECT_EQ(Binary("inherited B: TB [2]\n  object C: TC\n  end\nEND"),
              "TPF0\xF3\x02\x02"s + S("TB") + S("B") + '\x00' + S("TC") + S("C") + "\x00\x00\x00"s);
    EXPECT_EQ(Binary("\xEF\xBB\xBFobject TD\nend"), "TPF0\x02TD\x00\x00\x00"s);
}

// Catches a fault reported without its line, or text accepted that the
// stream cannot carry.
TEST(ObjectTextToBinary, FaultsNameTheLine)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"objekt A: TA\nend", "Line 1: 'object' expected"},
        {"object A: TA\n  X 5\nend", "Line 2: '=' expected"},
        {"object A: TA\n  X = 'abc\nend", "Line 2: Unterminated string"},
        {"object A: TA\n\n  X = 1.5\nend", "Line 3: Floating-point values are not supported"},
        {"object A: TA\n  X = 4294967296\nend", "Line 2: Integer out of range"},
        {"object A: TA\n  X = #65536\nend", "Line 2: Invalid string constant"},
        {"object A: TA\n  X = 'a\xFF'\nend", "Line 2: Invalid UTF-8 in string"},
        {"object A: TA\n  X = {00}\nend", "Line 2: Binary values are not supported"},
        {"object A: TA\n  X = 1\n", "Line 3: 'end' expected"},
        {"object A: TA\nend\nend", "Line 3: Text after the end of the object"},
    };
    for (const auto& c : cases) {
        try {
            ObjectTextToBinary(c.text);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const tvx::ObjectTextError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

} // namespace
