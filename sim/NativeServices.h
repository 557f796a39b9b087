// The simulated IDE's native services: the object behind INTAServices40 and
// INTAServices. Each part of the simulated IDE hands it what it owns.
#pragma once

#include "host/ide/NTAServices.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

#include <vector>

namespace tvx::sim {

class IdeToolbars;

class TNativeServices final : public tvx::Implements<TNativeServices, INTAServices> {
public:
    int AddMasked(void* Image, unsigned MaskColor, const String& Ident) override;
    TCustomActionList* GetActionList() override { return ActionList; }
    TCustomImageList* GetImageList() override { return ImageList; }
    TMainMenu* GetMainMenu() override { return MainMenu; }
    TToolBar* GetToolBar(const String& ToolBarName) override;
    TToolBar* NewToolbar(const String& Name, const String& Caption, const String& ReferenceToolBar,
                         bool InsertBeforeReference) override;
    int AddToolbarStreamNotifier(INTAToolbarStreamNotifier* Notifier) override;
    void RemoveToolbarStreamNotifier(int Index) override;

    // Set by the parts of the simulated IDE that own these objects.
    TCustomActionList* ActionList = nullptr;
    TCustomImageList* ImageList = nullptr;
    TMainMenu* MainMenu = nullptr;
    IdeToolbars* Toolbars = nullptr;
};

} // namespace tvx::sim
