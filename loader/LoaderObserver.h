// A diagnostics hook for hosts that report on package loading (the simulated
// IDE does). The wizard library exports TalvixSetLoaderObserver next to its
// entry; the IDE itself never calls it, and without an observer the loader
// behaves exactly the same.
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
};

using TalvixSetLoaderObserverProc = void (*)(const TalvixLoaderObserver* observer);
}
