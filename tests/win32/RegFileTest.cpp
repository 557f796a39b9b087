// .reg import and export against what regedit reads and writes.
#include "tests/support/TestSupport.h"

#include "host/win32/RegFile.h"
#include "host/win32/RegistryEmulation.h"
#include "host/win32/UniqueHandle.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include <unistd.h>

namespace {

using tvx::UniqueHKey;
using namespace tvx::win32;

class RegFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRegistry(); }

    static std::vector<BYTE> Read(HKEY root, const char16_t* path, const char16_t* name, DWORD* type = nullptr)
    {
        std::vector<BYTE> data(4096);
        UniqueHKey key;
        EXPECT_EQ(RegOpenKeyExW(root, path, 0, KEY_READ, key.put()), ERROR_SUCCESS);
        DWORD size = DWORD(data.size());
        EXPECT_EQ(RegQueryValueExW(key.get(), name, nullptr, type, data.data(), &size), ERROR_SUCCESS);
        data.resize(size);
        return data;
    }

    static bool Exists(HKEY root, const char16_t* path)
    {
        UniqueHKey key;
        return RegOpenKeyExW(root, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }

    static std::vector<BYTE> Utf16(std::u16string_view text)
    {
        std::vector<BYTE> bytes;
        for (char16_t c : text) {
            bytes.push_back(BYTE(c & 0xFF));
            bytes.push_back(BYTE(c >> 8));
        }
        return bytes;
    }

    // Every key, value type and value byte below root\path, through the Win32 API only.
    static std::string Dump(HKEY root, const char16_t* path)
    {
        UniqueHKey key;
        if (RegOpenKeyExW(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
            return "<missing>";
        std::ostringstream out;
        DumpKey(key.get(), tvx::Utf16ToUtf8(path), out);
        return out.str();
    }

    static void DumpKey(HKEY key, const std::string& path, std::ostringstream& out)
    {
        out << "[" << path << "]\n";
        for (DWORD i = 0;; ++i) {
            char16_t name[256];
            DWORD count = 256, type = 0, size = 4096;
            std::vector<BYTE> data(size);
            if (RegEnumValueW(key, i, name, &count, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
                break;
            out << tvx::Utf16ToUtf8(std::u16string_view(name, count)) << " type " << type << ":";
            for (DWORD b = 0; b < size; ++b)
                out << ' ' << int(data[b]);
            out << "\n";
        }
        for (DWORD i = 0;; ++i) {
            char16_t name[256];
            DWORD count = 256;
            if (RegEnumKeyExW(key, i, name, &count, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            UniqueHKey sub;
            ASSERT_EQ(RegOpenKeyExW(key, name, 0, KEY_READ, sub.put()), ERROR_SUCCESS);
            DumpKey(sub.get(), path + "\\" + tvx::Utf16ToUtf8(std::u16string_view(name, count)), out);
        }
    }

    static std::string FileBytes(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    static std::filesystem::path TempFile(const char* name)
    {
        auto dir = std::filesystem::temp_directory_path() / ("tvx-regfile-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        return dir / name;
    }
};

// Catches misread value syntax: every data form regedit writes, with escapes, comments and continuations.
TEST_F(RegFileTest, ImportsEveryValueForm)
{
    auto result = ImportRegText(std::u16string_view(u"Windows Registry Editor Version 5.00\r\n"
                                                    u"\r\n"
                                                    u"; a comment\r\n"
                                                    u"[HKEY_CURRENT_USER\\Software\\Talvix]\r\n"
                                                    u"@=\"default\"\r\n"
                                                    u"\"Path\"=\"C:\\\\Talvix \\\"quoted\\\"\"\r\n"
                                                    u"\"Count\"=dword:0000000a\r\n"
                                                    u"\"Bin\"=hex:01,02,\\\r\n"
                                                    u"    03,ff\r\n"
                                                    u"\"Expand\"=hex(2):25,00,41,00,00,00\r\n"
                                                    u"\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
                                                    u"\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                                                    u"\"None\"=hex(0):\r\n"
                                                    u"\n"
                                                    u"[HKCU\\Software\\Talvix\\Sub]\n"));
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    struct Expect {
        const char16_t* name;
        DWORD type;
        std::vector<BYTE> data;
    } expected[] = {
        {u"", REG_SZ, Utf16(std::u16string_view(u"default", 8))},
        {u"Path", REG_SZ, Utf16(std::u16string_view(u"C:\\Talvix \"quoted\"", 19))},
        {u"Count", REG_DWORD, {10, 0, 0, 0}},
        {u"Bin", REG_BINARY, {1, 2, 3, 0xFF}},
        {u"Expand", REG_EXPAND_SZ, {0x25, 0, 0x41, 0, 0, 0}},
        {u"Multi", REG_MULTI_SZ, {0x61, 0, 0, 0, 0, 0}},
        {u"Q", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
        {u"None", REG_NONE, {}},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(e.name));
        DWORD type = 0;
        EXPECT_EQ(Read(HKEY_CURRENT_USER, u"Software\\Talvix", e.name, &type), e.data);
        EXPECT_EQ(type, e.type);
    }
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, u"Software\\Talvix\\Sub"));
}

// Catches deletion lines being ignored or deleting too much.
TEST_F(RegFileTest, DeletesKeysAndValues)
{
    ASSERT_TRUE(ImportRegText("REGEDIT4\n[HKEY_CURRENT_USER\\A\\B]\n\"keep\"=\"1\"\n\"drop\"=\"2\"\n"
                              "[HKEY_CURRENT_USER\\C]\n")
                    .ok);
    auto result = ImportRegText("REGEDIT4\n[-HKEY_CURRENT_USER\\C]\n[HKEY_CURRENT_USER\\A\\B]\n"
                                "\"drop\"=-\n\"absent\"=-\n");
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, u"C"));
    EXPECT_EQ(Dump(HKEY_CURRENT_USER, u"A"), "[A]\n[A\\B]\nkeep type 1: 49 0 0 0\n");
}

// Catches hex(2)/hex(7) read as UTF-16 in REGEDIT4 files, where regedit wrote them as ANSI bytes.
TEST_F(RegFileTest, Regedit4HexStringsAreAnsiBytes)
{
    ASSERT_TRUE(ImportRegText("REGEDIT4\n[HKEY_CURRENT_USER\\Four]\n\"e\"=hex(2):25,41,80,00\n").ok);
    ASSERT_TRUE(ImportRegText("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Five]\n"
                              "\"e\"=hex(2):25,41,80,00\n")
                    .ok);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, u"Four", u"e"), Utf16(std::u16string_view(u"%A\u20AC", 4)));
    EXPECT_EQ(Read(HKEY_CURRENT_USER, u"Five", u"e"), (std::vector<BYTE>{0x25, 0x41, 0x80, 0x00}));
}

// Catches wrong decoding of the encodings regedit and editors write: UTF-16 LE BOM, UTF-8 BOM, ANSI.
TEST_F(RegFileTest, DecodesEachFileEncoding)
{
    std::string utf16 = "\xFF\xFE";
    std::u16string_view text(u"Windows Registry Editor Version 5.00\r\n"
                             u"[HKEY_CURRENT_USER\\E]\r\n\"v\"=\"\u00e9\u20ac\"\r\n");
    for (char16_t c : text)
        utf16 += {char(c & 0xFF), char(c >> 8)};
    struct Case {
        const char* label;
        std::string bytes;
    } cases[] = {
        {"utf-16 le with bom", utf16},
        {"utf-8 with bom", "\xEF\xBB\xBFREGEDIT4\n[HKEY_CURRENT_USER\\E]\n\"v\"=\"\xC3\xA9\xE2\x82\xAC\"\n"},
        {"ansi", "REGEDIT4\r\n[HKEY_CURRENT_USER\\E]\r\n\"v\"=\"\xE9\x80\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ResetRegistry();
        auto result = ImportRegText(std::string_view(c.bytes));
        ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
        EXPECT_EQ(Read(HKEY_CURRENT_USER, u"E", u"v"), Utf16(std::u16string_view(u"\u00e9\u20ac", 3)));
    }
}

// Catches ANSI text taken for UTF-8 because its bytes merely look like it (an
// overlong form, a surrogate, a code point past U+10FFFF): decoded as UTF-8
// every such character turned into U+FFFD.
TEST_F(RegFileTest, AnsiThatOnlyLooksLikeUtf8IsReadAsAnsi)
{
    struct Case {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"\xE0\x80\x80", u"\u00E0\u20AC\u20AC"},
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},
        {"\xF0\x80\x80\x80", u"\u00F0\u20AC\u20AC\u20AC"},
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        ResetRegistry();
        std::string file = "REGEDIT4\r\n[HKEY_CURRENT_USER\\E]\r\n\"v\"=\"" + c.bytes + "\"\r\n";
        auto result = ImportRegText(std::string_view(file));
        ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
        EXPECT_EQ(Read(HKEY_CURRENT_USER, u"E", u"v"), Utf16(c.text + u'\0'));
    }
}

// Catches malformed files that are half applied, or refused without the line at fault.
TEST_F(RegFileTest, MalformedFilesAreRefusedWithTheirLineAndChangeNothing)
{
    const std::string good = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Talvix]\n"
                             "\"ok\"=\"yes\"\n";
    struct Case {
        const char* label;
        std::string text;
        int line;
        const char* message;
    } cases[] = {
        {"no header", "[HKEY_CURRENT_USER\\X]\n", 1, "first line"},
        {"unknown root", good + "[HKEY_NOWHERE\\X]\n", 5, "unknown root"},
        {"no closing bracket", good + "[HKEY_CURRENT_USER\\X\n", 5, "']'"},
        {"empty name", good + "[HKEY_CURRENT_USER\\A\\\\B]\n", 5, "empty name"},
        {"bad escape", good + "\"p\"=\"C:\\Program Files\"\n", 5, "escape"},
        {"unterminated string", good + "\"p\"=\"open\n", 5, "closing quote"},
        {"three-digit byte", good + "\"b\"=hex:01,002\n", 5, "two hex digits"},
        {"missing comma", good + "\"b\"=hex:01 02\n", 5, "','"},
        {"bad continuation byte", good + "\"b\"=hex:01,\\\n  02,zz\n", 6, "unexpected character"},
        {"file ends in continuation", good + "\"b\"=hex:01,\\", 5, "ends inside"},
        {"long dword", good + "\"d\"=dword:123456789\n", 5, "eight hex digits"},
        {"unknown data", good + "\"d\"=word:1\n", 5, "unrecognised"},
        {"value before key", "REGEDIT4\n\"v\"=\"x\"\n", 2, "[key]"},
        {"delete root", good + "[-HKEY_CURRENT_USER]\n", 5, "root key"},
        {"key beside the hives", good + "[HKEY_LOCAL_MACHINE\\Talvix]\n", 5, "cannot be created"},
        {"delete system key", good + "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]\n", 5, "cannot be deleted"},
        {"stray text", good + "garbage\n", 5, "expected a [key]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        auto result = ImportRegText(std::string_view(c.text));
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.line, c.line);
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
        EXPECT_FALSE(Exists(HKEY_CURRENT_USER, u"Software\\Talvix"));
    }
}

// Catches layout drift from regedit: header, blank lines, key order, value syntax, CRLF.
TEST_F(RegFileTest, ExportWritesRegeditLayout)
{
    ASSERT_TRUE(ImportRegText("REGEDIT4\n[HKEY_CURRENT_USER\\T\\b]\n[HKEY_CURRENT_USER\\T\\A]\n\"x\"=dword:1\n"
                              "[HKEY_CURRENT_USER\\T]\n@=\"a\\\\b \\\"c\\\"\"\n\"n\"=hex(b):01,00,00,00,00,00,00,00\n")
                    .ok);
    auto exported = ExportRegText(HKEY_CURRENT_USER, u"t");
    ASSERT_TRUE(exported.ok) << exported.message;
    EXPECT_EQ(tvx::Utf16ToUtf8(exported.text), "Windows Registry Editor Version 5.00\r\n"
                                               "\r\n"
                                               "[HKEY_CURRENT_USER\\T]\r\n"
                                               "@=\"a\\\\b \\\"c\\\"\"\r\n"
                                               "\"n\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                                               "\r\n"
                                               "[HKEY_CURRENT_USER\\T\\A]\r\n"
                                               "\"x\"=dword:00000001\r\n"
                                               "\r\n"
                                               "[HKEY_CURRENT_USER\\T\\b]\r\n"
                                               "\r\n");
    EXPECT_FALSE(ExportRegText(HKEY_CURRENT_USER, u"Missing").ok);
}

// Catches hex lines wrapped at another width than regedit's 80 columns.
TEST_F(RegFileTest, ExportWrapsHexDataAtEightyColumns)
{
    UniqueHKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"W", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    std::vector<BYTE> data(60, 0xAB);
    ASSERT_EQ(RegSetValueExW(key.get(), u"Bin", 0, REG_BINARY, data.data(), DWORD(data.size())), ERROR_SUCCESS);
    std::string text = tvx::Utf16ToUtf8(ExportRegText(HKEY_CURRENT_USER, u"W").text);
    auto bytes = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += "ab,";
        return s;
    };
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.size() - 1)); // without the CR
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[3], "\"Bin\"=hex:" + bytes(23) + "\\"); // 80 columns
    EXPECT_EQ(lines[4], "  " + bytes(25) + "\\");
    EXPECT_EQ(lines[5], "  " + bytes(11) + "ab");
}

// Catches any value byte lost or changed by export then import, for every awkward shape.
TEST_F(RegFileTest, RoundTripKeepsEveryByte)
{
    UniqueHKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Round\\Sub\\Deeper", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    struct Value {
        const char16_t* name;
        DWORD type;
        std::vector<BYTE> data;
    } values[] = {
        {u"", REG_SZ, {'d', 0, 0, 0}},
        {u"odd \"sz\" \\", REG_SZ, {'a', 0, 'b'}},
        {u"no nul", REG_SZ, {'a', 0}},
        {u"inner nul", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}},
        {u"line break", REG_SZ, {'a', 0, '\n', 0, 0, 0}},
        {u"empty sz", REG_SZ, {}},
        {u"short dword", REG_DWORD, {1, 2}},
        {u"dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {u"multi", REG_MULTI_SZ, {'x', 0, 0, 0, 'y', 0, 0, 0, 0, 0}},
        {u"expand", REG_EXPAND_SZ, {'%', 0, 'P', 0, '%', 0, 0, 0}},
        {u"long", REG_BINARY, std::vector<BYTE>(300, 0x5A)},
        {u"private", 0xFFFF0001, {7}},
        {u"@", REG_NONE, {}},
    };
    for (const Value& v : values)
        ASSERT_EQ(RegSetValueExW(key.get(), v.name, 0, v.type, v.data.data(), DWORD(v.data.size())), ERROR_SUCCESS);
    std::string before = Dump(HKEY_CURRENT_USER, u"Round");
    auto exported = ExportRegText(HKEY_CURRENT_USER, u"Round");
    ASSERT_TRUE(exported.ok) << exported.message;
    key.reset();
    ResetRegistry();
    auto result = ImportRegText(std::u16string_view(exported.text));
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    EXPECT_EQ(Dump(HKEY_CURRENT_USER, u"Round"), before);
    EXPECT_EQ(ExportRegText(HKEY_CURRENT_USER, u"Round").text, exported.text);
}

// Catches a REGEDIT4 export that is not ANSI or that its own import reads differently.
TEST_F(RegFileTest, Regedit4RoundTripThroughAFile)
{
    auto path = TempFile("four.reg");
    ASSERT_TRUE(ImportRegText("REGEDIT4\n[HKEY_CURRENT_USER\\Four]\n\"v\"=\"caf\xC3\xA9\"\n"
                              "\"e\"=hex(2):25,41,00\n")
                    .ok);
    std::string before = Dump(HKEY_CURRENT_USER, u"Four");
    ASSERT_TRUE(ExportRegFile(path, HKEY_CURRENT_USER, u"Four", RegFormat::Regedit4).ok);
    std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes.rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_NE(bytes.find("\"v\"=\"caf\xE9\"\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\"e\"=hex(2):25,41,00\r\n"), std::string::npos);
    ResetRegistry();
    auto result = ImportRegFile(path);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(Dump(HKEY_CURRENT_USER, u"Four"), before);
    std::filesystem::remove_all(path.parent_path());
}

// Catches a version 5 file written without regedit's UTF-16 LE BOM, or one its own import cannot read.
TEST_F(RegFileTest, Version5FileIsUtf16WithBom)
{
    auto path = TempFile("five.reg");
    ASSERT_TRUE(ImportRegText("REGEDIT4\n[HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32]\n@=\"pkg.so\"\n").ok);
    ASSERT_TRUE(ExportRegFile(path, HKEY_CLASSES_ROOT, u"CLSID").ok);
    std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFEW\0", 4));
    std::string before = Dump(HKEY_CLASSES_ROOT, u"CLSID");
    ResetRegistry();
    auto result = ImportRegFile(path);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(Dump(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\CLSID"),
              "[SOFTWARE\\Classes\\CLSID]\n[SOFTWARE\\Classes\\CLSID\\{X}]\n"
              "[SOFTWARE\\Classes\\CLSID\\{X}\\InprocServer32]\n type 1: 112 0 107 0 103 0 46 0 115 0 111 0 0 0\n");
    EXPECT_EQ(Dump(HKEY_CLASSES_ROOT, u"CLSID"), before);
    EXPECT_FALSE(ImportRegFile(path.parent_path() / "absent.reg").ok);
    std::filesystem::remove_all(path.parent_path());
}

} // namespace
