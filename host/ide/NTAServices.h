// The IDE's native services: the main action list, the main menu with its
// image list, and the IDE's toolbars. Host interfaces in the IDE's own
// calling convention, under the IDE's identifiers.
#pragma once

#include "host/ide/ToolsAPI.h"
#include "host/vcl/System.h"

class TCustomActionList;
class TCustomImageList;
class TMainMenu;
class TToolBar;
struct INTAToolbarStreamNotifier;

TVX_DECLARE_INTERFACE(INTAServices40, "{3C7F3267-F0BF-11D1-AB1E-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(INTAServices, "{8209041F-F37F-4570-88B8-6C310FFFF81A}")

struct INTAServices40 : IUnknown {
    // Images for the IDE's actions and menu items; answers the first index used.
    virtual int AddMasked(void* Image, unsigned MaskColor, const String& Ident) = 0;
    // The IDE's main action list (this interface's second operation).
    virtual TCustomActionList* GetActionList() = 0;
    virtual TCustomImageList* GetImageList() = 0;
    virtual TMainMenu* GetMainMenu() = 0;
    // The IDE's toolbar of that name, or null.
    virtual TToolBar* GetToolBar(const String& ToolBarName) = 0;
};

struct INTAServices : INTAServices40 {
    using Base = INTAServices40;
    // Makes a new toolbar, placed relative to ReferenceToolBar when one is named.
    virtual TToolBar* NewToolbar(const String& Name, const String& Caption, const String& ReferenceToolBar,
                                 bool InsertBeforeReference) = 0;
    // Toolbar stream notifiers hear when the IDE has loaded a toolbar; the
    // answer is the index that removes the notifier again.
    virtual int AddToolbarStreamNotifier(INTAToolbarStreamNotifier* Notifier) = 0;
    virtual void RemoveToolbarStreamNotifier(int Index) = 0;
};
