// The test runtime driven through its exports and JNI tables the way the
// launcher drives it: in this process (one private copy of the library per
// case, since each copy holds one VM) and, for what ends a process, in a
// child process that runs one of the Child.DISABLED_ scenarios below.
#include <gtest/gtest.h>
#include <windows.h>

#include <jni.h>

#include <cstring>
#include <functional>

#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

using CreateJavaVM = jint(JNICALL*)(JavaVM**, void**, void*);
using GetDefaultArgs = jint(JNICALL*)(void*);

constexpr int kFaultExitCode = 0x0BADC0DE;

struct JDK1_1InitArgs {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
    jint minHeapSize;
    jint maxHeapSize;
    jint verifyMode;
    char* classpath;
    void* hooks[3];
    jint enableClassGC;
    jint enableVerboseGC;
    jint disableAsyncGC;
    jint verbose;
    jboolean debugging;
    jint debugPort;
};

struct Runtime {
    HMODULE module = nullptr;
    CreateJavaVM create = nullptr;
    GetDefaultArgs defaults = nullptr;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
};

// Loads a private copy of a built library that traces into traceFile.
Runtime loadRuntime(const TestFolder& folder, const std::string& copyName,
                    const std::string& traceFile, const char* built = "testjvm.dll") {
    folder.copyFromBuild(built, copyName);
    SetEnvironmentVariableA("TESTJVM_TRACE", traceFile.c_str());
    Runtime runtime;
    runtime.module = LoadLibraryA(folder.file(copyName).c_str());
    SetEnvironmentVariableA("TESTJVM_TRACE", nullptr);
    if (!runtime.module) throw std::runtime_error("cannot load " + copyName);
    runtime.create =
        reinterpret_cast<CreateJavaVM>(GetProcAddress(runtime.module, "JNI_CreateJavaVM"));
    runtime.defaults = reinterpret_cast<GetDefaultArgs>(
        GetProcAddress(runtime.module, "JNI_GetDefaultJavaVMInitArgs"));
    return runtime;
}

jint createVm(Runtime& runtime, const std::vector<std::string>& options,
              jint version = JNI_VERSION_1_2, bool ignoreUnrecognized = false) {
    std::vector<JavaVMOption> list;
    for (const std::string& option : options)
        list.push_back({const_cast<char*>(option.c_str()), nullptr});
    JavaVMInitArgs args{version, static_cast<jint>(list.size()), list.data(),
                        static_cast<jboolean>(ignoreUnrecognized)};
    return runtime.create(&runtime.vm, reinterpret_cast<void**>(&runtime.env), &args);
}

// Runs body on a new thread with the given stack reserve and waits for it.
void runOnThread(const std::function<void()>& body, DWORD stackReserve = 0) {
    auto start = [](void* parameter) -> DWORD {
        (*static_cast<const std::function<void()>*>(parameter))();
        return 0;
    };
    HANDLE thread = CreateThread(nullptr, stackReserve, start, const_cast<std::function<void()>*>(&body),
                                 stackReserve ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

// --- what the launcher does through JNI ---

jstring newJavaString(JNIEnv* env, const std::string& text) {
    jclass cls = env->FindClass("java/lang/String");
    jmethodID init = env->GetMethodID(cls, "<init>", "([B)V");
    jbyteArray bytes = env->NewByteArray(static_cast<jsize>(text.size()));
    env->SetByteArrayRegion(bytes, 0, static_cast<jsize>(text.size()),
                            reinterpret_cast<const jbyte*>(text.data()));
    auto string = static_cast<jstring>(env->NewObject(cls, init, bytes));
    env->DeleteLocalRef(bytes);
    env->DeleteLocalRef(cls);
    return string;
}

jobjectArray newStringArray(JNIEnv* env, const std::vector<std::string>& texts) {
    jclass cls = env->FindClass("java/lang/String");
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(texts.size()), cls, nullptr);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        jstring element = newJavaString(env, texts[i]);
        env->SetObjectArrayElement(array, static_cast<jsize>(i), element);
        env->DeleteLocalRef(element);
    }
    return array;
}

bool redirect(JNIEnv* env, const std::string& path, const char* setter) {
    jstring name = newJavaString(env, path);
    jclass fileClass = env->FindClass("java/io/FileOutputStream");
    jobject file = env->NewObject(fileClass, env->GetMethodID(fileClass, "<init>", "(Ljava/lang/String;)V"), name);
    if (!file) return false;
    jclass printClass = env->FindClass("java/io/PrintStream");
    jobject print = env->NewObject(printClass, env->GetMethodID(printClass, "<init>", "(Ljava/io/OutputStream;)V"), file);
    jclass system = env->FindClass("java/lang/System");
    env->CallStaticVoidMethod(system, env->GetStaticMethodID(system, setter, "(Ljava/io/PrintStream;)V"), print);
    return !env->ExceptionOccurred();
}

std::string exceptionText(JNIEnv* env, jthrowable exception) {
    jclass sinkClass = env->FindClass("java/io/ByteArrayOutputStream");
    jobject sink = env->NewObject(sinkClass, env->GetMethodID(sinkClass, "<init>", "()V"));
    jclass printClass = env->FindClass("java/io/PrintStream");
    jobject print = env->NewObject(printClass, env->GetMethodID(printClass, "<init>", "(Ljava/io/OutputStream;)V"), sink);
    jmethodID printStackTrace = env->GetMethodID(env->GetObjectClass(exception), "printStackTrace",
                                                 "(Ljava/io/PrintStream;)V");
    env->CallObjectMethod(exception, printStackTrace, print);
    jmethodID toString = env->GetMethodID(env->GetObjectClass(sink), "toString", "()Ljava/lang/String;");
    auto text = static_cast<jstring>(env->CallObjectMethod(sink, toString));
    const char* chars = env->GetStringUTFChars(text, nullptr);
    std::string result = chars;
    env->ReleaseStringUTFChars(text, chars);
    return result;
}

// The first line of the pending exception's stack trace; clears it.
std::string takePending(JNIEnv* env) {
    jthrowable pending = env->ExceptionOccurred();
    if (!pending) return "";
    env->ExceptionClear();
    std::string text = exceptionText(env, pending);
    env->DeleteLocalRef(pending);
    return text.substr(0, text.find("\r\n"));
}

std::size_t indexOf(const Trace& trace, const std::string& name) {
    auto names = trace.names();
    return std::find(names.begin(), names.end(), name) - names.begin();
}

TEST(TestRuntime, RunsMainAsTheLauncherDoesAndDestroyWaitsForThreads) {
    TestFolder folder("testjvm-launch");
    folder.write("classes\\com\\example\\Main.class",
                 "main\n    out to the file \xe9\n    thread until testjvm-launch-stop\n    env TESTJVM_CASE\n");
    folder.write("app.jar", "#testjvm-jar\nclass com/example/Other\nmain\n");
    std::string traceFile = folder.file("trace.txt");
    Runtime runtime = loadRuntime(folder, "jvm-launch.dll", traceFile);
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, "testjvm-launch-stop");
    SetEnvironmentVariableA("TESTJVM_CASE", "caf\xe9");
    const std::vector<std::string> options{
        "-Djava.class.path=" + folder.file("app.jar") + ";" + folder.file("classes"), "-Xmx64m",
        "-Dtext=two words \xe9\t\\"};

    // The Java thread: one megabyte of stack, as "-Xss1m" asks.
    runOnThread([&] {
        ASSERT_EQ(createVm(runtime, options), JNI_OK);
        JNIEnv* env = runtime.env;
        EXPECT_TRUE(redirect(env, folder.file("out.txt"), "setOut"));
        jclass main = env->FindClass("com/example/Main");
        ASSERT_NE(main, nullptr);
        jmethodID mainMethod = env->GetStaticMethodID(main, "main", "([Ljava/lang/String;)V");
        ASSERT_NE(mainMethod, nullptr);
        env->CallStaticVoidMethod(main, mainMethod, newStringArray(env, {"first", "two words", "\xe9", ""}));
        EXPECT_EQ(env->ExceptionOccurred(), nullptr);
        EXPECT_EQ(runtime.vm->DetachCurrentThread(), JNI_OK);
    }, 1 << 20);
    SetEnvironmentVariableA("TESTJVM_CASE", nullptr);

    // DestroyJavaVM waits for the thread that main started.
    jint destroyed = -99;
    HANDLE destroyer = CreateThread(nullptr, 0, [](void* p) -> DWORD {
        auto* r = static_cast<std::pair<JavaVM*, jint*>*>(p);
        *r->second = r->first->DestroyJavaVM();
        return 0;
    }, new std::pair<JavaVM*, jint*>(runtime.vm, &destroyed), 0, nullptr);
    ASSERT_TRUE(waitForTraceEvent(traceFile, "destroy-enter", 10000));
    EXPECT_EQ(WaitForSingleObject(destroyer, 300), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(stop);
    ASSERT_EQ(WaitForSingleObject(destroyer, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(destroyed, JNI_OK);
    CloseHandle(destroyer);
    CloseHandle(stop);

    Trace trace = readTrace(traceFile);
    SCOPED_TRACE(trace.text);
    EXPECT_TRUE(trace.problems().empty());
    TraceEvent load = trace.first("load");
    EXPECT_EQ(load.get("module"), folder.file("jvm-launch.dll"));
    EXPECT_EQ(load.get("variant"), "full");
    TraceEvent create = trace.first("create");
    EXPECT_EQ(create.get("version"), "0x10002");
    EXPECT_EQ(create.get("ignoreUnrecognized"), "0");
    EXPECT_EQ(create.number("options"), 3);
    EXPECT_EQ(create.list("option"), options);
    EXPECT_EQ(create.number("stack"), 1 << 20);
    EXPECT_EQ(trace.all("vm-env").size(), 3u);
    EXPECT_EQ(trace.first("create-result").get("result"), "0");
    EXPECT_EQ(trace.first("open-file").get("result"), "ok");
    TraceEvent setOut = trace.first("set-stream");
    EXPECT_EQ(setOut.get("stream"), "out");
    EXPECT_EQ(setOut.get("to"), "file");
    EXPECT_EQ(setOut.get("path"), folder.file("out.txt"));
    EXPECT_EQ(trace.first("find-class").get("source"), folder.file("classes"));

    TraceEvent call = trace.first("call");
    EXPECT_EQ(call.get("class"), "com/example/Main");
    EXPECT_EQ(call.get("method"), "main");
    EXPECT_EQ(call.number("args"), 4);
    EXPECT_EQ(call.list("arg"), (std::vector<std::string>{"first", "two words", "\xe9", ""}));
    EXPECT_EQ(call.thread(), create.thread());
    // Start-up timestamps: the process began before the VM was created, and
    // main was entered after that.
    EXPECT_GT(create.number("process-start"), 0);
    EXPECT_LE(create.number("process-start"), create.number("time"));
    EXPECT_EQ(call.number("process-start"), create.number("process-start"));
    EXPECT_LE(create.number("time"), call.number("time"));
    EXPECT_EQ(trace.first("print").get("text"), "to the file \xe9");
    EXPECT_EQ(folder.read("out.txt"), "to the file \xe9\r\n");
    EXPECT_EQ(trace.first("env").get("value"), "caf\xe9");
    EXPECT_NE(trace.first("thread-begin").thread(), call.thread());
    EXPECT_EQ(trace.first("thread-begin").get("daemon"), "0");
    EXPECT_LT(indexOf(trace, "detach"), indexOf(trace, "destroy-enter"));
    EXPECT_LT(indexOf(trace, "thread-end"), indexOf(trace, "destroy-return"));
    EXPECT_EQ(trace.first("destroy-return").get("result"), "0");
}

TEST(TestRuntime, FailuresLeaveTheExceptionsAJavaVmWould) {
    TestFolder folder("testjvm-exceptions");
    folder.write("classes\\com\\example\\Thrower.class",
                 "main\n    throw java/lang/RuntimeException boom\n    cause java/io/IOException disk full\n");
    folder.write("classes\\com\\example\\NoMain.class", "secondaryMain int\n    return 1\n");
    folder.write("classes\\com\\example\\Broken.class", "main\n    out x\n    jump\n");
    std::string traceFile = folder.file("trace.txt");
    Runtime runtime = loadRuntime(folder, "jvm-exceptions.dll", traceFile);
    ASSERT_EQ(createVm(runtime, {"-Djava.class.path=" + folder.file("classes")}), JNI_OK);
    JNIEnv* env = runtime.env;

    EXPECT_EQ(env->FindClass("com/example/Missing"), nullptr);
    EXPECT_EQ(takePending(env), "java.lang.NoClassDefFoundError: com/example/Missing");
    EXPECT_EQ(env->FindClass("com.example.Thrower"), nullptr);
    EXPECT_EQ(takePending(env), "java.lang.NoClassDefFoundError: com.example.Thrower");
    EXPECT_EQ(env->FindClass("com/example/Broken"), nullptr);
    EXPECT_EQ(takePending(env).rfind("java.lang.ClassFormatError: com/example/Broken", 0), 0u);

    jclass noMain = env->FindClass("com/example/NoMain");
    ASSERT_NE(noMain, nullptr);
    EXPECT_EQ(env->GetStaticMethodID(noMain, "main", "([Ljava/lang/String;)V"), nullptr);
    EXPECT_EQ(takePending(env),
              "java.lang.NoSuchMethodError: static Lcom/example/NoMain;.main([Ljava/lang/String;)V");

    jclass thrower = env->FindClass("com/example/Thrower");
    env->CallStaticVoidMethod(thrower, env->GetStaticMethodID(thrower, "main", "([Ljava/lang/String;)V"),
                              newStringArray(env, {}));
    jthrowable thrown = env->ExceptionOccurred();
    ASSERT_NE(thrown, nullptr);
    env->ExceptionClear();
    EXPECT_EQ(env->ExceptionOccurred(), nullptr);
    EXPECT_EQ(exceptionText(env, thrown),
              "java.lang.RuntimeException: boom\r\n"
              "\tat com.example.Thrower.main(Thrower.java:2)\r\n"
              "Caused by: java.io.IOException: disk full\r\n"
              "\t... 1 more\r\n");

    EXPECT_FALSE(redirect(env, folder.file("missing\\out.txt"), "setErr"));
    EXPECT_EQ(takePending(env).rfind("java.io.FileNotFoundException: " + folder.file("missing\\out.txt") + " (", 0), 0u);

    Trace trace = readTrace(traceFile);
    SCOPED_TRACE(trace.text);
    EXPECT_TRUE(trace.problems().empty());
    auto lookups = trace.all("find-class");
    ASSERT_EQ(lookups.size(), 5u);
    EXPECT_EQ(lookups[0].get("result"), "missing");
    EXPECT_EQ(lookups[2].get("result"), "bad");
    EXPECT_EQ(lookups[2].number("line"), 3);
    EXPECT_EQ(trace.first("get-method").get("result"), "missing");
    TraceEvent threw = trace.first("throw");
    EXPECT_EQ(threw.get("exception"), "java/lang/RuntimeException");
    EXPECT_EQ(threw.get("message"), "boom");
    EXPECT_EQ(trace.first("open-file").get("exception"), "java/io/FileNotFoundException");
    EXPECT_FALSE(trace.has("set-stream"));
}

TEST(TestRuntime, CreationChecksWhatAJavaVmChecks) {
    TestFolder folder("testjvm-create");
    std::string traceFile = folder.file("trace.txt");
    Runtime runtime = loadRuntime(folder, "jvm-create.dll", traceFile);

    JDK1_1InitArgs defaults{};
    defaults.version = JNI_VERSION_1_1;
    SetEnvironmentVariableA("TESTJVM_DEFAULT_STACK_SIZE", "262144");
    EXPECT_EQ(runtime.defaults(&defaults), JNI_ERR);
    SetEnvironmentVariableA("TESTJVM_DEFAULT_STACK_SIZE", nullptr);
    EXPECT_EQ(defaults.javaStackSize, 262144);
    EXPECT_EQ(defaults.version, JNI_VERSION_1_2);

    EXPECT_EQ(createVm(runtime, {"-Xss1m"}, JNI_VERSION_1_1), JNI_EVERSION);
    EXPECT_EQ(createVm(runtime, {"-Dx=1", "-Xtestjvm-reject"}), JNI_ERR);
    EXPECT_EQ(runtime.vm, nullptr);
    EXPECT_EQ(createVm(runtime, {"-Xmx50%"}), JNI_ERR);
    EXPECT_EQ(createVm(runtime, {"-unknown"}), JNI_ERR);
    SetEnvironmentVariableA("TESTJVM_CREATE_RESULT", "7");
    EXPECT_EQ(createVm(runtime, {}), 7);
    SetEnvironmentVariableA("TESTJVM_CREATE_RESULT", nullptr);
    EXPECT_EQ(createVm(runtime, {"-unknown", "-Xss512k", "-Xmx2g"}, JNI_VERSION_1_2, true), JNI_OK);
    EXPECT_NE(runtime.vm, nullptr);
    JavaVM* first = runtime.vm;
    EXPECT_EQ(createVm(runtime, {}), JNI_EEXIST);
    EXPECT_EQ(first->DestroyJavaVM(), JNI_OK);

    Runtime noDefaults = loadRuntime(folder, "jvm-nodefault.dll", traceFile, "testjvm_nodefault.dll");
    EXPECT_NE(noDefaults.create, nullptr);
    EXPECT_EQ(noDefaults.defaults, nullptr);

    Trace trace = readTrace(traceFile);
    SCOPED_TRACE(trace.text);
    TraceEvent defaultArgs = trace.first("default-args");
    EXPECT_EQ(defaultArgs.get("version"), "0x10001");
    EXPECT_EQ(defaultArgs.get("javaStackSize"), "262144");
    std::vector<std::string> results;
    for (const TraceEvent& event : trace.all("create-result")) results.push_back(event.get("result"));
    EXPECT_EQ(results, (std::vector<std::string>{"-3", "-1", "-1", "-1", "7", "0", "-5"}));
    auto creates = trace.all("create");
    EXPECT_EQ(creates[0].get("version"), "0x10001");
    EXPECT_EQ(creates[1].list("option"), (std::vector<std::string>{"-Dx=1", "-Xtestjvm-reject"}));
    EXPECT_EQ(trace.all("load").back().get("variant"), "nodefault");
}

TEST(TestRuntime, AttachedThreadsCallSecondaryMain) {
    TestFolder folder("testjvm-attach");
    folder.write("app.jar",
                 "#testjvm-jar\nclass com/example/IntOnly\nmain\nsecondaryMain int\n    sleep 1\n    return args\n"
                 "class com/example/Both\nsecondaryMain int\n    return 5\nsecondaryMain void\n");
    std::string traceFile = folder.file("trace.txt");
    Runtime runtime = loadRuntime(folder, "jvm-attach.dll", traceFile);
    ASSERT_EQ(createVm(runtime, {"-Djava.class.path=" + folder.file("app.jar")}), JNI_OK);

    DWORD handOverThread = 0;
    jint returned = -1;
    runOnThread([&] {
        handOverThread = GetCurrentThreadId();
        JNIEnv* env = nullptr;
        ASSERT_EQ(runtime.vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr), JNI_OK);
        JNIEnv* again = nullptr;
        EXPECT_EQ(runtime.vm->AttachCurrentThread(reinterpret_cast<void**>(&again), nullptr), JNI_OK);
        EXPECT_EQ(again, env);
        EXPECT_NE(env, runtime.env);
        jclass cls = env->FindClass("com/example/IntOnly");
        jmethodID method = env->GetStaticMethodID(cls, "secondaryMain", "([Ljava/lang/String;)V");
        EXPECT_EQ(method, nullptr);
        env->ExceptionClear();
        method = env->GetStaticMethodID(cls, "secondaryMain", "([Ljava/lang/String;)I");
        ASSERT_NE(method, nullptr);
        returned = env->CallStaticIntMethod(cls, method, newStringArray(env, {"a", "b", "c"}));
        EXPECT_EQ(runtime.vm->DetachCurrentThread(), JNI_OK);
    });
    EXPECT_EQ(returned, 3);
    EXPECT_EQ(runtime.vm->DetachCurrentThread(), JNI_OK);
    EXPECT_EQ(runtime.vm->DestroyJavaVM(), JNI_OK);

    Trace trace = readTrace(traceFile);
    SCOPED_TRACE(trace.text);
    EXPECT_TRUE(trace.problems().empty());
    auto attaches = trace.all("attach");
    ASSERT_EQ(attaches.size(), 2u);
    EXPECT_EQ(attaches[0].get("name"), "Thread-0");
    EXPECT_EQ(attaches[1].get("already"), "1");
    TraceEvent call = trace.first("call");
    EXPECT_EQ(call.get("signature"), "([Ljava/lang/String;)I");
    EXPECT_EQ(call.thread(), handOverThread);
    EXPECT_EQ(call.list("arg"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(trace.first("return").get("value"), "3");
    EXPECT_EQ(trace.all("get-method").size(), 2u);
}

TEST(TestRuntime, SplashStandInsAndRuntimeLayout) {
    TestFolder folder("testjvm-layout");
    RuntimeLayout layout;
    layout.server = true;
    layout.splash = SplashLibrary::full;
    std::string home = addTestRuntime(folder, "jre", layout);
    EXPECT_EQ(home, folder.file("jre"));
    for (const char* file : {"bin\\java.dll", "bin\\client\\jvm.dll", "bin\\server\\jvm.dll"})
        EXPECT_TRUE(folder.exists(std::string("jre\\") + file)) << file;
    layout = {};
    layout.client = false;
    layout.marker = false;
    layout.splash = SplashLibrary::withoutJarName;
    addTestRuntime(folder, "other", layout);
    EXPECT_FALSE(folder.exists("other\\bin\\java.dll"));
    EXPECT_FALSE(folder.exists("other\\bin\\client\\jvm.dll"));

    std::string traceFile = folder.file("trace.txt");
    SetEnvironmentVariableA("TESTJVM_TRACE", traceFile.c_str());
    HMODULE splash = LoadLibraryA((home + "\\bin\\splashscreen.dll").c_str());
    HMODULE noJar = LoadLibraryA(folder.file("other\\bin\\splashscreen.dll").c_str());
    SetEnvironmentVariableA("TESTJVM_TRACE", nullptr);
    ASSERT_NE(splash, nullptr);
    ASSERT_NE(noJar, nullptr);
    EXPECT_EQ(GetProcAddress(noJar, "SplashSetFileJarName"), nullptr);
    EXPECT_NE(GetProcAddress(noJar, "SplashClose"), nullptr);
    reinterpret_cast<void(__cdecl*)()>(GetProcAddress(splash, "SplashInit"))();
    reinterpret_cast<int(__cdecl*)(const char*)>(GetProcAddress(splash, "SplashLoadFile"))("C:\\p \xe9.bmp");
    reinterpret_cast<void(__cdecl*)(const char*, const char*)>(
        GetProcAddress(splash, "SplashSetFileJarName"))("C:\\p \xe9.bmp", "");
    reinterpret_cast<void(__cdecl*)()>(GetProcAddress(splash, "SplashClose"))();

    Trace trace = readTrace(traceFile);
    EXPECT_EQ(trace.names(), (std::vector<std::string>{"load", "load", "splash-init", "splash-load-file",
                                                       "splash-set-file-jar-name", "splash-close"}));
    EXPECT_EQ(trace.first("load").get("variant"), "splash");
    EXPECT_EQ(trace.all("load")[1].get("variant"), "splash-nojar");
    EXPECT_EQ(trace.first("splash-load-file").get("path"), "C:\\p \xe9.bmp");
    TraceEvent jarName = trace.first("splash-set-file-jar-name");
    EXPECT_EQ(jarName.get("path"), "C:\\p \xe9.bmp");
    EXPECT_TRUE(jarName.has("jar"));
    EXPECT_EQ(jarName.get("jar"), "");
}

// --- scenarios that end their process, run in a child process ---

std::string childFolder() {
    char path[MAX_PATH] = "";
    GetEnvironmentVariableA("TESTJVM_CHILD_FOLDER", path, MAX_PATH);
    return path;
}

// Creates the VM in the child from the library in the build folder, with
// the child folder's "classes" on the class path.
Runtime childRuntime() {
    Runtime runtime;
    runtime.module = LoadLibraryA((buildOutputFolder() + "\\testjvm.dll").c_str());
    runtime.create = reinterpret_cast<CreateJavaVM>(GetProcAddress(runtime.module, "JNI_CreateJavaVM"));
    createVm(runtime, {"-Djava.class.path=" + childFolder() + "\\classes"});
    return runtime;
}

void callMain(JNIEnv* env, const char* className) {
    jclass cls = env->FindClass(className);
    env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "main", "([Ljava/lang/String;)V"),
                              newStringArray(env, {}));
}

TEST(Child, DISABLED_MainPrintsThrowsAndIsDescribed) {
    Runtime runtime = childRuntime();
    callMain(runtime.env, "Printer");
    runtime.env->ExceptionDescribe();
    runtime.vm->DetachCurrentThread();
    ExitProcess(static_cast<UINT>(runtime.vm->DestroyJavaVM()));
}

TEST(Child, DISABLED_MainCallsSystemExit) {
    Runtime runtime = childRuntime();
    callMain(runtime.env, "Exiter");
    ExitProcess(100);
}

TEST(Child, DISABLED_ThreadExitsWhileDestroyWaits) {
    Runtime runtime = childRuntime();
    callMain(runtime.env, "ThreadExiter");
    runtime.vm->DetachCurrentThread();
    runtime.vm->DestroyJavaVM();
    ExitProcess(100);
}

TEST(Child, DISABLED_UnusedSlot) {
    Runtime runtime = childRuntime();
    runtime.env->GetVersion();
    ExitProcess(100);
}

TEST(Child, DISABLED_EnvironmentOfAnotherThread) {
    Runtime runtime = childRuntime();
    runOnThread([&] { runtime.env->FindClass("java/lang/String"); });
    ExitProcess(100);
}

TEST(Child, DISABLED_ThreadEndsAttached) {
    Runtime runtime = childRuntime();
    runOnThread([&] {
        JNIEnv* env = nullptr;
        runtime.vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr);
    });
    runtime.vm->DetachCurrentThread();
    runtime.vm->DestroyJavaVM();
    ExitProcess(100);
}

// The options of TESTJVM_CHILD_OPTIONS (one a line) after the class path.
TEST(Child, DISABLED_CreateWithOptions) {
    char text[4096] = "";
    GetEnvironmentVariableA("TESTJVM_CHILD_OPTIONS", text, sizeof text);
    std::vector<std::string> options = {"-Djava.class.path=" + childFolder() + "\\classes"};
    for (const char* line = text; *line;) {
        const char* end = std::strchr(line, '\n');
        options.emplace_back(line, end ? end - line : std::strlen(line));
        line = end ? end + 1 : line + std::strlen(line);
    }
    Runtime runtime;
    runtime.module = LoadLibraryA((buildOutputFolder() + "\\testjvm.dll").c_str());
    runtime.create = reinterpret_cast<CreateJavaVM>(GetProcAddress(runtime.module, "JNI_CreateJavaVM"));
    ExitProcess(createVm(runtime, options) == JNI_OK ? 100 : 101);
}

struct ChildRun {
    LaunchResult result;
    Trace trace;
    std::string output;
    std::string error;
};

ChildRun runChild(const TestFolder& folder, const std::string& scenario,
                  std::vector<std::pair<std::string, std::string>> environment = {}) {
    LaunchOptions options;
    options.arguments = "--gtest_also_run_disabled_tests --gtest_filter=Child.DISABLED_" + scenario;
    std::string traceFile = folder.file(scenario + ".trace");
    DeleteFileA(traceFile.c_str());
    environment.push_back({"TESTJVM_TRACE", traceFile});
    environment.push_back({"TESTJVM_CHILD_FOLDER", folder.path()});
    options.environment = std::move(environment);
    options.outputFile = folder.file(scenario + ".out");
    options.errorFile = folder.file(scenario + ".err");
    ChildRun run;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    run.result = launch(self, options);
    run.trace = readTrace(traceFile);
    run.output = folder.read(scenario + ".out");
    run.error = folder.read(scenario + ".err");
    return run;
}

TEST(TestRuntime, ProcessEndings) {
    TestFolder folder("testjvm-process");
    folder.write("classes\\Printer.class",
                 "main\n  out to stdout\n  err to stderr\n  throw java/lang/IllegalStateException bad\n");
    folder.write("classes\\Exiter.class", "main\n  exit -2\n  out never\n");
    folder.write("classes\\ThreadExiter.class", "main\n  thread 50 exit 9\n");

    ChildRun printed = runChild(folder, "MainPrintsThrowsAndIsDescribed");
    EXPECT_EQ(printed.result.exitCode, 0) << printed.trace.text;
    EXPECT_NE(printed.output.find("to stdout\r\n"), std::string::npos);
    EXPECT_NE(printed.error.find("to stderr\r\nException in thread \"main\" "
                                 "java.lang.IllegalStateException: bad\r\n"
                                 "\tat Printer.main(Printer.java:4)\r\n"),
              std::string::npos)
        << printed.error;
    TraceEvent described = printed.trace.first("describe");
    EXPECT_EQ(described.get("exception"), "java/lang/IllegalStateException");
    EXPECT_EQ(described.get("message"), "bad");
    EXPECT_EQ(printed.trace.all("print")[1].get("to"), "stderr");

    ChildRun exited = runChild(folder, "MainCallsSystemExit");
    EXPECT_EQ(exited.result.exitCode, -2);
    EXPECT_EQ(exited.trace.first("exit").get("code"), "-2");
    EXPECT_FALSE(exited.trace.has("print"));

    ChildRun threadExit = runChild(folder, "ThreadExitsWhileDestroyWaits");
    EXPECT_EQ(threadExit.result.exitCode, 9);
    EXPECT_LT(indexOf(threadExit.trace, "destroy-enter"), indexOf(threadExit.trace, "exit"));
    EXPECT_FALSE(threadExit.trace.has("destroy-return"));

    const std::pair<const char*, const char*> faults[] = {
        {"UnusedSlot", "JNIEnv function GetVersion (slot 4)"},
        {"EnvironmentOfAnotherThread", "FindClass: the JNIEnv of thread "},
        {"ThreadEndsAttached", "(Thread-0) ended while attached to the VM"}};
    for (const auto& [scenario, what] : faults) {
        ChildRun run = runChild(folder, scenario);
        EXPECT_EQ(run.result.exitCode, kFaultExitCode) << scenario;
        EXPECT_NE(run.trace.first("fault").get("what").find(what), std::string::npos)
            << scenario << ": " << run.trace.text;
        EXPECT_NE(run.error.find("testjvm: fault: "), std::string::npos) << scenario;
    }
}

// Class data sharing on request: a VM that exits while being created, and
// one that crashes while mapping a damaged archive, seen from the parent.
TEST(TestRuntime, SharingExitsAndCrashesOnRequest) {
    TestFolder folder("testjvm-sharing");
    const std::string magic("\xa8\xab\x0b\xf0", 4);
    folder.write("sound.jsa", magic + "body");
    folder.write("damaged.jsa", magic + "body\n#testjvm-damaged\n");
    folder.write("damaged.aot", std::string("\xa2\xab\x0b\xf0", 4) + "#testjvm-damaged");
    folder.write("foreign.jsa", "#testjvm-damaged");
    auto withOptions = [&](const std::string& options, const char* name, const std::string& value) {
        return std::vector<std::pair<std::string, std::string>>{{"TESTJVM_CHILD_OPTIONS", options}, {name, value}};
    };

    // A sharing option ends the process with the code asked for.
    ChildRun exited = runChild(folder, "CreateWithOptions",
                               withOptions("-Xmx64m\n-XX:+AutoCreateSharedArchive", "TESTJVM_SHARING_EXIT", "1"));
    EXPECT_EQ(exited.result.exitCode, 1);
    EXPECT_EQ(exited.trace.first("sharing-exit").get("option"), "-XX:+AutoCreateSharedArchive");
    EXPECT_FALSE(exited.trace.has("create-result"));
    EXPECT_NE(exited.output.find("Error occurred during initialization of VM\r\n"), std::string::npos) << exited.output;

    // Mapping: sound, foreign and missing files are recorded; a damaged one
    // ends the process at once as a crash would, without a debugger or a dialog.
    ChildRun mapped = runChild(folder, "CreateWithOptions",
                               withOptions("-XX:SharedArchiveFile=" + folder.file("sound.jsa") + ";" +
                                               folder.file("foreign.jsa") + "\n-XX:AOTCache=" + folder.file("none.aot"),
                                           "TESTJVM_MAP_ARCHIVES", "1"));
    EXPECT_EQ(mapped.result.exitCode, 100) << mapped.error;
    std::vector<std::string> contents;
    for (const TraceEvent& event : mapped.trace.all("map")) contents.push_back(event.get("content"));
    EXPECT_EQ(contents, (std::vector<std::string>{"sound", "not-an-archive", "missing"}));
    for (const char* option : {"-XX:SharedArchiveFile=", "-XX:AOTCache="}) {
        std::string damaged = folder.file(option[4] == 'S' ? "damaged.jsa" : "damaged.aot");
        ChildRun crashed = runChild(folder, "CreateWithOptions",
                                    withOptions(option + damaged, "TESTJVM_MAP_ARCHIVES", "1"));
        EXPECT_EQ(static_cast<DWORD>(crashed.result.exitCode), 0xC0000005u) << option;
        // A debugger holding the process would show as a time-out.
        EXPECT_FALSE(crashed.result.timedOut);
        EXPECT_TRUE(crashed.result.windows.empty());
        EXPECT_EQ(crashed.trace.first("crash").get("archive"), damaged);
        EXPECT_NE(crashed.error.find("testjvm: crash while mapping "), std::string::npos);
    }
}

}  // namespace
