#pragma once
// The Java thread: it creates the VM, redirects the standard streams, and
// calls the main class's main method with the arguments. An exception that
// escapes main is shown in the "Java Exception" dialog when the settings ask
// for it and the launcher shows dialogs (it is no console program).

#include <windows.h>
#include <jni.h>

#include "base/Messages.h"
#include "jvm/JvmLibrary.h"
#include "jvm/VmOptions.h"
#include "settings/LauncherSettings.h"

// What the Java thread runs: the loaded library, the VM configuration (when
// the VM refuses to start with class data sharing's options, the last
// vm.sharingOptions, they are dropped and it is created again) and how the
// application runs.
struct JavaRun {
    const JvmLibrary& library;
    VmConfiguration& vm;
    const ApplicationSettings& application;
    bool staysAttached = false;  // after main the thread sleeps for ever (IBM)
    bool dialogs = true;         // the "Java Exception" dialog may be shown
};

// The launcher's side of the Java thread.
class JavaThreadHost {
public:
    // Tells the user why the launch stops.
    virtual void report(const Failure& failure) = 0;
    // The VM exists; it is destroyed by the host.
    virtual void vmCreated(JavaVM* vm) = 0;
    // main is about to be called.
    virtual void mainStarting(JavaVM* vm) = 0;
    // main has thrown: the splash window goes before anything is shown.
    virtual void mainThrew() = 0;
    // The VM refused to start with class data sharing's options; started:
    // it started without them (else it failed without them too, and the
    // options are not to blame).
    virtual void sharingRefused(bool started) = 0;

protected:
    ~JavaThreadHost() = default;
};

// Starts the Java thread with the stack size of "-Xss" (or the JVM library's
// default) and waits for it; 0 when main was called and the thread detached
// cleanly, 1 otherwise.
DWORD runJavaThread(const JavaRun& run, JavaThreadHost& host);
