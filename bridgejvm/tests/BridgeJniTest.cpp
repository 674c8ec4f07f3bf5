// The bridge driven through JNI in this process, against real Java: one
// Linux VM serves the whole BridgeJni suite; the launcher's own JNI code
// (jvm/JavaCalls) runs against it too. BridgeVmLife uses a second copy of
// the library for creation and destruction.
#include <windows.h>

#include <gtest/gtest.h>

#include <jni.h>

#include <thread>

#include "harness/BridgeRuntime.h"
#include "harness/TestFolder.h"
#include "jvm/JavaCalls.h"
#include "jvm/JvmLibrary.h"

namespace {

using CreateJavaVM = jint(JNICALL*)(JavaVM**, void**, void*);
using GetDefaultArgs = jint(JNICALL*)(void*);
using GetCreatedVms = jint(JNICALL*)(JavaVM**, jsize, jsize*);

struct Library {
    HMODULE module = nullptr;
    CreateJavaVM create = nullptr;
    GetDefaultArgs defaults = nullptr;
    GetCreatedVms created = nullptr;
};

Library loadBridge(const TestFolder& folder, const std::string& home) {
    std::string path = addBridgeRuntime(folder, home) + "\\bin\\client\\jvm.dll";
    Library library;
    library.module = LoadLibraryA(path.c_str());
    if (!library.module) throw std::runtime_error("cannot load " + path);
    library.create = reinterpret_cast<CreateJavaVM>(GetProcAddress(library.module, "JNI_CreateJavaVM"));
    library.defaults = reinterpret_cast<GetDefaultArgs>(GetProcAddress(library.module, "JNI_GetDefaultJavaVMInitArgs"));
    library.created = reinterpret_cast<GetCreatedVms>(GetProcAddress(library.module, "JNI_GetCreatedJavaVMs"));
    return library;
}

jint createVm(const Library& library, const std::vector<std::string>& options, JavaVM** vm, JNIEnv** env) {
    std::vector<JavaVMOption> list;
    for (const std::string& option : options) list.push_back({const_cast<char*>(option.c_str()), nullptr});
    JavaVMInitArgs args{JNI_VERSION_1_2, static_cast<jint>(list.size()), list.data(), JNI_FALSE};
    return library.create(vm, reinterpret_cast<void**>(env), &args);
}

std::string probeClassPath() { return "-Djava.class.path=" + buildOutputFolder() + "\\bridgejvm-probe"; }

// A file as the standard error handle while the object lives.
class StandardErrorFile {
public:
    explicit StandardErrorFile(const std::string& path) : path_(path), previous_(GetStdHandle(STD_ERROR_HANDLE)) {
        file_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        SetStdHandle(STD_ERROR_HANDLE, file_);
    }
    ~StandardErrorFile() {
        SetStdHandle(STD_ERROR_HANDLE, previous_);
        CloseHandle(file_);
    }
    // The file once it ends with the text; what it holds after 10 s otherwise.
    std::string waitForEnding(const std::string& ending) const {
        DWORD start = GetTickCount();
        for (;;) {
            std::string text = readWholeFile(path_);
            if (text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0)
                return text;
            if (GetTickCount() - start > 10000) return text;
            Sleep(20);
        }
    }

private:
    std::string path_;
    HANDLE previous_;
    HANDLE file_;
};

class BridgeJni : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TestFolder("bridgejvm-jni");
        library_ = loadBridge(*folder_, "jre");
        SetEnvironmentVariableA("BRIDGEJVM_TEST_VALUE", "seen from Java");
        ASSERT_EQ(createVm(library_, {probeClassPath(), "-Xmx64m"}, &vm_, &env_), JNI_OK);
        SetEnvironmentVariableA("BRIDGEJVM_TEST_VALUE", nullptr);
    }

    static void TearDownTestSuite() {
        if (vm_) EXPECT_EQ(vm_->DestroyJavaVM(), JNI_OK);
        EXPECT_TRUE(waitForNoBridgeJvm(folder_->path(), 10000));
        delete folder_;
    }

    void SetUp() override {
        ASSERT_TRUE(env_);
        probe_ = env_->FindClass("probe/Probe");
        ASSERT_TRUE(probe_);
    }

    void TearDown() override {
        EXPECT_FALSE(env_->ExceptionCheck());
        env_->ExceptionClear();
    }

    jmethodID staticMethod(const char* name, const char* signature) {
        jmethodID method = env_->GetStaticMethodID(probe_, name, signature);
        EXPECT_TRUE(method) << name;
        return method;
    }

    std::string utf(jstring text) {
        if (!text) return "(null)";
        const char* chars = env_->GetStringUTFChars(text, nullptr);
        std::string result = chars ? chars : "(failed)";
        env_->ReleaseStringUTFChars(text, chars);
        return result;
    }

    // toString of the pending exception, which is cleared.
    std::string takeException() {
        jthrowable thrown = env_->ExceptionOccurred();
        if (!thrown) return "(none)";
        env_->ExceptionClear();
        jclass type = env_->GetObjectClass(thrown);
        jmethodID toString = env_->GetMethodID(type, "toString", "()Ljava/lang/String;");
        return utf(static_cast<jstring>(env_->CallObjectMethod(thrown, toString)));
    }

    static TestFolder* folder_;
    static Library library_;
    static JavaVM* vm_;
    static JNIEnv* env_;
    jclass probe_ = nullptr;
};

TestFolder* BridgeJni::folder_ = nullptr;
Library BridgeJni::library_;
JavaVM* BridgeJni::vm_ = nullptr;
JNIEnv* BridgeJni::env_ = nullptr;

TEST_F(BridgeJni, CallsOfEveryKindOfValue) {
    EXPECT_EQ(env_->CallStaticIntMethod(probe_, staticMethod("add", "(II)I"), 2, -5), -3);
    jvalue pair[2];
    pair[0].i = 40;
    pair[1].i = 2;
    EXPECT_EQ(env_->CallStaticIntMethodA(probe_, staticMethod("add", "(II)I"), pair), 42);
    EXPECT_EQ(env_->CallStaticLongMethod(probe_, staticMethod("mix", "(BCSJFDZ)J"), jbyte{-1}, jchar{2}, jshort{3},
                                         jlong{1} << 40, 5.5f, 6.5, JNI_TRUE),
              (jlong{1} << 40) + 1015);
    EXPECT_EQ(env_->CallStaticDoubleMethod(probe_, staticMethod("half", "(D)D"), 3.0), 1.5);
    EXPECT_EQ(env_->CallStaticFloatMethod(probe_, staticMethod("third", "(F)F"), 1.5f), 0.5f);
    jstring empty = env_->NewStringUTF("");
    EXPECT_EQ(env_->CallStaticBooleanMethod(probe_, staticMethod("isEmpty", "(Ljava/lang/String;)Z"), empty), JNI_TRUE);
    EXPECT_EQ(env_->CallStaticCharMethod(probe_, staticMethod("first", "(Ljava/lang/String;)C"),
                                         env_->NewStringUTF("\xC3\xA9t\xC3\xA9")),
              0xE9);
    auto joined = static_cast<jstring>(env_->CallStaticObjectMethod(
        probe_, staticMethod("join", "(Ljava/lang/String;Ljava/lang/String;)Ljava/lang/String;"),
        env_->NewStringUTF("left "), env_->NewStringUTF("right")));
    EXPECT_EQ(utf(joined), "left right");

    jobject object = env_->NewObject(probe_, env_->GetMethodID(probe_, "<init>", "(I)V"), 10);
    ASSERT_TRUE(object);
    EXPECT_EQ(env_->CallIntMethod(object, env_->GetMethodID(probe_, "plus", "(I)I"), 5), 15);
    EXPECT_TRUE(env_->IsInstanceOf(object, probe_));
    EXPECT_TRUE(env_->IsSameObject(env_->GetObjectClass(object), probe_));
    // An inherited method, called on the object.
    jmethodID hashCode = env_->GetMethodID(env_->FindClass("java/lang/Object"), "hashCode", "()I");
    EXPECT_EQ(env_->CallIntMethod(object, hashCode), env_->CallIntMethod(object, hashCode));
    env_->DeleteLocalRef(object);

    jintArray numbers = env_->NewIntArray(3);
    const jint values[] = {7, -8, 9};
    env_->SetIntArrayRegion(numbers, 0, 3, values);
    jint back[2] = {};
    env_->GetIntArrayRegion(numbers, 1, 2, back);
    EXPECT_EQ(back[0], -8);
    EXPECT_EQ(back[1], 9);
    EXPECT_EQ(env_->GetArrayLength(numbers), 3);
    env_->SetIntArrayRegion(numbers, 2, 2, values);
    EXPECT_EQ(takeException(), "java.lang.ArrayIndexOutOfBoundsException: Array region 2..4 out of bounds for length 3");
}

TEST_F(BridgeJni, FailedLookupsLeaveTheExceptionsAVmLeaves) {
    EXPECT_FALSE(env_->FindClass("probe/Missing"));
    EXPECT_TRUE(env_->ExceptionCheck());
    EXPECT_EQ(takeException(), "java.lang.NoClassDefFoundError: probe/Missing");
    EXPECT_FALSE(env_->FindClass("probe.Probe"));
    EXPECT_EQ(takeException(), "java.lang.NoClassDefFoundError: probe.Probe");
    EXPECT_FALSE(env_->GetStaticMethodID(probe_, "main", "([Ljava/lang/String;)V"));
    EXPECT_EQ(takeException(), "java.lang.NoSuchMethodError: static Lprobe/Probe;.main([Ljava/lang/String;)V");
    // A static method is no instance method.
    EXPECT_FALSE(env_->GetMethodID(probe_, "add", "(II)I"));
    EXPECT_EQ(takeException(), "java.lang.NoSuchMethodError: Lprobe/Probe;.add(II)I");
    EXPECT_EQ(takeException(), "(none)");
}

TEST_F(BridgeJni, ExceptionTextOfTheLauncherIsJavasOwnTrace) {
    env_->CallStaticVoidMethod(probe_, staticMethod("fail", "(Ljava/lang/String;)V"), env_->NewStringUTF("boom"));
    jthrowable thrown = env_->ExceptionOccurred();
    ASSERT_TRUE(thrown);
    env_->ExceptionClear();
    std::wstring text = exceptionText(env_, thrown);
    const std::wstring top = L"java.lang.IllegalStateException: boom\r\n\tat probe.Probe.fail(Probe.java:59)\r\n";
    EXPECT_EQ(text.substr(0, top.size()), top);
    EXPECT_NE(text.find(L"\r\nCaused by: java.io.IOException: the cause\r\n\t... 1 more\r\n"), std::wstring::npos);

    // Every character of the message, in UTF-16 (GetStringRegion), beyond
    // the ANSI code page and beyond the 16-bit plane.
    const std::wstring message = L"J\u00e9r\u00f4me \u041a\u0438\u0440 \u6f22\u5b57 \U0001F600";
    env_->CallStaticVoidMethod(probe_, staticMethod("fail", "(Ljava/lang/String;)V"),
                               env_->NewString(reinterpret_cast<const jchar*>(message.data()), static_cast<jsize>(message.size())));
    thrown = env_->ExceptionOccurred();
    ASSERT_TRUE(thrown);
    env_->ExceptionClear();
    EXPECT_EQ(exceptionText(env_, thrown).substr(0, 34 + message.size()),
              L"java.lang.IllegalStateException: " + message + L"\r");
}

TEST_F(BridgeJni, StringsAreModifiedUtf8AndAnsiBytes) {
    auto text = static_cast<jstring>(env_->CallStaticObjectMethod(probe_, staticMethod("text", "(I)Ljava/lang/String;"), 0));
    const std::string expected = "nul\xC0\x80, \xC3\xA9, \xED\xA0\xBD\xED\xB8\x80";
    EXPECT_EQ(utf(text), expected);
    EXPECT_EQ(env_->GetStringUTFLength(text), static_cast<jsize>(expected.size()));
    EXPECT_EQ(utf(env_->NewStringUTF(expected.c_str())), expected);
    // The launcher's strings: ANSI bytes decoded with the ANSI code page.
    EXPECT_EQ(utf(newJavaString(env_, "caf\xE9 \x80")), "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST_F(BridgeJni, ThreadsAttachWithTheirOwnEnvironmentAndExceptions) {
    jmethodID threadName = staticMethod("threadName", "()Ljava/lang/String;");
    EXPECT_EQ(utf(static_cast<jstring>(env_->CallStaticObjectMethod(probe_, threadName))), "main");
    jclass probe = static_cast<jclass>(env_->NewGlobalRef(probe_));
    std::vector<std::string> names(4);
    std::vector<int> pending(4, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            JNIEnv* env = nullptr;
            void* unattached = &env;
            if (vm_->GetEnv(&unattached, JNI_VERSION_1_2) != JNI_EDETACHED) return;
            std::string name = "hand-over " + std::to_string(i);
            JavaVMAttachArgs args{JNI_VERSION_1_2, const_cast<char*>(name.c_str()), nullptr};
            if (vm_->AttachCurrentThread(reinterpret_cast<void**>(&env), i == 3 ? nullptr : &args) != JNI_OK) return;
            // Thread 0 has an exception pending while the others call.
            if (i == 0) env->FindClass("probe/Missing");
            auto result = static_cast<jstring>(env->CallStaticObjectMethod(probe, threadName));
            pending[i] = env->ExceptionCheck() ? 1 : 0;
            env->ExceptionClear();
            const char* chars = env->GetStringUTFChars(result, nullptr);
            names[i] = chars ? chars : "(failed)";
            env->ReleaseStringUTFChars(result, chars);
            vm_->DetachCurrentThread();
        });
    }
    for (std::thread& thread : threads) thread.join();
    env_->DeleteGlobalRef(probe);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(names[i], "hand-over " + std::to_string(i));
    EXPECT_EQ(names[3].substr(0, 7), "Thread-") << names[3];
    EXPECT_EQ(pending, (std::vector<int>{1, 0, 0, 0}));
}

TEST_F(BridgeJni, FileNamesAreWindowsPathsAndTheEnvironmentIsTheLaunchers) {
    std::string path = folder_->file("written by java.txt");
    jclass streamClass = env_->FindClass("java/io/FileOutputStream");
    jmethodID open = env_->GetMethodID(streamClass, "<init>", "(Ljava/lang/String;)V");
    jobject stream = env_->NewObject(streamClass, open, newJavaString(env_, path));
    ASSERT_TRUE(stream) << takeException();
    jbyteArray bytes = env_->NewByteArray(3);
    env_->SetByteArrayRegion(bytes, 0, 3, reinterpret_cast<const jbyte*>("abc"));
    env_->CallVoidMethod(stream, env_->GetMethodID(streamClass, "write", "([B)V"), bytes);
    env_->CallVoidMethod(stream, env_->GetMethodID(streamClass, "close", "()V"));
    EXPECT_EQ(readWholeFile(path), "abc");

    EXPECT_FALSE(env_->NewObject(streamClass, open, newJavaString(env_, folder_->file("missing\\x.txt"))));
    std::string message = takeException();
    EXPECT_EQ(message.substr(0, 31), "java.io.FileNotFoundException: ");
    EXPECT_NE(message.find(folder_->file("missing\\x.txt") + " ("), std::string::npos) << message;

    jstring value = static_cast<jstring>(env_->CallStaticObjectMethod(
        probe_, staticMethod("environment", "(Ljava/lang/String;)Ljava/lang/String;"),
        env_->NewStringUTF("BRIDGEJVM_TEST_VALUE")));
    EXPECT_EQ(utf(value), "seen from Java");
    EXPECT_FALSE(env_->CallStaticObjectMethod(probe_, staticMethod("environment", "(Ljava/lang/String;)Ljava/lang/String;"),
                                              env_->NewStringUTF("BRIDGEJVM_TOKEN")));
}

TEST_F(BridgeJni, ExceptionDescribePrintsOnTheLaunchersStandardError) {
    StandardErrorFile error(folder_->file("stderr.txt"));
    env_->CallStaticVoidMethod(probe_, staticMethod("fail", "(Ljava/lang/String;)V"), env_->NewStringUTF("described"));
    env_->ExceptionDescribe();
    EXPECT_FALSE(env_->ExceptionCheck());
    std::string text = error.waitForEnding("\t... 1 more\r\n");
    const std::string top = "Exception in thread \"main\" java.lang.IllegalStateException: described\r\n";
    EXPECT_EQ(text.substr(0, top.size()), top) << text;
    EXPECT_NE(text.find("Caused by: java.io.IOException: the cause\r\n"), std::string::npos) << text;
}

TEST(BridgeVmLife, RejectedOptionThenCreationAndDestruction) {
    TestFolder folder("bridgejvm-life");
    Library library = loadBridge(folder, "jre");

    JDK1_1InitArgs defaults = {};
    defaults.version = JNI_VERSION_1_1;
    EXPECT_EQ(library.defaults(&defaults), JNI_ERR);
    EXPECT_EQ(defaults.version, JNI_VERSION_1_2);
    EXPECT_EQ(defaults.javaStackSize, 1024 * 1024);

    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    {
        StandardErrorFile error(folder.file("stderr.txt"));
        EXPECT_EQ(createVm(library, {probeClassPath(), "-Xbogus"}, &vm, &env), JNI_ERR);
        EXPECT_EQ(readWholeFile(folder.file("stderr.txt")).substr(0, 29), "Unrecognized option: -Xbogus\n");
    }
    // A failed creation leaves nothing behind; the next one succeeds.
    EXPECT_TRUE(waitForNoBridgeJvm(folder.path(), 10000));
    ASSERT_EQ(createVm(library, {probeClassPath()}, &vm, &env), JNI_OK);
    EXPECT_EQ(createVm(library, {probeClassPath()}, &vm, &env), JNI_EEXIST);
    jsize count = 0;
    EXPECT_EQ(library.created(nullptr, 0, &count), JNI_OK);
    EXPECT_EQ(count, 1);

    // DestroyJavaVM waits for the application's non-daemon threads.
    jclass probe = env->FindClass("probe/Probe");
    ASSERT_TRUE(probe);
    env->CallStaticVoidMethod(probe, env->GetStaticMethodID(probe, "startWorker", "(I)V"), 700);
    DWORD start = GetTickCount();
    EXPECT_EQ(vm->DestroyJavaVM(), JNI_OK);
    EXPECT_GE(GetTickCount() - start, 600u);
    EXPECT_EQ(library.created(nullptr, 0, &count), JNI_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(vm->DestroyJavaVM(), JNI_ERR);
    EXPECT_TRUE(waitForNoBridgeJvm(folder.path(), 10000));
}

}  // namespace
