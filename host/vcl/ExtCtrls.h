// Panels: plain windowed containers that group and align other controls.
#pragma once

#include "host/vcl/Controls.h"
#include "host/vcl/IdeApi.h"

class TVX_IDE_API TPanel : public TWinControl {
    TVX_CLASS(TPanel, TWinControl)

    // 185 x 41 pixels, the VCL's default.
    explicit TPanel(TComponent* AOwner = nullptr);
};
