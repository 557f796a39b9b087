// The simulated IDE's native services: the object behind INTAServices40 and
// INTAServices. It answers from the IDE's parts; an IDE without a part has
// none of what that part owns.
#pragma once

#include "host/ide/NTAServices.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

namespace tvx::sim {

class SimulatedIde;

class TNativeServices final : public tvx::Implements<TNativeServices, INTAServices> {
public:
    explicit TNativeServices(SimulatedIde& ide) : ide_(&ide) {}

    int AddMasked(void* Image, unsigned MaskColor, const String& Ident) override;
    TCustomActionList* GetActionList() override;
    TCustomImageList* GetImageList() override;
    TMainMenu* GetMainMenu() override;
    TToolBar* GetToolBar(const String& ToolBarName) override;
    TToolBar* NewToolbar(const String& Name, const String& Caption, const String& ReferenceToolBar,
                         bool InsertBeforeReference) override;
    int AddToolbarStreamNotifier(INTAToolbarStreamNotifier* Notifier) override;
    void RemoveToolbarStreamNotifier(int Index) override;

    // The IDE goes first when it closes; add-ins may keep the services longer.
    void Detach() noexcept { ide_ = nullptr; }

private:
    SimulatedIde* ide_;
};

} // namespace tvx::sim
