#include "sim/splashabout/SplashAboutServices.h"

#include <algorithm>

// --- TSplashScreenServices ------------------------------------------------

void TSplashScreenServices::AddPluginBitmap(const String& ACaption, HBITMAP ABitmap, bool AIsUnRegistered,
                                            const String& ALicenseStatus, const String& ASKUName)
{
    lines_.push_back(TSplashPluginLine{ACaption, ABitmap, AIsUnRegistered, ALicenseStatus, ASKUName});
}

void TSplashScreenServices::StatusMessage(const String& StatusMsg) { status_.push_back(StatusMsg); }

// --- TAboutBoxServices ----------------------------------------------------

int TAboutBoxServices::Add(TAboutBoxEntry entry)
{
    entry.Index = nextIndex_++;
    entries_.push_back(std::move(entry));
    return entries_.back().Index;
}

void TAboutBoxServices::Remove(int Index, bool product) noexcept
{
    std::erase_if(entries_, [&](const TAboutBoxEntry& e) { return e.Index == Index && e.IsProduct == product; });
}

int TAboutBoxServices::AddPluginInfo(const String& ATitle, const String& ADescription, HBITMAP AImage,
                                     bool AIsUnRegistered, const String& ALicenseStatus, const String& ASKUName)
{
    TAboutBoxEntry entry;
    entry.Title = ATitle;
    entry.Description = ADescription;
    entry.AboutImage = AImage;
    entry.IsUnRegistered = AIsUnRegistered;
    entry.LicenseStatus = ALicenseStatus;
    entry.SKUName = ASKUName;
    return Add(std::move(entry));
}

void TAboutBoxServices::RemovePluginInfo(int Index) { Remove(Index, false); }

int TAboutBoxServices::AddProductInfoShort(const String& ADialogTitle, const String& ACopyright, const String& ATitle,
                                           const String& ADescription, HBITMAP AAboutImage, HBITMAP AProductImage,
                                           bool AIsUnRegistered, const String& ALicenseStatus, const String& ASKUName)
{
    return AddProductInfo(ADialogTitle, ACopyright, ATitle, ADescription, AAboutImage, AProductImage, AIsUnRegistered,
                          ALicenseStatus, ASKUName, 0, 0);
}

void TAboutBoxServices::RemoveProductInfo(int Index) { Remove(Index, true); }

int TAboutBoxServices::ProductInfoCount()
{
    return int(std::count_if(entries_.begin(), entries_.end(), [](const TAboutBoxEntry& e) { return e.IsProduct; }));
}

int TAboutBoxServices::AddProductInfo(const String& ADialogTitle, const String& ACopyright, const String& ATitle,
                                      const String& ADescription, HBITMAP AAboutImage, HBITMAP AProductImage,
                                      bool AIsUnRegistered, const String& ALicenseStatus, const String& ASKUName,
                                      std::int32_t, std::int32_t)
{
    TAboutBoxEntry entry;
    entry.IsProduct = true;
    entry.DialogTitle = ADialogTitle;
    entry.Copyright = ACopyright;
    entry.Title = ATitle;
    entry.Description = ADescription;
    entry.AboutImage = AAboutImage;
    entry.ProductImage = AProductImage;
    entry.IsUnRegistered = AIsUnRegistered;
    entry.LicenseStatus = ALicenseStatus;
    entry.SKUName = ASKUName;
    return Add(std::move(entry));
}
