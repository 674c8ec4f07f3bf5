#pragma once
// The one real Java VM of the test process, created before the first test
// (a process can create a VM only once), and small helpers for the tests.

#include <gtest/gtest.h>
#include <jni.h>

#include <cstdio>
#include <string>
#include <vector>

// The environment of the main thread, on which every test runs.
JNIEnv* jni();

// Calls the static method calls.Probe.name, which takes no argument or one
// object; fails the test when it throws. The object result, if any.
jobject callProbe(const char* name, const char* signature, jobject argument = nullptr);

// The modified UTF-8 bytes of a Java string ("" for null).
std::string utfChars(jstring text);

// The UTF-16 units of a Java string.
std::u16string javaChars(jstring text);

// Points the process's standard error (file descriptor 2) at a temporary
// file until stop() gives what was written there.
class NativeErrorCapture {
public:
    NativeErrorCapture();
    std::string stop();
    ~NativeErrorCapture() { stop(); }
    NativeErrorCapture(const NativeErrorCapture&) = delete;
    NativeErrorCapture& operator=(const NativeErrorCapture&) = delete;

private:
    int saved_ = -1;
    std::FILE* file_ = nullptr;
};

// What reached standard error while action ran (the VM's JNI checks must not
// warn): the VM's own words
// (ExceptionDescribe's "Exception in thread ...") and then what Java printed
// to System.err, which points to a buffer meanwhile (decoded with the VM's
// default charset, as modified UTF-8 bytes).
template <typename Action>
std::string capturedStandardError(Action action) {
    callProbe("captureErr", "()V");
    NativeErrorCapture native;
    action();
    if (jni()->ExceptionCheck()) {
        ADD_FAILURE() << "a Java exception was left pending";
        jni()->ExceptionDescribe();
    }
    std::string text = native.stop();
    EXPECT_EQ(text.find("WARNING"), std::string::npos) << "the VM's JNI checks warned:\n" << text;
    return text + utfChars(static_cast<jstring>(callProbe("takeErr", "()Ljava/lang/String;")));
}
