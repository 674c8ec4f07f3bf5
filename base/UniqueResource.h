#pragma once
// One move-only owner for every kind of Windows handle, and the kinds the
// launcher uses, one line each.

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <utility>

// The owner of one handle: Type is the handle's type, Close the call that
// releases it, Invalid the value that stands for none (0 unless given).
// Each kind of handle is one line below.
template <typename T, auto Close, std::intptr_t Invalid = 0>
class UniqueResource {
public:
    using Type = T;
    static Type invalid() { return reinterpret_cast<Type>(Invalid); }

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
    bool valid() const { return value_ != invalid(); }
    explicit operator bool() const { return valid(); }

    Type release() { return std::exchange(value_, invalid()); }
    void reset(Type value = invalid()) {
        Type old = std::exchange(value_, value);
        if (old != invalid()) Close(old);
    }
    // For out-parameters of Win32 calls; the current value is released first.
    Type* put() {
        reset();
        return &value_;
    }

private:
    Type value_ = invalid();
};

// Releases that need more than the handle.
inline void freeHeapBlock(void* block) { HeapFree(GetProcessHeap(), 0, block); }
template <typename Interface>
void releaseReference(Interface* reference) { reference->Release(); }

using UniqueHandle = UniqueResource<HANDLE, CloseHandle>;
using UniqueFile = UniqueResource<HANDLE, CloseHandle, -1>;  // INVALID_HANDLE_VALUE
using UniqueFindHandle = UniqueResource<HANDLE, FindClose, -1>;
using UniqueRegKey = UniqueResource<HKEY, RegCloseKey>;
using UniqueMappedView = UniqueResource<void*, UnmapViewOfFile>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, DeleteObject>;
using UniqueCursor = UniqueResource<HCURSOR, DestroyCursor>;
using UniqueGlobalMemory = UniqueResource<HGLOBAL, GlobalFree>;
using UniqueHeapMemory = UniqueResource<void*, freeHeapBlock>;
using UniqueMemoryDc = UniqueResource<HDC, DeleteDC>;
using UniqueWindowHandle = UniqueResource<HWND, DestroyWindow>;
// Memory the shell hands out (item id lists); CoTaskMemFree from ole32.
using UniqueCoTaskMemory = UniqueResource<void*, CoTaskMemFree>;
// One reference to a COM interface.
template <typename Interface>
using UniqueCom = UniqueResource<Interface*, releaseReference<Interface>>;

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
