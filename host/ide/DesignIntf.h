// The form designer as add-ins see it: the designer of one form, and the
// design notifications the IDE sends to every registered listener when
// items are inserted, deleted or modified and designers open or close.
// Host interfaces in the IDE's own calling convention; an error a listener
// raises leaves the notification towards the designer that sent it.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/IdeApi.h"
#include "interop/Guid.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

#include <vector>

TVX_DECLARE_INTERFACE(IDesignerSelections, "{7ED7BF30-E349-11D3-AB4A-00C04FB17A72}")
TVX_DECLARE_INTERFACE(IDesigner, "{93F3FCBC-968E-45A9-9641-609E8FB3AC60}")
TVX_DECLARE_INTERFACE(IDesignNotification, "{E8C9F739-5601-4ADD-9D95-594132D4CEFD}")

// The objects selected on a designer.
struct IDesignerSelections : IUnknown {
    virtual int Count() = 0;
    virtual TPersistent* Get(int Index) = 0;
};

struct IDesigner : IUnknown {
    // The form (or data module) being designed.
    virtual TComponent* GetRoot() = 0;
    // Tells the IDE that the form changed, so its module is marked modified.
    virtual void Modified() = 0;
};

struct IDesignNotification : IUnknown {
    virtual void ItemDeleted(IDesigner* ADesigner, TPersistent* AItem) = 0;
    virtual void ItemInserted(IDesigner* ADesigner, TPersistent* AItem) = 0;
    virtual void ItemsModified(IDesigner* ADesigner) = 0;
    virtual void SelectionChanged(IDesigner* ADesigner, IDesignerSelections* ASelection) = 0;
    virtual void DesignerOpened(IDesigner* ADesigner, bool AResurrecting) = 0;
    virtual void DesignerClosed(IDesigner* ADesigner, bool AGoingDormant) = 0;
};

// The IDE keeps a reference on each listener until it is unregistered.
// Registering a listener twice has it notified once.
TVX_IDE_API void RegisterDesignNotification(IDesignNotification* DesignNotification);
TVX_IDE_API void UnregisterDesignNotification(IDesignNotification* DesignNotification);
// The registered listeners, in registration order.
TVX_IDE_API std::vector<tvx::IntfPtr<IDesignNotification>> DesignNotifications();
