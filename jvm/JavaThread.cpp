#include "jvm/JavaThread.h"

#include "jvm/JavaCalls.h"
#include "jvm/JvmLibrary.h"
#include "jvm/UncaughtException.h"
#include "launcher/Launcher.h"
#include "ui/MessageReporter.h"

DWORD runJavaThread(Launcher& launcher) {
    if (launcher.javaStackSize == 0) launcher.javaStackSize = defaultJavaStackSize(launcher);
    UniqueHandle thread(CreateThread(nullptr, launcher.javaStackSize, &javaThreadBody, &launcher, 0,
                                     nullptr));
    if (!thread) return javaThreadBody(&launcher);
    WaitForSingleObject(thread.get(), INFINITE);
    DWORD code = 1;
    GetExitCodeThread(thread.get(), &code);
    return code;
}

DWORD WINAPI javaThreadBody(LPVOID parameter) {
    auto* launcher = static_cast<Launcher*>(parameter);
    if (!launcher || !createJavaVm(*launcher)) return 1;
    JNIEnv* env = launcher->jniEnv;
    if (!launcher->outputFilePath.empty() &&
        !redirectStandardStream(env, launcher->outputFilePath, StandardStream::Out))
        describePendingException(env);
    if (!launcher->errorFilePath.empty() &&
        !redirectStandardStream(env, launcher->errorFilePath, StandardStream::Err))
        describePendingException(env);
    return invokeMain(*launcher) ? 0 : 1;
}

namespace {

void showMainClassError(Launcher& launcher, unsigned id, const std::string& name) {
    std::string format;
    loadResourceString(format, id);
    showErrorFormat(launcher.owner(), format, name.c_str());
}

// Reports why main can't be called; false when it can't.
bool reportMainLookup(Launcher& launcher, const MainLookup& lookup) {
    switch (lookup.failure) {
    case MainLookupFailure::None:
        return true;
    case MainLookupFailure::NameNotConvertible:
        showMainClassError(launcher, msg::MainClassLoadFailed, launcher.settings.mainClass);
        return false;
    case MainLookupFailure::ClassNotFound:
        showMainClassError(launcher, msg::MainClassNotFound, lookup.className);
        return false;
    case MainLookupFailure::MainMissing: {
        std::string text;
        loadResourceString(text, msg::MainMethodMissing);
        showError(launcher.owner(), text);
        return false;
    }
    case MainLookupFailure::NameCharsUnavailable:
    case MainLookupFailure::MainMissingDescribed:
        return false;
    }
    return false;
}

// A thread that ends while attached would keep DestroyJavaVM waiting for it
// for ever, so the Java thread detaches on its failure paths too.
bool detachAfterFailure(Launcher& launcher) {
    launcher.javaVm->DetachCurrentThread();
    return false;
}

}  // namespace

bool invokeMain(Launcher& launcher) {
    JNIEnv* env = launcher.jniEnv;
    MainLookup lookup = findMainMethod(env, launcher.settings.mainClass);
    if (!reportMainLookup(launcher, lookup)) return detachAfterFailure(launcher);

    jobjectArray arguments = newJavaStringArray(env, launcher.arguments);
    if (!arguments) {
        env->ExceptionDescribe();
        return detachAfterFailure(launcher);
    }
    // From here on, later launches of a single-instance application are
    // handed to the running application.
    if (launcher.mainStartedEvent) SetEvent(launcher.mainStartedEvent.get());

    env->CallStaticVoidMethod(lookup.mainClass, lookup.main, arguments);

    if (jthrowable exception = env->ExceptionOccurred()) {
        env->ExceptionDescribe();
        launcher.closeSplash();
        if (launcher.settings.failureCheck && handleUncaughtException(launcher, exception, env))
            exitJava(env);
    }

    if (launcher.settings.ibmAllowed || launcher.settings.ibmPreferred) {
        // Only the application's System.exit ends the process.
        for (;;) Sleep(INFINITE);
    }
    return launcher.javaVm->DetachCurrentThread() == JNI_OK;
}
