#pragma once
// Owners of the handles stamp uses beyond those the project's owner
// template already knows.

#include <windows.h>

#include "base/UniqueResource.h"

namespace stamp_traits {
// A module loaded as data, to read its resources.
struct Module {
    using Type = HMODULE;
    static Type invalid() { return nullptr; }
    static void close(Type h) { FreeLibrary(h); }
};
// A resource update that has not been written: released, it is discarded.
struct ResourceUpdate {
    using Type = HANDLE;
    static Type invalid() { return nullptr; }
    static void close(Type h) { EndUpdateResourceW(h, TRUE); }
};
// Memory the system allocated with LocalAlloc (FormatMessage's text).
struct LocalMemory {
    using Type = HLOCAL;
    static Type invalid() { return nullptr; }
    static void close(Type h) { LocalFree(h); }
};
}  // namespace stamp_traits

using UniqueModule = UniqueResource<stamp_traits::Module>;
using UniqueResourceUpdate = UniqueResource<stamp_traits::ResourceUpdate>;
using UniqueLocalMemory = UniqueResource<stamp_traits::LocalMemory>;
