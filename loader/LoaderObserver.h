// A diagnostics hook for hosts that report on package loading (the simulated
// IDE does). The wizard library exports TalvixSetLoaderObserver next to its
// entry; the IDE itself never calls it, and without an observer the loader
// behaves exactly the same. Host and library come from the same build, so
// new members go at the end.
#pragma once

#include "interop/ComBase.h"

#include <cstdint>

extern "C" {

struct TalvixLoaderObserver {
    void* Context;
    // One listed package, in load order, after sorting.
    void (*Listed)(void* context, const char16_t* subkey, const char16_t* displayName, std::int32_t loadOrder,
                   const char* howRead);
    // A subkey that does not parse as a class identifier.
    void (*Skipped)(void* context, const char16_t* subkey, const char* reason);
    // A package created (error null) or not (error holds the message's error text).
    void (*Created)(void* context, const char16_t* subkey, const char16_t* error, double seconds);
    // A call into a package: "Initialize", "OnServicesReady", "Finalize".
    void (*Called)(void* context, const char16_t* subkey, const char* method, double seconds, const char* outcome);
    // Right after a Called whose outcome is "raised": the text of what the package raised.
    void (*Raised)(void* context, const char16_t* subkey, const char* method, const char16_t* text);
    // Where the package list was looked for (a full key path) and what was
    // there: "read", "missing" (no such key) or "empty" (no subkeys).
    void (*ListLookedUp)(void* context, const char16_t* keyPath, const char* found);
    // At terminate, when loaded packages never heard OnServicesReady: what
    // the services were still waiting for, in words.
    void (*NeverReady)(void* context, const char* waitingFor);
};

using TalvixSetLoaderObserverProc = void (*)(const TalvixLoaderObserver* observer);
}
