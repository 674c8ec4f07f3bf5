#pragma once
// The Java thread: it creates the VM, redirects the standard streams, and
// calls the main class's main method with the arguments.

#include <windows.h>

class Launcher;

// Starts the Java thread with the stack size of "-Xss" (or the JVM
// library's default) and waits for it; 0 when main was called and the
// thread detached cleanly, 1 otherwise.
DWORD runJavaThread(Launcher& launcher);

DWORD WINAPI javaThreadBody(LPVOID launcher);

// Finds the main class and calls main; false on any failure before the call
// or when the detach afterwards fails.
bool invokeMain(Launcher& launcher);
