// A package's message handler that does nothing, built in its own file so
// that no caller can see its body: the floor then calls it through the
// vtable, as the root and any caller across a library boundary must.
#pragma once

#include "interop/TalvixBdsInterop.h"

namespace tvx::bench {

// A new handler with no reference yet.
IMessageHandler* NewNullMessageHandler();

} // namespace tvx::bench
