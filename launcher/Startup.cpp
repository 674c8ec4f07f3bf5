// The product's entry point, in place of the C runtime's start-up code
// (linked with -nostartfiles). The launcher needs none of what that code
// prepares: no argc/argv, no stdio, no thread-local variables, no signals,
// no atexit, no static constructors (tools/check-product.sh makes sure),
// no data imported from DLLs that would need runtime relocation. It runs
// WinMain and ends the process with its value; the runtime DLLs (msvcrt, and
// the Java runtime's own) initialise themselves when they are loaded. This
// keeps about 9 KB of start-up code and its imports out of the executable.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

// The stack the system starts a 32-bit process with is aligned to 4 bytes
// only; the code after this expects 16.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void launcherStart() {
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT)));
}
