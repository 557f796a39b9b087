// In-proc servers loaded from their InprocServer32 registration: the test
// server library, every way finding and loading one can fail, unloading, and
// regsvr32-like registration.
#include "host/win32/Recorder.h"
#include "host/win32/RegistryEmulation.h"
#include "host/win32/Win32.h"
#include "tests/fixtures/FixtureSupport.h"

#include <cstdlib>
#include <functional>

namespace {

using namespace tvx::test;

constexpr CLSID kOtherClsid = tvx::ParseGuid("{350C986C-3857-4D8C-8549-CAC58F679BF5}");

std::u16string FormatSystemMessage(HRESULT hr)
{
    LPWSTR text = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(hr), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::u16string result = length ? std::u16string(text, length) : std::u16string();
    LocalFree(text);
    return result;
}

HRESULT CreateCounter(REFCLSID clsid, ITestCounter** counter, IUnknown* outer = nullptr,
                      DWORD context = CLSCTX_INPROC_SERVER)
{
    return CoCreateInstance(clsid, outer, context, tvx::IidOf<ITestCounter>, reinterpret_cast<void**>(counter));
}

class ComServerTest : public ::testing::Test {
protected:
    void SetUp() override { tvx::win32::ResetRegistry(); }
    // Every test releases what it created, so the server must be unloadable at the end.
    void TearDown() override
    {
        CoFreeUnusedLibraries();
        EXPECT_TRUE(tvx::win32::LoadedComServers().empty());
        EXPECT_FALSE(IsLibraryLoaded(TestComServerPath()));
    }
};

// Catches a server loaded per activation, DllGetClassObject skipped, or
// objects handed out with extra references.
TEST_F(ComServerTest, RegisteredServerIsLoadedOnceAndServesEveryActivation)
{
    ASSERT_EQ(RegisterInprocServer(kTestCounterClsid, TestComServerPath()), ERROR_SUCCESS);
    tvx::IntfPtr<ITestCounter> first, second;
    ASSERT_EQ(CreateCounter(kTestCounterClsid, first.put()), S_OK);
    ASSERT_EQ(CreateCounter(kTestCounterClsid, second.put()), S_OK);
    EXPECT_REF(first.get(), 1);
    EXPECT_NE(first.get(), second.get());
    LONG value = 0;
    EXPECT_EQ(first->Increment(&value), S_OK);
    EXPECT_EQ(value, 1);

    EXPECT_EQ(tvx::win32::LoadedComServers(), std::vector<std::u16string>{TestComServerPath()});
    TestComServerStats stats = ReadTestComServerStats();
    EXPECT_EQ(stats.getClassObjectCalls, 2);
    EXPECT_EQ(stats.liveObjects, 2);

    // Still in use: the server says so and stays.
    CoFreeUnusedLibraries();
    EXPECT_TRUE(IsLibraryLoaded(TestComServerPath()));
    first = nullptr;
    second = nullptr;
    EXPECT_EQ(ReadTestComServerStats().liveObjects, 0);
}

// Catches a server unloaded while a client holds it locked through its class object.
TEST_F(ComServerTest, LockedServerStaysLoaded)
{
    ASSERT_EQ(RegisterInprocServer(kTestCounterClsid, TestComServerPath()), ERROR_SUCCESS);
    auto classObject = [] {
        tvx::IntfPtr<IClassFactory> factory;
        EXPECT_EQ(CoGetClassObject(kTestCounterClsid, CLSCTX_INPROC_SERVER, nullptr, tvx::IidOf<IClassFactory>,
                                   reinterpret_cast<void**>(factory.put())),
                  S_OK);
        return factory;
    };
    classObject()->LockServer(TRUE);
    CoFreeUnusedLibraries();
    ASSERT_TRUE(IsLibraryLoaded(TestComServerPath()));
    EXPECT_GE(ReadTestComServerStats().canUnloadNowCalls, 1);
    classObject()->LockServer(FALSE);
}

// Catches a REG_EXPAND_SZ path used unexpanded.
TEST_F(ComServerTest, ExpandablePathIsExpanded)
{
    ASSERT_EQ(::setenv("TVX_TEST_FIXTURE_DIR", BinaryDir().c_str(), 1), 0);
    ASSERT_EQ(RegisterInprocServer(kTestCounterClsid, u"%TVX_TEST_FIXTURE_DIR%/TestComServer.so", REG_EXPAND_SZ),
              ERROR_SUCCESS);
    tvx::IntfPtr<ITestCounter> counter;
    EXPECT_EQ(CreateCounter(kTestCounterClsid, counter.put()), S_OK);
    EXPECT_EQ(tvx::win32::LoadedComServers(), std::vector<std::u16string>{TestComServerPath()});
}

// Catches any failure path that reports the wrong HRESULT, leaves the out
// value set, leaks an object or keeps a useless library loaded; each code
// also has the system's text.
TEST_F(ComServerTest, EveryFailureHasTheWindowsResultAndText)
{
    ScopedTempDir temp;
    std::u16string notALibrary = temp.WriteFile("NotALibrary.so", "just text\n");
    std::u16string missing = tvx::Utf8ToUtf16((temp.path() / "Missing.so").string());
    struct Case {
        const char* label;
        std::function<void()> setUp;
        CLSID clsid;
        IID iid;
        IUnknown* outer;
        DWORD context;
        HRESULT expected;
        const char16_t* text;
    } const cases[] = {
        {"not registered", [] {}, kTestCounterClsid, tvx::IidOf<IUnknown>, nullptr, CLSCTX_INPROC_SERVER,
         REGDB_E_CLASSNOTREG, u"Class not registered\r\n"},
        {"class key without server", [] { WriteClassesText(ClassKeyPath(kTestCounterClsid), nullptr, u"Counter"); },
         kTestCounterClsid, tvx::IidOf<IUnknown>, nullptr, CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG,
         u"Class not registered\r\n"},
        {"empty server path", [] { RegisterInprocServer(kTestCounterClsid, u""); }, kTestCounterClsid,
         tvx::IidOf<IUnknown>, nullptr, CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG, u"Class not registered\r\n"},
        {"local server only", [] { RegisterInprocServer(kTestCounterClsid, TestComServerPath()); }, kTestCounterClsid,
         tvx::IidOf<IUnknown>, nullptr, CLSCTX_LOCAL_SERVER, REGDB_E_CLASSNOTREG, u"Class not registered\r\n"},
        {"missing file", [&] { RegisterInprocServer(kTestCounterClsid, missing); }, kTestCounterClsid,
         tvx::IidOf<IUnknown>, nullptr, CLSCTX_INPROC_SERVER, HRESULT(0x8007007E),
         u"The specified module could not be found.\r\n"},
        {"not a library", [&] { RegisterInprocServer(kTestCounterClsid, notALibrary); }, kTestCounterClsid,
         tvx::IidOf<IUnknown>, nullptr, CLSCTX_INPROC_SERVER, HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT),
         u"%1 is not a valid Win32 application.\r\n"},
        {"no DllGetClassObject", [] { RegisterInprocServer(kTestCounterClsid, TestNoEntryPath()); }, kTestCounterClsid,
         tvx::IidOf<IUnknown>, nullptr, CLSCTX_INPROC_SERVER, CO_E_ERRORINDLL, u"Error in the DLL\r\n"},
        {"class the server lacks", [] { RegisterInprocServer(kOtherClsid, TestComServerPath()); }, kOtherClsid,
         tvx::IidOf<IUnknown>, nullptr, CLSCTX_INPROC_SERVER, CLASS_E_CLASSNOTAVAILABLE,
         u"ClassFactory cannot supply requested class\r\n"},
        {"interface the object lacks", [] { RegisterInprocServer(kTestCounterClsid, TestComServerPath()); },
         kTestCounterClsid, kOtherClsid, nullptr, CLSCTX_INPROC_SERVER, E_NOINTERFACE,
         u"No such interface supported\r\n"},
        {"aggregation", [] { RegisterInprocServer(kTestCounterClsid, TestComServerPath()); }, kTestCounterClsid,
         tvx::IidOf<IUnknown>, SentinelPointer<IUnknown>(), CLSCTX_INPROC_SERVER, CLASS_E_NOAGGREGATION,
         u"Class does not support aggregation (or class object is remote)\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        tvx::win32::ResetRegistry();
        c.setUp();
        void* object = SentinelPointer<void>();
        EXPECT_EQ(CoCreateInstance(c.clsid, c.outer, c.context, c.iid, &object), c.expected);
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(FormatSystemMessage(c.expected), c.text);
        if (IsLibraryLoaded(TestComServerPath())) {
            EXPECT_EQ(ReadTestComServerStats().liveObjects, 0);
        }
        EXPECT_FALSE(IsLibraryLoaded(TestNoEntryPath()));
        CoFreeUnusedLibraries();
    }
}

// Catches registration that writes the wrong path or keys, leaves the library
// loaded, or an unregistration that leaves the class behind.
TEST_F(ComServerTest, RegisterServerWritesTheClassKeysAndUnregisterServerRemovesThem)
{
    ASSERT_EQ(tvx::win32::RegisterServer(TestComServerPath()), S_OK);
    EXPECT_FALSE(IsLibraryLoaded(TestComServerPath()));

    WCHAR path[4096] = {};
    DWORD size = sizeof path;
    std::u16string serverKey = ClassKeyPath(kTestCounterClsid) + u"\\InprocServer32";
    ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, serverKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(path), TestComServerPath());
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromString(kTestCounterProgId, &clsid), S_OK);
    EXPECT_TRUE(tvx::IsEqualGuid(clsid, kTestCounterClsid));
    {
        tvx::IntfPtr<ITestCounter> counter;
        EXPECT_EQ(CreateCounter(kTestCounterClsid, counter.put()), S_OK);
    }

    ASSERT_EQ(tvx::win32::UnregisterServer(TestComServerPath()), S_OK);
    tvx::IntfPtr<ITestCounter> counter;
    EXPECT_EQ(CreateCounter(kTestCounterClsid, counter.put()), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CLSIDFromString(kTestCounterProgId, &clsid), CO_E_CLASSSTRING);
}

// Catches success reported for libraries that cannot register themselves.
TEST_F(ComServerTest, RegisterServerReportsLoadAndEntryPointFailures)
{
    EXPECT_EQ(tvx::win32::RegisterServer(TestNoEntryPath()), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(tvx::win32::UnregisterServer(TestNoEntryPath()), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    EXPECT_FALSE(IsLibraryLoaded(TestNoEntryPath()));
    EXPECT_EQ(tvx::win32::RegisterServer(FixturePath("Missing.so")), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
}

} // namespace
