// Finding IDE objects that the Open Tools API does not hand out, by VCL
// class names, component names and captions. No state of their own.
#pragma once

#include "host/vcl/Controls.h"

namespace talvix {

// The Object Inspector's host control: three parents above the first
// "TPropertyInspector" among Application's components; null when there is
// none or the chain is shorter.
TWinControl* FindObjectInspectorHost() noexcept;

} // namespace talvix
