// The IDE's splash screen and About box as add-ins reach them: the global
// SplashScreenServices and the About-box service offered by
// BorlandIDEServices. Host interfaces in the IDE's own calling convention.
// The recording implementations below keep what they were given, for the
// simulated IDE and for tests.
#pragma once

#include "host/vcl/IdeApi.h"
#include "host/vcl/System.h"
#include "host/win32/WinTypes.h"
#include "interop/Guid.h"
#include "interop/InterfacedObject.h"

#include <cstdint>
#include <vector>

TVX_DECLARE_INTERFACE(IOTASplashScreenServices, "{1A3CDFB0-EBF6-449D-88D4-3D2991F8974F}")
TVX_DECLARE_INTERFACE(IOTAAboutBoxServices, "{62A2F7FD-16F1-45B9-9417-A2D293D07A22}")

// The IDE reads these Booleans as one byte.
static_assert(sizeof(bool) == 1);

struct IOTASplashScreenServices : IUnknown {
    // A plug-in line with its bitmap under the product's own; the bitmap
    // stays the caller's.
    virtual void AddPluginBitmap(const String& ACaption, HBITMAP ABitmap, bool AIsUnRegistered,
                                 const String& ALicenseStatus, const String& ASKUName) = 0;
    virtual void StatusMessage(const String& StatusMsg) = 0;
};

struct IOTAAboutBoxServices : IUnknown {
    virtual int AddPluginInfo(const String& ATitle, const String& ADescription, HBITMAP AImage,
                              bool AIsUnRegistered, const String& ALicenseStatus, const String& ASKUName) = 0;
    virtual void RemovePluginInfo(int Index) = 0;
    // The older form of the product entry, without the two trailing values.
    virtual int AddProductInfoShort(const String& ADialogTitle, const String& ACopyright, const String& ATitle,
                                    const String& ADescription, HBITMAP AAboutImage, HBITMAP AProductImage,
                                    bool AIsUnRegistered, const String& ALicenseStatus,
                                    const String& ASKUName) = 0;
    virtual void RemoveProductInfo(int Index) = 0;
    virtual int ProductInfoCount() = 0;
    // The product entry: its own page in the About box. The images stay the
    // caller's; the two trailing values are 0 from every known caller.
    virtual int AddProductInfo(const String& ADialogTitle, const String& ACopyright, const String& ATitle,
                               const String& ADescription, HBITMAP AAboutImage, HBITMAP AProductImage,
                               bool AIsUnRegistered, const String& ALicenseStatus, const String& ASKUName,
                               std::int32_t AReserved1, std::int32_t AReserved2) = 0;
};

// The IDE sets it while it starts; null in an IDE without a splash screen.
extern TVX_IDE_API IOTASplashScreenServices* SplashScreenServices;

// --- Recording implementations ------------------------------------------

struct TVX_IDE_API TSplashPluginLine {
    String Caption;
    HBITMAP Bitmap = nullptr;
    bool IsUnRegistered = false;
    String LicenseStatus;
    String SKUName;
};

class TVX_IDE_API TSplashScreenServices final
    : public tvx::Implements<TSplashScreenServices, IOTASplashScreenServices> {
public:
    void AddPluginBitmap(const String& ACaption, HBITMAP ABitmap, bool AIsUnRegistered,
                         const String& ALicenseStatus, const String& ASKUName) override;
    void StatusMessage(const String& StatusMsg) override;

    const std::vector<TSplashPluginLine>& PluginLines() const noexcept { return lines_; }
    const std::vector<String>& StatusMessages() const noexcept { return status_; }

private:
    std::vector<TSplashPluginLine> lines_;
    std::vector<String> status_;
};

struct TVX_IDE_API TAboutBoxEntry {
    // What the adding call answered; the remove calls take it back.
    int Index = 0;
    bool IsProduct = false;
    String DialogTitle;
    String Copyright;
    String Title;
    String Description;
    HBITMAP AboutImage = nullptr;
    HBITMAP ProductImage = nullptr;
    bool IsUnRegistered = false;
    String LicenseStatus;
    String SKUName;
};

class TVX_IDE_API TAboutBoxServices final : public tvx::Implements<TAboutBoxServices, IOTAAboutBoxServices> {
public:
    int AddPluginInfo(const String& ATitle, const String& ADescription, HBITMAP AImage, bool AIsUnRegistered,
                      const String& ALicenseStatus, const String& ASKUName) override;
    void RemovePluginInfo(int Index) override;
    int AddProductInfoShort(const String& ADialogTitle, const String& ACopyright, const String& ATitle,
                            const String& ADescription, HBITMAP AAboutImage, HBITMAP AProductImage,
                            bool AIsUnRegistered, const String& ALicenseStatus, const String& ASKUName) override;
    void RemoveProductInfo(int Index) override;
    int ProductInfoCount() override;
    int AddProductInfo(const String& ADialogTitle, const String& ACopyright, const String& ATitle,
                       const String& ADescription, HBITMAP AAboutImage, HBITMAP AProductImage, bool AIsUnRegistered,
                       const String& ALicenseStatus, const String& ASKUName, std::int32_t AReserved1,
                       std::int32_t AReserved2) override;

    // Plug-in and product entries still shown, in the order they were added.
    const std::vector<TAboutBoxEntry>& Entries() const noexcept { return entries_; }

private:
    int Add(TAboutBoxEntry entry);
    void Remove(int Index, bool product) noexcept;

    std::vector<TAboutBoxEntry> entries_;
    int nextIndex_ = 0;
};
