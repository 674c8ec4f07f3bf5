#include "base/QuitThread.h"

void quitThread(HANDLE thread, DWORD threadId) {
    DWORD code = STILL_ACTIVE;
    do {
        PostThreadMessageA(threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 10);
        if (!GetExitCodeThread(thread, &code)) break;
    } while (code == STILL_ACTIVE);
}
