// The frame that carries document windows over the code editor's area. It
// never touches the package window it carries; it tells its owner before
// its own window handle goes, and remembers the handle it last had, so the
// owner can take the package window out and put it back in.
#pragma once

#include "host/vcl/Forms.h"

class TTalvixFrame : public TFrame {
    TVX_CLASS(TTalvixFrame, TFrame)

    // Reads the frame's form resource.
    explicit TTalvixFrame(TComponent* AOwner);
    // Raises OnDestroy first; the window handle then goes without
    // OnDestroyWindowHandle.
    ~TTalvixFrame() override;

    TNotifyEvent OnDestroyWindowHandle() const noexcept { return onDestroyWindowHandle_; }
    void SetOnDestroyWindowHandle(const TNotifyEvent& Value) noexcept { onDestroyWindowHandle_ = Value; }
    TNotifyEvent OnDestroy() const noexcept { return onDestroy_; }
    void SetOnDestroy(const TNotifyEvent& Value) noexcept { onDestroy_ = Value; }

    // Records the current handle, creating the window if there is none.
    void UpdateHandleControl();
    // The current handle (created if need be) differs from the recorded one.
    bool IsHandleChanged();

    // True from the start of the frame's destruction on.
    bool Destroying = false;

protected:
    void DestroyWindowHandle() override;

private:
    HWND previousHandle_ = nullptr;
    TNotifyEvent onDestroyWindowHandle_;
    TNotifyEvent onDestroy_;
};
