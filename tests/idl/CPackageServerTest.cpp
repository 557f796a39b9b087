// The C package as an in-proc server, called from C++ through the C++
// headers: its entries, class factory, reference counts and registration.
#include "host/win32/Win32.h"
#include "interop/Guid.h"
#include "interop/TalvixBdsInterop.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

namespace {

using namespace tvx::test;

const CLSID kCPackageClsid = *tvx::TryParseGuid("{9C3E51A7-2B84-4F06-8D1E-7A5C0B93E2D4}");
const std::u16string kServerKey = u"CLSID\\{9C3E51A7-2B84-4F06-8D1E-7A5C0B93E2D4}\\InprocServer32";

using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using EntryFn = HRESULT (*)();

class CPackageServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle = ::dlopen(Path().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << ::dlerror();
        getClassObject = reinterpret_cast<GetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
        canUnloadNow = reinterpret_cast<EntryFn>(::dlsym(handle, "DllCanUnloadNow"));
        registerServer = reinterpret_cast<EntryFn>(::dlsym(handle, "DllRegisterServer"));
        unregisterServer = reinterpret_cast<EntryFn>(::dlsym(handle, "DllUnregisterServer"));
        ASSERT_TRUE(getClassObject && canUnloadNow && registerServer && unregisterServer);
    }
    void TearDown() override
    {
        if (handle)
            ::dlclose(handle);
    }
    static std::string Path() { return BinaryDir() + "/TalvixCPackage.so"; }

    IClassFactory* Factory()
    {
        void* factory = nullptr;
        EXPECT_EQ(getClassObject(kCPackageClsid, tvx::IidOf<IClassFactory>, &factory), S_OK);
        return static_cast<IClassFactory*>(factory);
    }

    void* handle = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    EntryFn canUnloadNow = nullptr, registerServer = nullptr, unregisterServer = nullptr;
};

// Catches entries that hand out a factory for another class or for another
// interface, or leave the out value unset when they refuse.
TEST_F(CPackageServer, GetClassObjectServesOnlyItsClassAndTheFactoryInterface)
{
    EXPECT_EQ(getClassObject(kCPackageClsid, tvx::IidOf<IClassFactory>, nullptr), E_POINTER);
    void* out = SentinelPointer<void>();
    EXPECT_EQ(getClassObject(tvx::IidOf<IBdsPackage>, tvx::IidOf<IClassFactory>, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = SentinelPointer<void>();
    EXPECT_EQ(getClassObject(kCPackageClsid, tvx::IidOf<IBdsPackage>, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    factory->Release();
}

// Catches a package object that answers interfaces it lacks, accepts an
// outer object, or is freed while referenced (DllCanUnloadNow then says so
// too early) or never (it never says so).
TEST_F(CPackageServer, PackageObjectsAreCountedUntilTheirLastRelease)
{
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    void* out = SentinelPointer<void>();
    EXPECT_EQ(factory->CreateInstance(factory, tvx::IidOf<IBdsPackage>, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK);

    IBdsPackage* package = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, tvx::IidOf<IBdsPackage>, reinterpret_cast<void**>(&package)), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    out = SentinelPointer<void>();
    EXPECT_EQ(package->QueryInterface(tvx::IidOf<IBdsToolBarControlEvents>, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(package->QueryInterface(tvx::IidOf<IUnknown>, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(package->Release(), 0u);
    EXPECT_EQ(canUnloadNow(), S_OK);

    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory->Release();
}

// Catches a package that crashes or claims success when the IDE calls it
// out of order or without services.
TEST_F(CPackageServer, CallsOutOfOrderOrWithoutServicesAreSafe)
{
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    IBdsPackage* package = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, tvx::IidOf<IBdsPackage>, reinterpret_cast<void**>(&package)), S_OK);
    EXPECT_EQ(package->OnServicesReady(), S_OK);
    EXPECT_EQ(package->Initialize(nullptr), E_POINTER);
    EXPECT_EQ(package->Finalize(), S_OK);
    EXPECT_EQ(package->Finalize(), S_OK);
    EXPECT_EQ(package->Release(), 0u);
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory->Release();
}

// Catches a registration that names another file or no threading model, or
// an unregistration that leaves the class or fails when it is already gone.
TEST_F(CPackageServer, RegisterServerNamesTheLibraryAndUnregisterServerRemovesIt)
{
    ASSERT_EQ(registerServer(), S_OK);
    WCHAR value[4096] = {};
    DWORD size = sizeof value;
    ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, kServerKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(value), tvx::Utf8ToUtf16(Path()));
    size = sizeof value;
    ASSERT_EQ(
        RegGetValueW(HKEY_CLASSES_ROOT, kServerKey.c_str(), u"ThreadingModel", RRF_RT_REG_SZ, nullptr, value, &size),
        ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(value), u"Apartment");

    EXPECT_EQ(unregisterServer(), S_OK);
    size = sizeof value;
    EXPECT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, kServerKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(unregisterServer(), S_OK);
}

} // namespace
