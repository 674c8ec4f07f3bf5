// The least a program can do to run a Java main class: load the JVM library,
// create the VM with the options it is given, call main with no arguments.
// tools/bench.sh compares the launcher's start-up with this program's.
//
// Built twice: minimal_loader.exe imports nothing but the C runtime and
// kernel32; minimal_gui_loader.exe (WITH_USER32) also imports user32 and
// calls DefWindowProcA first, as a Windows GUI program does, so that it pays
// for user32's start-up (large under Wine) as the launcher does.
//
// Usage: minimal_loader.exe JVM-LIBRARY MAIN-CLASS [VM-OPTION...]
// (MAIN-CLASS in the internal form, com/example/Main.)
#include <windows.h>
#include <jni.h>

using CreateJavaVmEntry = jint(JNICALL*)(JavaVM**, void**, void*);

int main(int argc, char** argv) {
#ifdef WITH_USER32
    DefWindowProcA(nullptr, 0, 0, 0);
#endif
    if (argc < 3) return 2;
    HMODULE library = LoadLibraryA(argv[1]);
    if (!library) return 3;
    auto createJavaVm =
        reinterpret_cast<CreateJavaVmEntry>(GetProcAddress(library, "JNI_CreateJavaVM"));
    if (!createJavaVm) return 4;

    static JavaVMOption options[256];
    int count = 0;
    for (int i = 3; i < argc && count < 256; ++i) options[count++].optionString = argv[i];
    JavaVMInitArgs arguments = {};
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = count;
    arguments.options = options;

    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    if (createJavaVm(&vm, reinterpret_cast<void**>(&env), &arguments) != JNI_OK) return 5;
    jclass mainClass = env->FindClass(argv[2]);
    jmethodID main = mainClass ? env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V")
                               : nullptr;
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray noArguments = stringClass ? env->NewObjectArray(0, stringClass, nullptr) : nullptr;
    if (!main || !noArguments) return 6;
    env->CallStaticVoidMethod(mainClass, main, noArguments);
    int result = env->ExceptionOccurred() ? 1 : 0;
    vm->DetachCurrentThread();
    vm->DestroyJavaVM();
    return result;
}
