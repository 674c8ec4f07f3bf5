#pragma once
// Owners of the handles stamp uses beyond those the project's owner
// template already knows.

#include <windows.h>

#include "base/UniqueResource.h"

// A module loaded as data, to read its resources.
using UniqueModule = UniqueResource<HMODULE, FreeLibrary>;
// A resource update that has not been written: released, it is discarded.
inline void discardResourceUpdate(HANDLE update) { EndUpdateResourceW(update, TRUE); }
using UniqueResourceUpdate = UniqueResource<HANDLE, discardResourceUpdate>;
// Memory the system allocated with LocalAlloc (FormatMessage's text).
using UniqueLocalMemory = UniqueResource<HLOCAL, LocalFree>;
