// The IDE calling the wizard entry directly, with the packages of one test,
// and a readable view of the package table. Header only, for test programs
// that link the product library (`talvix`).
#pragma once

#include "interop/Utf.h"
#include "loader/TalvixLoader.h"
#include "services/TalvixBdsServices.h"
#include "tests/support/HostFixture.h"
#include "tests/support/PackageListRegistry.h"
#include "tests/support/TestPackages.h"
#include "tests/support/TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tvx::test {

// One PackageInfo record as a package would read it.
struct PackageRecord {
    GUID Id;
    std::u16string Name;
    const OLECHAR* NamePointer;
    IBdsPackage* Instance;    // identity only; the copy's reference is dropped
    std::string InstanceName; // the test package behind Instance, if any
};

inline std::vector<PackageRecord> PackageRecords()
{
    std::vector<PackageRecord> records;
    for (LONG i = 0; i < talvix::PackageInfoCount(); ++i) {
        PackageInfo info{};
        talvix::CopyPackageInfo(i, info);
        records.push_back({info.Id, std::u16string(WideTextView(info.Name)), info.Name, info.Instance,
                           TestPackage::NameOf(info.Instance)});
        if (info.Instance)
            info.Instance->Release();
    }
    return records;
}

// The failure message the loader shows, line by line as the user reads it.
inline std::u16string LoadFailureText(std::u16string_view displayName, std::u16string_view subkey,
                                      std::u16string_view error)
{
    std::u16string firstLine = u"Failed to load package";
    if (!displayName.empty())
        firstLine += u" '" + std::u16string(displayName) + u"'";
    return firstLine + u"." + u"\n\r" + u"Package ID: " + std::u16string(subkey) + u"\n\r" + u"Error: " +
           std::u16string(error);
}

inline constexpr char16_t kLoaderCaption[] = u"Talvix Products Loader";
inline constexpr UINT kStopIconFlags = 16;
// Stands for the window the user works in while the IDE starts.
inline const HWND kForegroundWindow = reinterpret_cast<HWND>(std::uintptr_t(0xF00D));

class WizardTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        win32::SetEmulatedForegroundWindow(kForegroundWindow);
    }

    // The IDE's call of INITWIZARD0001.
    bool Enter() { return talvix::InitWizard(Ide().ServicesUnknown(), SentinelPointer<void>(), &terminate); }
    // The IDE's call of the routine the entry gave back.
    void Terminate()
    {
        ASSERT_NE(terminate, nullptr);
        terminate();
    }
    IBdsServices* Root() const
    {
        talvix::TBdsServices* root = talvix::ServicesRoot();
        return root ? root->Interface() : nullptr;
    }

    TWizardTerminateProc terminate = nullptr;
    TestPackageSet packages;
};

} // namespace tvx::test
