// GUID and class identifier text: the SDK's parser and formatter, and the
// COM runtime's CLSIDFromString (braced GUIDs and ProgIDs, with CurVer
// chains the input writes into the registry), IIDFromString,
// StringFromGUID2 and StringFromCLSID. Text and GUIDs must round-trip.
#include "FuzzCheck.h"

#include "host/win32/ComRuntime.h"
#include "host/win32/Registry.h"
#include "host/win32/RegistryEmulation.h"
#include "interop/Bstr.h"
#include "interop/Guid.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// The compile-time parse is the same function as the run-time one.
constexpr GUID kSample = tvx::ParseGuid("{6B29FC40-CA47-1067-B31D-00DD010662DA}");
static_assert(kSample.Data1 == 0x6B29FC40 && kSample.Data2 == 0xCA47 && kSample.Data3 == 0x1067 &&
              kSample.Data4[0] == 0xB3 && kSample.Data4[7] == 0xDA);
static_assert(tvx::detail::ParseBraced(std::string_view("{6b29fc40-ca47-1067-b31d-00dd010662da}"))->Data4[7] == 0xDA);
static_assert(!tvx::detail::ParseBraced(std::string_view("6B29FC40-CA47-1067-B31D-00DD010662DA")));

bool IsHex(char32_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

char32_t Upper(char32_t c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }

// The registry format: braces, 8-4-4-4-12 hex digits, either case.
template <class Char>
bool IsBracedGuid(std::basic_string_view<Char> text)
{
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return false;
    for (std::size_t i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !IsHex(char32_t(text[i])))
            return false;
    }
    return true;
}

// A valid text parses, and formats back to itself in upper case.
template <class Char>
void CheckParse(std::basic_string_view<Char> text)
{
    auto parsed = tvx::TryParseGuid(text);
    FUZZ_CHECK(parsed.has_value() == IsBracedGuid(text));
    if (!parsed)
        return;
    std::string formatted = tvx::FormatGuid(*parsed);
    FUZZ_CHECK(formatted.size() == text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        FUZZ_CHECK(char32_t(formatted[i]) == Upper(char32_t(text[i])));
}

void CheckFormat(const GUID& guid, int capacity)
{
    std::string text = tvx::FormatGuid(guid);
    FUZZ_CHECK(IsBracedGuid(std::string_view(text)));
    FUZZ_CHECK(tvx::IsEqualGuid(*tvx::TryParseGuid(std::string_view(text)), guid));
    FUZZ_CHECK(tvx::FormatGuidW(guid) == std::u16string(text.begin(), text.end()));

    // Exactly the room asked for, so a write past it is caught.
    std::vector<OLECHAR> buffer(std::size_t(capacity > 0 ? capacity : 0) + 1, u'#');
    int written = StringFromGUID2(guid, capacity > 0 ? buffer.data() : nullptr, capacity);
    if (capacity < 39) {
        FUZZ_CHECK(written == 0);
    } else {
        FUZZ_CHECK(written == 39);
        FUZZ_CHECK(buffer[38] == u'\0');
        IID back{};
        FUZZ_CHECK(CLSIDFromString(buffer.data(), &back) == S_OK && tvx::IsEqualGuid(back, guid));
        FUZZ_CHECK(IIDFromString(buffer.data(), &back) == S_OK && tvx::IsEqualGuid(back, guid));
    }
    FUZZ_CHECK(buffer[std::size_t(capacity > 0 ? capacity : 0)] == u'#');

    LPOLESTR allocated = nullptr;
    FUZZ_CHECK(StringFromCLSID(guid, &allocated) == S_OK);
    FUZZ_CHECK(tvx::WideTextView(allocated) == tvx::FormatGuidW(guid));
    CoTaskMemFree(allocated);
}

// ProgIDs the input registers: each with a CLSID key, or a CurVer pointing
// on, or both. Few names, so that chains and loops form.
std::u16string ProgIdName(FuzzedDataProvider& in)
{
    static const char16_t* const kNames[] = {
        u"Talvix.Example", u"talvix.example", u"Talvix.Example.1", u"Talvix.Example.2", u"Loop", u"CLSID", u"A.B.C"};
    if (in.ConsumeIntegralInRange(0, 7) < 7)
        return kNames[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
    std::string raw = in.ConsumeRandomLengthString(10);
    return std::u16string(raw.begin(), raw.end());
}

GUID GuidFrom(FuzzedDataProvider& in)
{
    GUID guid{};
    auto bytes = in.ConsumeBytes<std::uint8_t>(sizeof guid);
    if (!bytes.empty())
        std::memcpy(&guid, bytes.data(), bytes.size());
    return guid;
}

void SetText(const std::u16string& key, std::u16string_view text, DWORD type)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return; // a name the registry refuses simply is not registered
    std::u16string data(text);
    RegSetValueExW(handle, nullptr, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                   DWORD((data.size() + 1) * sizeof(char16_t)));
    RegCloseKey(handle);
}

// Every CLSID value the input stored as text, whether it parses or not; the
// registry's reader stops at the first NUL.
using StoredClsids = std::vector<std::u16string>;

StoredClsids RegisterProgIds(FuzzedDataProvider& in)
{
    StoredClsids clsids;
    const int count = in.ConsumeIntegralInRange(0, 5);
    for (int i = 0; i < count; ++i) {
        std::u16string name = ProgIdName(in);
        DWORD type = in.ConsumeBool() ? REG_SZ : in.ConsumeIntegralInRange<DWORD>(REG_NONE, REG_MULTI_SZ);
        switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: {
            std::u16string clsid = in.ConsumeBool() ? tvx::FormatGuidW(GuidFrom(in)) : [&] {
                std::string raw = in.ConsumeRandomLengthString(40);
                return std::u16string(raw.begin(), raw.end());
            }();
            SetText(name + u"\\CLSID", clsid, type);
            clsids.push_back(clsid);
            break;
        }
        case 1: SetText(name + u"\\CurVer", ProgIdName(in), type); break;
        default: SetText(name, u"a description, not a class", REG_SZ); break;
        }
    }
    return clsids;
}

void CheckClassString(const std::u16string& text, const StoredClsids& stored)
{
    CLSID clsid{};
    std::memset(&clsid, 0xA5, sizeof clsid);
    HRESULT hr = CLSIDFromString(text.c_str(), &clsid);
    std::u16string_view visible = tvx::WideTextView(text.c_str());
    if (hr != S_OK) {
        FUZZ_CHECK(hr == CO_E_CLASSSTRING);
        FUZZ_CHECK(tvx::IsEqualGuid(clsid, CLSID_NULL));
        // A well-formed braced GUID always names a class.
        FUZZ_CHECK(!IsBracedGuid(visible));
        return;
    }
    if (!visible.empty() && visible.front() == u'{') {
        FUZZ_CHECK(IsBracedGuid(visible) && tvx::IsEqualGuid(clsid, *tvx::TryParseGuid(visible)));
        return;
    }
    // A ProgID: what it resolved to is one of the CLSIDs stored.
    bool known = false;
    for (const auto& s : stored)
        if (auto g = tvx::TryParseGuid(tvx::WideTextView(s.c_str())); g && tvx::IsEqualGuid(*g, clsid))
            known = true;
    FUZZ_CHECK(known);
    CLSID again{};
    FUZZ_CHECK(CLSIDFromProgID(text.c_str(), &again) == S_OK && tvx::IsEqualGuid(again, clsid));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The raw input as text of both widths.
    std::string_view narrow(reinterpret_cast<const char*>(data), size);
    CheckParse(narrow);
    std::u16string wide(size / 2, u'\0');
    if (!wide.empty())
        std::memcpy(wide.data(), data, wide.size() * 2);
    CheckParse(std::u16string_view(wide));

    FuzzedDataProvider in(data, size);
    CheckFormat(GuidFrom(in), in.ConsumeIntegralInRange(-1, 48));

    tvx::win32::ResetRegistry();
    StoredClsids stored = RegisterProgIds(in);
    std::u16string query = in.ConsumeBool() ? ProgIdName(in) : [&] {
        std::string raw = in.ConsumeRemainingBytesAsString();
        return std::u16string(raw.begin(), raw.end());
    }();
    CheckClassString(query, stored);

    IID iid{};
    HRESULT hr = IIDFromString(query.c_str(), &iid);
    auto parsed = tvx::TryParseGuid(tvx::WideTextView(query.c_str()));
    FUZZ_CHECK((hr == S_OK) == parsed.has_value());
    FUZZ_CHECK(hr == S_OK ? tvx::IsEqualGuid(iid, *parsed) : (hr == E_INVALIDARG && tvx::IsEqualGuid(iid, GUID_NULL)));
    return 0;
}
