#pragma once
// One move-only owner for every kind of Windows handle. The traits name the
// handle type, its invalid value and the call that releases it.

#include <windows.h>
#include <objbase.h>

#include <utility>

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    Type get() const { return value_; }
    bool valid() const { return value_ != Traits::invalid(); }
    explicit operator bool() const { return valid(); }

    Type release() { return std::exchange(value_, Traits::invalid()); }
    void reset(Type value = Traits::invalid()) {
        Type old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }
    // For out-parameters of Win32 calls; the current value is released first.
    Type* put() {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::invalid();
};

namespace handle_traits {
struct Kernel {
    using Type = HANDLE;
    static Type invalid() { return nullptr; }
    static void close(Type h) { CloseHandle(h); }
};
struct File {
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { CloseHandle(h); }
};
struct FindFile {
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { FindClose(h); }
};
struct RegistryKey {
    using Type = HKEY;
    static Type invalid() { return nullptr; }
    static void close(Type h) { RegCloseKey(h); }
};
struct MappedView {
    using Type = void*;
    static Type invalid() { return nullptr; }
    static void close(Type p) { UnmapViewOfFile(p); }
};
struct GdiObject {
    using Type = HGDIOBJ;
    static Type invalid() { return nullptr; }
    static void close(Type h) { DeleteObject(h); }
};
struct Cursor {
    using Type = HCURSOR;
    static Type invalid() { return nullptr; }
    static void close(Type h) { DestroyCursor(h); }
};
struct GlobalMemory {
    using Type = HGLOBAL;
    static Type invalid() { return nullptr; }
    static void close(Type h) { GlobalFree(h); }
};
struct HeapMemory {
    using Type = void*;
    static Type invalid() { return nullptr; }
    static void close(Type p) { HeapFree(GetProcessHeap(), 0, p); }
};
struct MemoryDc {
    using Type = HDC;
    static Type invalid() { return nullptr; }
    static void close(Type h) { DeleteDC(h); }
};
// One reference to a COM interface.
template <typename Interface>
struct ComReference {
    using Type = Interface*;
    static Type invalid() { return nullptr; }
    static void close(Type p) { p->Release(); }
};
struct WindowHandle {
    using Type = HWND;
    static Type invalid() { return nullptr; }
    static void close(Type h) { DestroyWindow(h); }
};
// Memory the shell hands out (item id lists); CoTaskMemFree from ole32.
struct CoTaskMemory {
    using Type = void*;
    static Type invalid() { return nullptr; }
    static void close(Type p) { CoTaskMemFree(p); }
};
}  // namespace handle_traits

using UniqueHandle = UniqueResource<handle_traits::Kernel>;
using UniqueFile = UniqueResource<handle_traits::File>;
using UniqueFindHandle = UniqueResource<handle_traits::FindFile>;
using UniqueRegKey = UniqueResource<handle_traits::RegistryKey>;
using UniqueMappedView = UniqueResource<handle_traits::MappedView>;
using UniqueGdiObject = UniqueResource<handle_traits::GdiObject>;
using UniqueCursor = UniqueResource<handle_traits::Cursor>;
using UniqueGlobalMemory = UniqueResource<handle_traits::GlobalMemory>;
using UniqueHeapMemory = UniqueResource<handle_traits::HeapMemory>;
using UniqueMemoryDc = UniqueResource<handle_traits::MemoryDc>;
template <typename Interface>
using UniqueCom = UniqueResource<handle_traits::ComReference<Interface>>;

// The device context of a window (GetDC), released with its window.
class UniqueWindowDc {
public:
    explicit UniqueWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~UniqueWindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    UniqueWindowDc(const UniqueWindowDc&) = delete;
    UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context until the end of the scope, when
// the previous one is selected back.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
using UniqueWindowHandle = UniqueResource<handle_traits::WindowHandle>;
using UniqueCoTaskMemory = UniqueResource<handle_traits::CoTaskMemory>;
