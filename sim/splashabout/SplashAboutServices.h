// The simulated IDE's splash screen and About-box services: they keep what
// add-ins give them, for the report and for tests.
#pragma once

#include "host/ide/SplashAboutServices.h"
#include "interop/InterfacedObject.h"

#include <cstdint>
#include <vector>

struct TSplashPluginLine {
    String Caption;
    HBITMAP Bitmap = nullptr;
    bool IsUnRegistered = false;
    String LicenseStatus;
    String SKUName;
};

class TSplashScreenServices final : public tvx::Implements<TSplashScreenServices, IOTASplashScreenServices> {
public:
    void AddPluginBitmap(const String& ACaption, HBITMAP ABitmap, bool AIsUnRegistered, const String& ALicenseStatus,
                         const String& ASKUName) override;
    void StatusMessage(const String& StatusMsg) override;

    const std::vector<TSplashPluginLine>& PluginLines() const noexcept { return lines_; }
    const std::vector<String>& StatusMessages() const noexcept { return status_; }

private:
    std::vector<TSplashPluginLine> lines_;
    std::vector<String> status_;
};

struct TAboutBoxEntry {
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

class TAboutBoxServices final : public tvx::Implements<TAboutBoxServices, IOTAAboutBoxServices> {
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
