// The floating host of a control, shared by the control sources: a control
// that leaves a floating host empty frees it, as the VCL frees a floating
// dock form whose control went.
#pragma once

class TWinControl;

// Frees the control's former parent when that was its floating host.
void FreeFloatHost(TWinControl* formerParent);
