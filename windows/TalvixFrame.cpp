#include "windows/TalvixFrame.h"

#include "host/vcl/TypInfo.h"

TVX_DEFINE_CLASS(TTalvixFrame)

TTalvixFrame::TTalvixFrame(TComponent* AOwner) : TFrame(AOwner)
{
    Destroying = false;
    InitInheritedForm(this, ClassOf<TFrame>());
}

TTalvixFrame::~TTalvixFrame()
{
    TNotifyEvent handler = onDestroy_;
    handler(this);
    Destroying = true;
    // Here, not in the base destructor, so that the override below still runs.
    DestroyHandle();
}

void TTalvixFrame::DestroyWindowHandle()
{
    if (!Destroying) {
        TNotifyEvent handler = onDestroyWindowHandle_;
        handler(this);
    }
    TFrame::DestroyWindowHandle();
}

void TTalvixFrame::UpdateHandleControl() { previousHandle_ = Handle(); }

bool TTalvixFrame::IsHandleChanged() { return Handle() != previousHandle_; }
