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
