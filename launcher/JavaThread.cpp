#include "launcher/JavaThread.h"

#include <optional>

#include "base/Messages.h"
#include "base/UniqueResource.h"
#include "jvm/JavaCalls.h"
#include "ui/ExceptionDialog.h"

namespace {

struct JavaThread {
    const JavaRun& run;
    JavaThreadHost& host;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;

    void show(const Failure& failure) { host.report(failure); }

    // Reports why main can't be called; false when it can't.
    bool reportMainLookup(const MainLookup& lookup) {
        switch (lookup.failure) {
        case MainLookupFailure::None:
            return true;
        case MainLookupFailure::NameNotConvertible:
            show({msg::MainClassLoadFailed, run.application.mainClass});
            return false;
        case MainLookupFailure::ClassNotFound:
            show({msg::MainClassNotFound, lookup.className});
            return false;
        case MainLookupFailure::MainMissing:
            show({msg::MainMethodMissing});
            return false;
        case MainLookupFailure::NameCharsUnavailable:
        case MainLookupFailure::MainMissingDescribed:
            return false;
        }
        return false;
    }

    // A thread that ends while attached would keep DestroyJavaVM waiting for
    // it for ever, so the Java thread detaches on its failure paths too.
    bool detachAfterFailure() {
        vm->DetachCurrentThread();
        return false;
    }

    // Shows the exception's trace; true when the user chose to stop the
    // application. No dialog, and false, when the trace can't be had.
    bool userStops(jthrowable exception) {
        std::wstring text = exceptionText(env, exception);
        if (text.empty()) return false;
        ExceptionDialog dialog(text);
        return dialog.showModal(GetActiveWindow()) != ExceptionDialog::Ignore;
    }

    // Finds the main class and calls main; false on any failure before the
    // call or when the detach afterwards fails.
    bool invokeMain() {
        MainLookup lookup = findMainMethod(env, run.application.mainClass);
        if (!reportMainLookup(lookup)) return detachAfterFailure();

        jobjectArray arguments = newJavaStringArray(env, run.vm.mainArguments);
        if (!arguments) {
            env->ExceptionDescribe();
            return detachAfterFailure();
        }
        // From here on, later launches of a single-instance application are
        // handed to the running application.
        host.mainStarting(vm);

        env->CallStaticVoidMethod(lookup.mainClass, lookup.main, arguments);

        if (jthrowable exception = env->ExceptionOccurred()) {
            env->ExceptionDescribe();
            host.mainThrew();
            if (run.dialogs && run.application.failureCheck && userStops(exception)) exitJava(env);
        }

        if (run.staysAttached) {
            // Only the application's System.exit ends the process.
            for (;;) Sleep(INFINITE);
        }
        return vm->DetachCurrentThread() == JNI_OK;
    }

    DWORD body() {
        for (bool retried = false;; retried = true) {
            std::optional<Failure> failure = createJavaVm(run.library, run.vm.options, vm, env);
            if (!failure) {
                if (retried) host.sharingRefused(true);
                break;
            }
            if (retried) host.sharingRefused(false);
            if (retried || !run.vm.sharingOptions) {
                show(*failure);
                return 1;
            }
            std::vector<std::string>& options = run.vm.options;
            options.erase(options.end() - static_cast<std::ptrdiff_t>(run.vm.sharingOptions), options.end());
        }
        host.vmCreated(vm);
        const VmConfiguration& vm = run.vm;
        if (!vm.outputFile.empty() && !redirectStandardStream(env, {vm.outputFile, vm.outputFileWide}, StandardStream::Out))
            describePendingException(env);
        if (!vm.errorFile.empty() && !redirectStandardStream(env, {vm.errorFile, vm.errorFileWide}, StandardStream::Err))
            describePendingException(env);
        return invokeMain() ? 0 : 1;
    }

    static DWORD WINAPI start(LPVOID self) { return static_cast<JavaThread*>(self)->body(); }
};

}  // namespace

DWORD runJavaThread(const JavaRun& run, JavaThreadHost& host) {
    JavaThread thread{run, host};
    std::uint32_t stackSize = run.vm.stackSize ? run.vm.stackSize : defaultJavaStackSize(run.library);
    UniqueHandle handle(CreateThread(nullptr, stackSize, &JavaThread::start, &thread, 0, nullptr));
    if (!handle) return thread.body();
    WaitForSingleObject(handle.get(), INFINITE);
    DWORD code = 1;
    GetExitCodeThread(handle.get(), &code);
    return code;
}
