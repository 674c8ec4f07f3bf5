// Linked into the product executables only. Allocation failure and the
// standard library's error paths end the process instead of throwing: with
// no exceptions in the product, this keeps the C++ exception runtime (and the
// demangler and printf code it drags in) out of the executable.

#include <windows.h>

#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void fatal() { ExitProcess(static_cast<UINT>(-1)); }

void* allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) fatal();
    return p;
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace std {
void __throw_length_error(const char*) { fatal(); }
void __throw_logic_error(const char*) { fatal(); }
void __throw_out_of_range(const char*) { fatal(); }
void __throw_out_of_range_fmt(const char*, ...) { fatal(); }
void __throw_bad_alloc() { fatal(); }
void __throw_bad_array_new_length() { fatal(); }
void __throw_invalid_argument(const char*) { fatal(); }
}  // namespace std

// The first call of a delay-loaded function (cmake/DelayLoad.cmake) comes
// here through the import library's stub: the DLL is loaded once, the
// function looked up by name or ordinal and written into its import address
// slot, where later calls find it. A system DLL or function that is missing
// raises the usual delay-load exception (the process ends). This takes the
// place of the toolchain's helper, which brings functions the product never
// calls.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
struct DelayDescriptor {  // the toolchain writes relative addresses (attribute 1)
    DWORD attributes;
    DWORD dllName;
    DWORD module;
    DWORD addressTable;
    DWORD nameTable;
    DWORD boundTable;
    DWORD unloadTable;
    DWORD timeStamp;
};

template <typename T>
T* atRva(DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<char*>(&__ImageBase) + rva);
}

[[noreturn]] void delayLoadFailed(DWORD error) {
    const DWORD visualCpp = 0x6D;  // the facility of delay-load exceptions
    RaiseException(ERROR_SEVERITY_ERROR | (visualCpp << 16) | error, 0, 0, nullptr);
    fatal();
}
}  // namespace

extern "C" FARPROC WINAPI __delayLoadHelper2(const DelayDescriptor* descriptor, FARPROC* slot) {
    auto* handle = atRva<HMODULE>(descriptor->module);
    HMODULE module = *handle;
    if (!module) {
        module = LoadLibraryA(atRva<const char>(descriptor->dllName));
        if (!module) delayLoadFailed(ERROR_MOD_NOT_FOUND);
        // Another thread may have loaded it meanwhile: one reference stays.
        if (InterlockedExchangePointer(reinterpret_cast<void**>(handle), module)) FreeLibrary(module);
    }
    std::size_t index = static_cast<std::size_t>(slot - atRva<FARPROC>(descriptor->addressTable));
    const IMAGE_THUNK_DATA& name = atRva<IMAGE_THUNK_DATA>(descriptor->nameTable)[index];
    const char* which = IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal)
                            ? MAKEINTRESOURCEA(IMAGE_ORDINAL(name.u1.Ordinal))
                            : atRva<IMAGE_IMPORT_BY_NAME>(static_cast<DWORD>(name.u1.AddressOfData))->Name;
    FARPROC function = GetProcAddress(module, which);
    if (!function) delayLoadFailed(ERROR_PROC_NOT_FOUND);
    *slot = function;
    return function;
}
