// Objects that live until the process ends. Kept here because the win32
// stand-in is never unloaded, unlike the wizard library that makes them.
#include "interop/ComBase.h"

#include <mutex>
#include <vector>

namespace tvx::win32 {

void KeepForProcessLifetime(const void* object)
{
    static std::mutex* lock = new std::mutex();
    static std::vector<const void*>* kept = new std::vector<const void*>();
    std::lock_guard guard(*lock);
    kept->push_back(object);
}

} // namespace tvx::win32
