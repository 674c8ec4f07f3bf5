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
// thread id, and the listener makes its message queue first thing. It never
// reads its own ids back from the block, which any process may overwrite. A
// secondary that comes in before both are done finds no listener id, or a
// thread without a queue (posting to it fails), and tries again for a short
// while before it gives up.
//
// Hand-over threads can outlive the primary's SingleInstance: one that waits
// for a main that never started, or one the listener started just before it
// was stopped. They reach the VM only through the HandOverGate, which is
// closed (and the waiting ones woken) before the VM goes away.

#include "launcher/SingleInstance.h"

#include <memory>

#include "base/Argument.h"
#include "base/QuitThread.h"
#include "jvm/JavaCalls.h"

namespace {

// A failed post is tried again for about two seconds (200 times 10 ms).
constexpr int kPostAttempts = 200;
// How long a secondary that cannot watch the primary process waits for its
// arguments to be taken.
constexpr DWORD kTakenWaitWithoutPrimaryMs = 5000;

// A field of the block as the other process last wrote it.
DWORD readShared(const DWORD& field) { return *static_cast<const volatile DWORD*>(&field); }

// One more reference to the gate.
HandOverGateReference shareGate(HandOverGate* gate) {
    InterlockedIncrement(&gate->references);
    return HandOverGateReference(gate);
}

// What one hand-over thread owns.
struct HandOver {
    HandOverGateReference gate;
    UniqueHandle mainStarted;  // its own handle of the primary's event
    UINT messageId = 0;
    DWORD secondaryThreadId = 0;
    std::vector<Argument> arguments;

    void answer(WPARAM value) const { PostThreadMessageA(secondaryThreadId, messageId, value, 0); }
};

DWORD WINAPI handleHandOver(LPVOID parameter) {
    std::unique_ptr<HandOver> handOver(static_cast<HandOver*>(parameter));
    WaitForSingleObject(handOver->mainStarted.get(), INFINITE);

    HandOverTarget target;
    HandOverGate& gate = *handOver->gate.get();
    AcquireSRWLockExclusive(&gate.lock);
    if (gate.open) target = gate.target;
    ReleaseSRWLockExclusive(&gate.lock);

    JavaVM* vm = target.vm;
    JNIEnv* env = nullptr;
    if (!vm || vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return 0;
    SecondaryMain method;
    if (findSecondaryMain(env, target.mainClass, method)) {
        if (jobjectArray array = newJavaStringArray(env, handOver->arguments)) {
            if (method.returnsInt) {
                jint value = env->CallStaticIntMethod(method.mainClass, method.method, array);
                handOver->answer(static_cast<WPARAM>(value));
            } else {
                // The secondary is released before secondaryMain runs.
                handOver->answer(0);
                env->CallStaticVoidMethod(method.mainClass, method.method, array);
            }
        }
    }
    describePendingException(env);
    if (!target.staysAttached) vm->DetachCurrentThread();
    return 0;
}

}  // namespace

SingleInstance::~SingleInstance() { close(); }

SingleInstance::Role SingleInstance::join(const std::string& name) {
    name_ = name;
    // Any failure from here on leaves an ordinary launch; what was created
    // stays open until close().
    SetLastError(0);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SharedBlock), name.c_str());
    // Any error, normally ERROR_ALREADY_EXISTS, makes this a secondary.
    bool primary = GetLastError() == 0;
    mapping_.reset(mapping);
    if (mapping_) view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0));
    if (!view_) return role_ = Role::Off;
    if (!primary) return role_ = Role::Secondary;
    if (!startListener(name)) {
        // Later launches must not find a block whose primary never listens:
        // without it they become ordinary launches too.
        mainStarted_.reset();
        handOverTaken_.reset();
        view_.reset();
        mapping_.reset();
        return role_ = Role::Off;
    }
    return role_ = Role::Primary;
}

bool SingleInstance::startListener(const std::string& name) {
    // Without the start event a hand-over could reach a VM that does not
    // exist yet, and without the taken event secondaries could not take
    // turns: either failure leaves an ordinary launch.
    mainStarted_.reset(CreateEventA(nullptr, TRUE, FALSE, (name + "_upr_evt").c_str()));
    handOverTaken_.reset(CreateEventA(nullptr, FALSE, FALSE, (name + "_handover_taken").c_str()));
    if (!mainStarted_ || !handOverTaken_) return false;
    // The block is written for the secondaries; the primary keeps its own
    // copies, as any process can write the block.
    message_ = RegisterWindowMessageA(name.c_str());
    if (message_ == 0) return false;
    block()->messageId = message_;
    block()->primaryProcessId = GetCurrentProcessId();
    gate_.reset(new HandOverGate);
    listener_.reset(CreateThread(nullptr, 0, &listen, this, 0, &listenerThreadId_));
    block()->listenerThreadId = listenerThreadId_;
    return listener_.valid();
}

DWORD WINAPI SingleInstance::listen(LPVOID parameter) {
    SingleInstance& instance = *static_cast<SingleInstance*>(parameter);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    const UINT messageId = instance.message_;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == messageId) instance.startHandOver(static_cast<DWORD>(message.wParam));
    }
    return 0;
}

// Starts the hand-over of the arguments now in the block; a hand-over that
// cannot be started is dropped.
void SingleInstance::startHandOver(DWORD secondaryThreadId) {
    auto handOver = std::make_unique<HandOver>();
    handOver->messageId = message_;
    handOver->secondaryThreadId = secondaryThreadId;
    // A copy, so that what is read is one state of the area whoever writes it.
    std::uint8_t area[kArgumentAreaSize];
    CopyMemory(area, block()->arguments, sizeof area);
    // The area holds UTF-8, so that every character of an argument arrives.
    for (const std::string& argument : decodeArguments(ConstArgumentArea(area)))
        handOver->arguments.push_back(argumentOfUtf8(argument));
    // The area is free for the next secondary.
    SetEvent(handOverTaken_.get());

    HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, mainStarted_.get(), process, handOver->mainStarted.put(), 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return;
    handOver->gate = shareGate(gate_.get());
    UniqueHandle thread(CreateThread(nullptr, 0, &handleHandOver, handOver.get(), 0, nullptr));
    if (thread) handOver.release();
}

bool SingleInstance::handOver(const std::vector<Argument>& arguments) {
    // The answer is posted to this thread, which needs a message queue for it.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);

    UniqueHandle turn(CreateMutexA(nullptr, FALSE, (name_ + "_handover").c_str()));
    UniqueHandle taken(CreateEventA(nullptr, FALSE, FALSE, (name_ + "_handover_taken").c_str()));
    // WAIT_ABANDONED: the secondary before this one died during its turn.
    if (turn) WaitForSingleObject(turn.get(), INFINITE);
    if (taken) ResetEvent(taken.get());

    std::vector<std::string> utf8;
    for (const Argument& argument : arguments) utf8.push_back(utf8Of(argument));
    bool handedOver = encodeArguments(utf8, ArgumentArea(block()->arguments)) && postHandOver();
    if (handedOver && taken) {
        UniqueHandle primary(OpenProcess(SYNCHRONIZE, FALSE, readShared(block()->primaryProcessId)));
        HANDLE handles[] = {taken.get(), primary.get()};
        WaitForMultipleObjects(primary ? 2 : 1, handles, FALSE,
                               primary ? INFINITE : kTakenWaitWithoutPrimaryMs);
    }
    if (turn) ReleaseMutex(turn.get());
    return handedOver;
}

bool SingleInstance::postHandOver() const {
    const SharedBlock* shared = block();
    for (int attempt = 0;; ++attempt) {
        DWORD listener = readShared(shared->listenerThreadId);
        if (listener && PostThreadMessageA(listener, readShared(shared->messageId), GetCurrentThreadId(), 0))
            return true;
        if (attempt == kPostAttempts) return false;
        Sleep(10);
    }
}

int SingleInstance::waitForPrimary() {
    const SharedBlock* shared = block();
    UniqueHandle primary(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE,
                                     readShared(shared->primaryProcessId)));
    if (!primary) return 0;
    const UINT messageId = readShared(shared->messageId);
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

void SingleInstance::mainStarting(HandOverTarget target) {
    if (role_ != Role::Primary) return;
    AcquireSRWLockExclusive(&gate_.get()->lock);
    gate_.get()->target = std::move(target);
    ReleaseSRWLockExclusive(&gate_.get()->lock);
    SetEvent(mainStarted_.get());
}

void SingleInstance::close() {
    if (role_ == Role::Primary) {
        // No hand-over thread calls into the VM any more; those still
        // waiting for main are woken and end.
        AcquireSRWLockExclusive(&gate_.get()->lock);
        gate_.get()->open = false;
        ReleaseSRWLockExclusive(&gate_.get()->lock);
        SetEvent(mainStarted_.get());

        if (listener_) quitThread(listener_.get(), listenerThreadId_);
    }
    role_ = Role::Off;
    view_.reset();
    mapping_.reset();
    mainStarted_.reset();
}
