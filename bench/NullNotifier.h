// A package's module notifier that does nothing, in its own file for the
// same reason as the null message handler: callers reach it through the
// vtable, as the IDE's wrapper must.
#pragma once

#include "interop/WrappedToolsAPI.h"

namespace tvx::bench {

// A new notifier answering IBDSNotifier and IBDSModuleNotifier, with no
// reference yet.
IBDSNotifier* NewNullNotifier();

} // namespace tvx::bench
