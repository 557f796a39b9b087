// The designer drag-and-drop notifier: for each component put on a form
// designer it asks the packages' drag-and-drop helper providers, in
// registration order, where the component goes.
#pragma once

#include "host/ide/DesignIntf.h"
#include "host/ide/ToolsAPIServices.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

namespace talvix {

class TBdsServices;

class TDragDropDesignerNotifier final : public tvx::Implements<TDragDropDesignerNotifier, IDesignNotification> {
public:
    // The one instance for `root`, registered with the IDE's designers; it
    // holds a reference on itself and is never destroyed.
    static TDragDropDesignerNotifier* Create(TBdsServices& root);

    void ItemDeleted(IDesigner* ADesigner, TPersistent* AItem) override;
    void ItemInserted(IDesigner* ADesigner, TPersistent* AItem) override;
    void ItemsModified(IDesigner* ADesigner) override;
    void SelectionChanged(IDesigner* ADesigner, IDesignerSelections* ASelection) override;
    void DesignerOpened(IDesigner* ADesigner, bool AResurrecting) override;
    void DesignerClosed(IDesigner* ADesigner, bool AGoingDormant) override;

    // Null in a host without module services.
    IOTAModuleServices* ModuleServices() const noexcept { return FModuleServices.get(); }

    // The designers stop calling it; at terminate, as the packages whose
    // providers it asks are about to go.
    void Unregister() noexcept;

private:
    friend class tvx::LifetimeRegistry;
    explicit TDragDropDesignerNotifier(TBdsServices& root);
    ~TDragDropDesignerNotifier() override;

    TBdsServices& root_;
    bool registered_ = false;
    tvx::IntfPtr<IOTAModuleServices> FModuleServices;
};

// The design position word of a component: Top in the high 16 bits, Left in
// the low 16, each as the IDE stores it.
int DesignInfoOf(LONG left, LONG top) noexcept;

} // namespace talvix
