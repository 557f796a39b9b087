// Export marker of the IDE stand-in library. Classes carry it as a whole so
// that their type information is shared: dynamic_cast and catching an error
// raised in another library rely on one definition of each class.
#pragma once

#if defined(_WIN32)
#define TVX_IDE_API
#else
#define TVX_IDE_API __attribute__((visibility("default")))
#endif
