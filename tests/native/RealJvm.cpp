#include "RealJvm.h"

#include <unistd.h>

#include <string_view>

#include <gtest/gtest.h>

namespace {

JavaVM* vm = nullptr;
JNIEnv* env = nullptr;

class RealJvm : public ::testing::Environment {
public:
    void SetUp() override {
        std::string classPath = std::string("-Djava.class.path=") + TEST_CLASSES_DIR;
        JavaVMOption options[] = {
            {const_cast<char*>(classPath.c_str()), nullptr},
            // A fixed single-byte default charset, as the launcher meets on
            // Windows (the ANSI code page).
            {const_cast<char*>("-Dfile.encoding=Cp1252"), nullptr},
            // The VM checks every JNI call and warns on standard error.
            {const_cast<char*>("-Xcheck:jni"), nullptr},
            {const_cast<char*>("-XX:+DisplayVMOutputToStderr"), nullptr},
            {const_cast<char*>("-Xmx64m"), nullptr},
            {const_cast<char*>("-XX:+UseSerialGC"), nullptr},
        };
        JavaVMInitArgs args = {};
        args.version = JNI_VERSION_1_2;
        args.nOptions = sizeof options / sizeof options[0];
        args.options = options;
        args.ignoreUnrecognized = JNI_FALSE;
        void* created = nullptr;
        ASSERT_EQ(JNI_CreateJavaVM(&vm, &created, &args), JNI_OK);
        env = static_cast<JNIEnv*>(created);
    }

    void TearDown() override {
        if (vm) vm->DestroyJavaVM();
    }
};

}  // namespace

JNIEnv* jni() { return env; }

jobject callProbe(const char* name, const char* signature, jobject argument) {
    jclass probe = env->FindClass("calls/Probe");
    jmethodID method = probe ? env->GetStaticMethodID(probe, name, signature) : nullptr;
    jobject result = nullptr;
    if (method && std::string_view(signature).ends_with(")V"))
        env->CallStaticVoidMethod(probe, method, argument);
    else if (method)
        result = env->CallStaticObjectMethod(probe, method, argument);
    if (!method || env->ExceptionCheck()) {
        env->ExceptionDescribe();
        ADD_FAILURE() << "calls.Probe." << name << signature << " failed";
    }
    if (probe) env->DeleteLocalRef(probe);
    return result;
}

std::string utfChars(jstring text) {
    if (!text) return {};
    const char* chars = env->GetStringUTFChars(text, nullptr);
    std::string copy = chars ? chars : "";
    if (chars) env->ReleaseStringUTFChars(text, chars);
    return copy;
}

NativeErrorCapture::NativeErrorCapture() {
    std::fflush(stderr);
    file_ = std::tmpfile();
    saved_ = dup(2);
    dup2(fileno(file_), 2);
}

std::string NativeErrorCapture::stop() {
    if (!file_) return {};
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    std::string text;
    std::rewind(file_);
    for (int c; (c = std::fgetc(file_)) != EOF;) text += static_cast<char>(c);
    std::fclose(file_);
    file_ = nullptr;
    return text;
}

std::u16string javaChars(jstring text) {
    jsize length = env->GetStringLength(text);
    std::u16string copy(static_cast<std::size_t>(length), u'\0');
    env->GetStringRegion(text, 0, length, reinterpret_cast<jchar*>(copy.data()));
    return copy;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The exit test runs in a new process of this program, which creates a
    // VM of its own; fork() alone would copy this process's running VM.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::AddGlobalTestEnvironment(new RealJvm);
    return RUN_ALL_TESTS();
}
