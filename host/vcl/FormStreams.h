// Reading a form's binary stream (host/vcl/FilerFormat.h) onto an existing
// component, and finding a form class's stream among its module's
// resources, as the VCL's TReader.ReadRootComponent and InitInheritedComponent.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/IdeApi.h"
#include "host/win32/WinTypes.h"

#include <cstdint>
#include <span>

// Applies the stream's root object to Root: its name (made unique among the
// owner's components with _1, _2, ... as the VCL does for forms; left alone
// while designing) and each property through the published-property tables,
// Font.Height through the Font object. Child objects raise EReadError: the
// class registry holds no constructors to create them with. A malformed or
// truncated stream raises EReadError "Invalid stream format"; a property that
// cannot be set raises EReadError "Error reading Root.Prop: <reason>", with
// the properties before it already applied, as in the VCL.
TVX_IDE_API void ReadRootComponent(std::span<const std::uint8_t> Stream, TComponent* Root);

// The module whose image holds the class's metaclass; null (the main
// program) when none does.
TVX_IDE_API HINSTANCE FindClassHInstance(TClass AClass);

// Reads the RT_RCDATA resource ResName of the module onto Instance; false
// when the module has no such resource.
TVX_IDE_API bool InternalReadComponentRes(const String& ResName, HINSTANCE HInst, TComponent* Instance);

// Reads onto Instance the form resource of each class from RootAncestor's
// child down to Instance's own class, ancestors first, each resource named
// by its class name in upper case and looked up in the class's own module.
// False when none of them has one; the caller then raises EResNotFound with
// Format(SResNotFound, ClassName).
TVX_IDE_API bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
