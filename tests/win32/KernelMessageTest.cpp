// System message texts through FormatMessageW and SystemErrorMessage.
#include "host/win32/Win32.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace tvx::test;

constexpr DWORD kSystemText = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

// Catches a wrong or missing text, a missing CR LF, a wrong length, or a
// Win32-facility HRESULT not read as its Win32 code.
TEST(KernelMessageTest, SystemTextsMatchWindows)
{
    struct Case {
        HRESULT code;
        const char16_t* text;
    } const cases[] = {
        {REGDB_E_CLASSNOTREG, u"Class not registered\r\n"},
        {E_NOINTERFACE, u"No such interface supported\r\n"},
        {E_FAIL, u"Unspecified error\r\n"},
        {E_UNEXPECTED, u"Catastrophic failure\r\n"},
        {E_NOTIMPL, u"Not implemented\r\n"},
        {E_INVALIDARG, u"The parameter is incorrect.\r\n"},
        {E_POINTER, u"Invalid pointer\r\n"},
        {E_OUTOFMEMORY, u"Not enough storage is available to complete this operation.\r\n"},
        {E_ACCESSDENIED, u"Access is denied.\r\n"},
        {CLASS_E_NOAGGREGATION, u"Class does not support aggregation (or class object is remote)\r\n"},
        {CO_E_CLASSSTRING, u"Invalid class string\r\n"},
        {CO_E_ERRORINDLL, u"Error in the DLL\r\n"},
        {ERROR_MOD_NOT_FOUND, u"The specified module could not be found.\r\n"},
        {HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), u"The specified module could not be found.\r\n"},
        {ERROR_PROC_NOT_FOUND, u"The specified procedure could not be found.\r\n"},
        {ERROR_FILE_NOT_FOUND, u"The system cannot find the file specified.\r\n"},
        {ERROR_ACCESS_DENIED, u"Access is denied.\r\n"},
        {ERROR_SUCCESS, u"The operation completed successfully.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << DWORD(c.code));
        std::u16string expected = c.text;
        // The texts above are Windows' own (System Error Codes, COM Error
        // Codes). Wine's message table words them its own way ("Call
        // failed.") and has none for most COM codes: there, only how the
        // text is handed out is checked.
        if (OnWine()) {
            WCHAR text[256];
            DWORD length = FormatMessageW(kSystemText, nullptr, DWORD(c.code), 0, text, 256, nullptr);
            if (length == 0)
                continue;
            expected.assign(tvx::AsChar16(text), length);
        }
        LPWSTR allocated = SentinelPointer<WCHAR>();
        DWORD length = FormatMessageW(kSystemText | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, DWORD(c.code), 0,
                                      reinterpret_cast<LPWSTR>(&allocated), 0, nullptr);
        ASSERT_EQ(length, expected.size());
        EXPECT_EQ(std::u16string(tvx::AsChar16(allocated)), expected);
        EXPECT_EQ(LocalFree(allocated), nullptr);

        WCHAR buffer[256];
        EXPECT_EQ(FormatMessageW(kSystemText, nullptr, DWORD(c.code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer,
                                 256, nullptr),
                  expected.size());
        EXPECT_EQ(std::u16string(tvx::AsChar16(buffer)), expected);
        expected.resize(expected.size() - 2);
        EXPECT_EQ(tvx::win32::SystemErrorMessage(c.code), expected);
    }
}

// Catches failures reported as success, or an allocated out value left unset.
TEST(KernelMessageTest, FormatMessageFailsAsWindowsDoes)
{
    LPWSTR allocated = SentinelPointer<WCHAR>();
    SetLastError(0);
    EXPECT_EQ(FormatMessageW(kSystemText | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, 0x2000FFFF, 0,
                             reinterpret_cast<LPWSTR>(&allocated), 0, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MR_MID_NOT_FOUND));
    EXPECT_EQ(allocated, nullptr);

    WCHAR small[8];
    EXPECT_EQ(FormatMessageW(kSystemText, nullptr, DWORD(E_FAIL), 0, small, 8, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));

    WCHAR buffer[256];
    // FormatMessage: "If you pass a specific LANGID in this parameter,
    // FormatMessage will return a message for that LANGID only ... it sets
    // Last-Error to ERROR_RESOURCE_LANG_NOT_FOUND". Wine answers in English.
    if (!OnWine()) {
        EXPECT_EQ(FormatMessageW(kSystemText, nullptr, DWORD(E_FAIL), MAKELANGID(0x07, SUBLANG_DEFAULT), buffer, 256,
                                 nullptr),
                  0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_LANG_NOT_FOUND));
    }

#if !defined(_WIN32)
    // The emulation formats only system texts, and says so.
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_STRING, u"text", 0, 0, buffer, 256, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
#endif
    EXPECT_EQ(tvx::win32::SystemErrorMessage(HRESULT(0x2000FFFF)), u"");
}

// Catches inserts ignored when the caller supplies them, or read from nowhere when it does not.
TEST(KernelMessageTest, InsertsAreFilledFromTheArgumentArray)
{
    const char16_t* file = u"/opt/NotALibrary.so";
    DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(file)};
    WCHAR buffer[256];
    EXPECT_GT(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, ERROR_BAD_EXE_FORMAT,
                             0, buffer, 256, reinterpret_cast<va_list*>(arguments)),
              0u);
    // System Error Codes (0-499): ERROR_BAD_EXE_FORMAT "%1 is not a valid
    // Win32 application." Wine's text is its own.
    EXPECT_EQ(std::u16string(tvx::AsChar16(buffer)),
              OnWine() ? u"Bad EXE format for /opt/NotALibrary.so.\r\n"
                       : u"/opt/NotALibrary.so is not a valid Win32 application.\r\n");
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_BAD_EXE_FORMAT, 0, buffer, 256, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

} // namespace
