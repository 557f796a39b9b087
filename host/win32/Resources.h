// Module resources: FindResourceW and the calls that read what it found.
// On Windows the linker puts them into the image from an .rc file; here a
// module registers a table of them while it is loaded (see the form-resource
// build step in cmake/FormResources.cmake), and each module answers only for
// its own, so the same name in two modules never collides.
#pragma once

#include "host/win32/WinTypes.h"

#include <cstddef>

#if !defined(_WIN32)

TVX_DECLARE_HANDLE(HRSRC);
using HGLOBAL = HANDLE;

#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define RT_RCDATA MAKEINTRESOURCEW(10)

#ifndef ERROR_RESOURCE_DATA_NOT_FOUND
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#endif
#ifndef ERROR_RESOURCE_TYPE_NOT_FOUND
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#endif
#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif

// Names and types are compared ignoring case, as Windows does; either may be
// an integer id (MAKEINTRESOURCEW) or its "#123" text. A null module is the
// main program.
TVX_WIN32_API HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
TVX_WIN32_API HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
TVX_WIN32_API DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
TVX_WIN32_API LPVOID LockResource(HGLOBAL hResData);
// Nothing to free: resources are part of the loaded image. Answers FALSE, as Win32 does.
TVX_WIN32_API BOOL FreeResource(HGLOBAL hResData);

// One resource of a module's table. Type and Name are texts or integer ids;
// the table, its names and Data must stay in place until unregistered, as
// they are the module's own static data.
struct TvxResourceEntry {
    LPCWSTR Type;
    LPCWSTR Name;
    const void* Data;
    DWORD Size;
};

// Registers the table for the module its data lie in. FALSE with
// ERROR_INVALID_PARAMETER for an entry without a name, type or data, or with
// data outside any loaded module; ERROR_ALREADY_EXISTS when that module
// already has a resource of the same type and name. Registers all or nothing.
TVX_WIN32_API BOOL TvxRegisterModuleResources(const TvxResourceEntry* table, size_t count);
// Takes the table out again; call it before the module unloads.
TVX_WIN32_API void TvxUnregisterModuleResources(const TvxResourceEntry* table);

#endif
