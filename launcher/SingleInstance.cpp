// Single-instance mode. The first launch of an executable, the primary, runs
// the Java application. Every later launch of the same executable while the
// primary lives, a secondary, hands its arguments over to the primary, whose
// main class receives them in its static secondaryMain on a thread of its
// own; the secondary then ends with the value the primary sends back, or with
// the primary's exit code when the primary ends first.
//
// The launches meet through objects named after the executable's path (its
// instance name): the shared block (SingleInstance.h), a window message
// registered under that name, posted to threads in both directions, and in
// the primary the manual-reset event name + "_upr_evt", set just before main
// is called. Hand-overs wait for it, so secondaryMain never runs before main
// has been entered.
//
// One argument area serves every hand-over, so secondaries take turns: a
// secondary holds the named mutex name + "_handover" from before it writes
// the area until the primary has copied the arguments out. The primary's
// listener copies them as soon as the hand-over message arrives, not when the
// hand-over thread gets to run (which is only once main is about to be
// called), and then sets the auto-reset event name + "_handover_taken". The
// secondary waits for that event, or for the primary process to end, and
// then releases the mutex (only the thread that owns a mutex can release
// it). A secondary that dies while it holds the mutex leaves it abandoned;
// the next one takes it over and goes on. Every hand-over carries the
// secondary's thread id, so each secondary gets its own answer.
//
// The primary fills the block in the order message id, process id, listener
// thread id, and the listener makes its message queue first thing. A
// secondary that comes in before both are done finds no listener id, or a
// thread without a queue (posting to it fails), and tries again for a short
// while before it gives up.
//
// Hand-over threads can outlive the Launcher: one that waits for a main that
// never started, or one the listener started just before it was stopped.
// They read the Launcher only through the HandOverGate, which the Launcher
// closes (and then wakes the waiting ones) before its objects go away.

#include "launcher/Launcher.h"

#include <cstring>
#include <memory>

#include "jvm/JavaCalls.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPaths.h"
#include "launcher/AnsiText.h"

namespace {

// A failed post is tried again for about two seconds (200 times 10 ms).
constexpr int kPostAttempts = 200;
// How long a secondary that cannot watch the primary process waits for its
// arguments to be taken.
constexpr DWORD kTakenWaitWithoutPrimaryMs = 5000;

// A field of the block as the other process last wrote it.
DWORD readShared(const DWORD& field) { return *static_cast<const volatile DWORD*>(&field); }

// What one hand-over thread owns.
struct HandOver {
    Launcher* launcher = nullptr;
    HandOverGateReference gate;
    UniqueHandle mainStarted;  // its own handle of the Launcher's event
    UINT messageId = 0;
    DWORD secondaryThreadId = 0;
    std::vector<std::string> arguments;

    void answer(WPARAM value) const { PostThreadMessageA(secondaryThreadId, messageId, value, 0); }
};

DWORD WINAPI handleHandOver(LPVOID parameter) {
    std::unique_ptr<HandOver> handOver(static_cast<HandOver*>(parameter));
    WaitForSingleObject(handOver->mainStarted.get(), INFINITE);

    JavaVM* vm = nullptr;
    std::string mainClass;
    bool stayAttached = false;
    HandOverGate& gate = *handOver->gate.get();
    AcquireSRWLockExclusive(&gate.lock);
    if (gate.open) {
        const Launcher& launcher = *handOver->launcher;
        vm = launcher.javaVm;
        mainClass = launcher.settings.mainClass;
        // Threads that may run the IBM runtime stay attached, as the Java
        // thread does.
        stayAttached = launcher.settings.ibmAllowed || launcher.settings.ibmPreferred;
    }
    ReleaseSRWLockExclusive(&gate.lock);

    JNIEnv* env = nullptr;
    if (!vm || vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return 0;
    SecondaryMain target;
    if (findSecondaryMain(env, mainClass, target)) {
        if (jobjectArray array = newJavaStringArray(env, handOver->arguments)) {
            if (target.returnsInt) {
                jint value = env->CallStaticIntMethod(target.mainClass, target.method, array);
                handOver->answer(static_cast<WPARAM>(value));
            } else {
                // The secondary is released before secondaryMain runs.
                handOver->answer(0);
                env->CallStaticVoidMethod(target.mainClass, target.method, array);
            }
        }
    }
    describePendingException(env);
    if (!stayAttached) vm->DetachCurrentThread();
    return 0;
}

// Starts the hand-over of the arguments now in the block; false when it is
// dropped.
bool startHandOver(Launcher& launcher, DWORD secondaryThreadId) {
    auto handOver = std::make_unique<HandOver>();
    handOver->launcher = &launcher;
    handOver->messageId = launcher.sharedBlock()->messageId;
    handOver->secondaryThreadId = secondaryThreadId;
    handOver->arguments = launcher.readHandedOverArguments();
    // The area is free for the next secondary.
    SetEvent(launcher.handOverTakenEvent.get());

    HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, launcher.mainStartedEvent.get(), process,
                         handOver->mainStarted.put(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    handOver->gate = shareGate(launcher.handOverGate.get());
    UniqueHandle thread(CreateThread(nullptr, 0, &handleHandOver, handOver.get(), 0, nullptr));
    if (!thread) return false;
    handOver.release();
    return true;
}

DWORD WINAPI listenerThreadMain(LPVOID parameter) {
    Launcher& launcher = *static_cast<Launcher*>(parameter);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    const UINT messageId = launcher.sharedBlock()->messageId;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == messageId)
            startHandOver(launcher, static_cast<DWORD>(message.wParam));
    }
    return 0;
}

}  // namespace

bool encodeArguments(const std::vector<std::string>& arguments, ArgumentArea area) {
    std::size_t needed = 1;
    for (const std::string& argument : arguments) {
        needed += argument.size() + 1;
        if (needed > area.size()) return false;
    }
    std::memset(area.data(), 0, area.size());
    std::size_t at = 0;
    for (const std::string& argument : arguments) {
        std::memcpy(area.data() + at, argument.data(), argument.size());
        at += argument.size() + 1;
    }
    return true;
}

std::vector<std::string> decodeArguments(ConstArgumentArea area) {
    std::vector<std::string> arguments;
    std::string current;
    for (std::size_t p = 0; p + 1 < area.size(); ++p) {
        if (area[p] != 0) {
            current += static_cast<char>(area[p]);
            continue;
        }
        arguments.push_back(current);
        if (area[p + 1] == 0) break;
        current.clear();
    }
    return arguments;
}

std::string instanceNameFor(const std::string& modulePath) {
    return ansi::replaceAll(modulePath, '\\', '_');
}

bool singleInstanceRequested(const std::string& settingsPath) {
    SettingsFile file(settingsPath, "");
    // A service never runs in single-instance mode.
    if (lstrcmpA(file.lookup(section::Application, "Application Type").c_str(), "service") == 0)
        return false;
    return file.lookup(section::Application, "Single Instance") == "yes";
}

bool Launcher::setUpSingleInstance() {
    std::string settingsPath;
    if (!settingsFilePath(settingsPath, messageOwner())) return false;
    if (!singleInstanceRequested(settingsPath)) return true;
    std::string path;
    if (!modulePath(path, messageOwner())) return false;
    const std::string name = instanceNameFor(path);
    singleInstanceEnabled = true;

    // Any failure from here on leaves an ordinary launch; what was created
    // stays open until the Launcher goes.
    SetLastError(0);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SharedBlock), name.c_str());
    // Any error, normally ERROR_ALREADY_EXISTS, makes this a secondary.
    isPrimaryInstance = GetLastError() == 0;
    sharedBlockMapping.reset(mapping);
    if (sharedBlockMapping)
        sharedBlockView.reset(MapViewOfFile(sharedBlockMapping.get(), FILE_MAP_WRITE, 0, 0, 0));
    if (!sharedBlockView) {
        singleInstanceEnabled = false;
        return true;
    }
    if (!isPrimaryInstance) return handOverToPrimary(name);
    if (!startListener(name)) singleInstanceEnabled = false;
    return true;
}

bool Launcher::startListener(const std::string& name) {
    // Without the start event a hand-over could reach a VM that does not
    // exist yet, and without the taken event secondaries could not take
    // turns: either failure leaves an ordinary launch.
    mainStartedEvent.reset(CreateEventA(nullptr, TRUE, FALSE, (name + "_upr_evt").c_str()));
    handOverTakenEvent.reset(
        CreateEventA(nullptr, FALSE, FALSE, (name + "_handover_taken").c_str()));
    if (!mainStartedEvent || !handOverTakenEvent) return false;
    SharedBlock* block = sharedBlock();
    block->messageId = RegisterWindowMessageA(name.c_str());
    if (block->messageId == 0) return false;
    block->primaryProcessId = GetCurrentProcessId();
    handOverGate.reset(new HandOverGate);
    // The thread's creation writes its id straight into the block.
    listenerThread.reset(
        CreateThread(nullptr, 0, &listenerThreadMain, this, 0, &block->listenerThreadId));
    return listenerThread.valid();
}

bool Launcher::handOverToPrimary(const std::string& name) {
    // The answer is posted to this thread, which needs a message queue for it.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);

    UniqueHandle turn(CreateMutexA(nullptr, FALSE, (name + "_handover").c_str()));
    UniqueHandle taken(CreateEventA(nullptr, FALSE, FALSE, (name + "_handover_taken").c_str()));
    // WAIT_ABANDONED: the secondary before this one died during its turn.
    if (turn) WaitForSingleObject(turn.get(), INFINITE);
    if (taken) ResetEvent(taken.get());

    bool handedOver = handOverArguments() && postHandOver();
    if (handedOver && taken) {
        UniqueHandle primary(
            OpenProcess(SYNCHRONIZE, FALSE, readShared(sharedBlock()->primaryProcessId)));
        HANDLE handles[] = {taken.get(), primary.get()};
        WaitForMultipleObjects(primary ? 2 : 1, handles, FALSE,
                               primary ? INFINITE : kTakenWaitWithoutPrimaryMs);
    }
    if (turn) ReleaseMutex(turn.get());
    return handedOver;
}

bool Launcher::handOverArguments() {
    return encodeArguments(arguments, ArgumentArea(sharedBlock()->arguments));
}

bool Launcher::postHandOver() const {
    const SharedBlock* block = sharedBlock();
    for (int attempt = 0;; ++attempt) {
        DWORD listener = readShared(block->listenerThreadId);
        if (listener &&
            PostThreadMessageA(listener, readShared(block->messageId), GetCurrentThreadId(), 0))
            return true;
        if (attempt == kPostAttempts) return false;
        Sleep(10);
    }
}

std::vector<std::string> Launcher::readHandedOverArguments() const {
    return decodeArguments(ConstArgumentArea(sharedBlock()->arguments));
}

int Launcher::waitForPrimary() {
    const SharedBlock* block = sharedBlock();
    UniqueHandle primary(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE,
                                     readShared(block->primaryProcessId)));
    if (!primary) return 0;
    const UINT messageId = readShared(block->messageId);
    HANDLE process = primary.get();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == messageId) return static_cast<int>(message.wParam);
        }
        // The ended process, not its exit code, tells: a primary may end
        // with 259, the value that stands for "still running".
        if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) {
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            return static_cast<int>(code);
        }
        MsgWaitForMultipleObjects(1, &process, FALSE, 100, QS_ALLINPUT);
    }
}

void Launcher::tearDownSingleInstance() {
    if (!singleInstanceEnabled) return;
    if (isPrimaryInstance) {
        // No hand-over thread reads this Launcher any more; those still
        // waiting for main are woken and end.
        AcquireSRWLockExclusive(&handOverGate.get()->lock);
        handOverGate.get()->open = false;
        ReleaseSRWLockExclusive(&handOverGate.get()->lock);
        SetEvent(mainStartedEvent.get());

        if (listenerThread) {
            DWORD id = sharedBlock()->listenerThreadId;
            DWORD code = STILL_ACTIVE;
            do {
                PostThreadMessageA(id, WM_QUIT, 0, 0);
                WaitForSingleObject(listenerThread.get(), 10);
                if (!GetExitCodeThread(listenerThread.get(), &code)) break;
            } while (code == STILL_ACTIVE);
        }
    }
    sharedBlockView.reset();
    sharedBlockMapping.reset();
}
