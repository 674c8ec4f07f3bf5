#pragma once
// Ending a thread that runs a message loop (until GetMessage gives WM_QUIT).

#include <windows.h>

// Posts WM_QUIT to the thread until it has ended. It is posted on every
// pass: a thread that has no message queue yet loses the post. Waiting on
// the thread between posts keeps the loop from taking the processor from
// the thread it waits for.
void quitThread(HANDLE thread, DWORD threadId);
