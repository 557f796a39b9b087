// The IDE's splash screen and About box as add-ins reach them: the global
// SplashScreenServices and the About-box service offered by
// BorlandIDEServices. Host interfaces in the IDE's own calling convention.
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
    virtual int AddPluginInfo(const String& ATitle, const String& ADescription, HBITMAP AImage, bool AIsUnRegistered,
                              const String& ALicenseStatus, const String& ASKUName) = 0;
    virtual void RemovePluginInfo(int Index) = 0;
    // The older form of the product entry, without the two trailing values.
    virtual int AddProductInfoShort(const String& ADialogTitle, const String& ACopyright, const String& ATitle,
                                    const String& ADescription, HBITMAP AAboutImage, HBITMAP AProductImage,
                                    bool AIsUnRegistered, const String& ALicenseStatus, const String& ASKUName) = 0;
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
