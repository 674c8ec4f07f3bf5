// The JNI-facing calls of the launcher against the real Java VM: strings,
// argument arrays, redirection of the standard streams, the main class
// lookup, main itself, the text of an uncaught exception and System.exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "RealJvm.h"
#include "jvm/JavaCalls.h"

namespace {

namespace fs = std::filesystem;

class JavaCalls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(env->PushLocalFrame(64), JNI_OK);
        standardError_.emplace();
    }
    void TearDown() override {
        EXPECT_FALSE(env->ExceptionCheck()) << "a Java exception was left pending";
        env->ExceptionClear();
        env->PopLocalFrame(nullptr);
        std::string text = standardError_->stop();
        std::fputs(text.c_str(), stderr);
        EXPECT_EQ(text.find("WARNING"), std::string::npos) << "the VM's JNI checks warned";
    }

    jobject staticField(const char* cls, const char* name, const char* signature) {
        jclass found = env->FindClass(cls);
        return env->GetStaticObjectField(found, env->GetStaticFieldID(found, name, signature));
    }
    jobject systemOut() { return staticField("java/lang/System", "out", "Ljava/io/PrintStream;"); }

    std::vector<std::string> elements(jobjectArray array) {
        std::vector<std::string> texts;
        for (jsize i = 0; i < env->GetArrayLength(array); ++i)
            texts.push_back(utfChars(static_cast<jstring>(env->GetObjectArrayElement(array, i))));
        return texts;
    }

    JNIEnv* env = jni();
    std::optional<NativeErrorCapture> standardError_;
};

// How ExceptionDescribe begins on the thread that created the VM.
const std::string kDescribed = "Exception in thread \"main\" ";

// A fresh folder per test.
fs::path scratchFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path folder = fs::path(TEST_SCRATCH_DIR) / test->name();
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::vector<Argument> arguments(const std::vector<std::string>& texts) {
    std::vector<Argument> result;
    for (const std::string& text : texts) result.push_back({text, {}});
    return result;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(JavaCalls, StringsAreDecodedWithTheDefaultCharset) {
    // 0x80 is the euro sign in the VM's code page 1252, 0xE9 an e with acute.
    jstring text = newJavaString(env, "Caf\xE9 \x80 5");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(javaChars(text), u"Caf\u00e9 \u20ac 5");

    // Every byte counts, a zero byte too; nothing is added.
    EXPECT_EQ(javaChars(newJavaString(env, std::string("a\0b", 3))), std::u16string(u"a\0b", 3));
    EXPECT_EQ(javaChars(newJavaString(env, "")), u"");
}

TEST_F(JavaCalls, ArgumentArrays) {
    jobjectArray none = newJavaStringArray(env, {});
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(env->GetArrayLength(none), 0);

    // ANSI text as it is; a wide argument from its UTF-16 units, a character
    // beyond the first plane included.
    std::vector<Argument> given = arguments({"document.txt", "two words", "", "caf\xE9"});
    given.push_back({"??", L"\u65e5\u672c \U0001F600"});
    jobjectArray some = newJavaStringArray(env, given);
    ASSERT_NE(some, nullptr);
    std::vector<std::string> texts = elements(some);
    texts.pop_back();
    EXPECT_EQ(texts, (std::vector<std::string>{"document.txt", "two words", "", "caf\xC3\xA9"}));
    EXPECT_EQ(javaChars(static_cast<jstring>(env->GetObjectArrayElement(some, 4))),
              u"\u65e5\u672c \U0001F600");
}

TEST_F(JavaCalls, StandardStreamsGoToFiles) {
    fs::path folder = scratchFolder();
    std::ofstream(folder / "out.txt") << "old content, longer than what replaces it\n";
    callProbe("saveStreams", "()V");

    EXPECT_TRUE(redirectStandardStream(env, argumentOf((folder / "out.txt").string()), StandardStream::Out));
    EXPECT_TRUE(redirectStandardStream(env, argumentOf((folder / "err.txt").string()), StandardStream::Err));
    callProbe("printOut", "(Ljava/lang/String;)V", newJavaString(env, "to out caf\xE9"));
    callProbe("printErr", "(Ljava/lang/String;)V", newJavaString(env, "to err"));
    callProbe("restoreStreams", "()V");
    callProbe("printOut", "(Ljava/lang/String;)V", newJavaString(env, "after restoring"));

    // The existing file was truncated, not appended to; text is in the
    // default charset.
    EXPECT_EQ(readFile(folder / "out.txt"), "to out caf\xE9\n");
    EXPECT_EQ(readFile(folder / "err.txt"), "to err\n");
}

TEST_F(JavaCalls, RedirectionIntoAMissingFolderFailsAndTheCallerGoesOn) {
    fs::path path = scratchFolder() / "missing" / "out.txt";
    jobject before = systemOut();
    jclass notFound = env->FindClass("java/io/FileNotFoundException");
    std::string described = capturedStandardError([&] {
        EXPECT_FALSE(redirectStandardStream(env, argumentOf(path.string()), StandardStream::Out));
        // The caller finds the exception pending and describes it.
        jthrowable pending = env->ExceptionOccurred();
        ASSERT_NE(pending, nullptr);
        describePendingException(env);
        EXPECT_FALSE(env->ExceptionCheck());
        EXPECT_TRUE(env->IsInstanceOf(pending, notFound));
    });
    EXPECT_EQ(described.rfind(kDescribed + "java.io.FileNotFoundException: " + path.string(), 0), 0u)
        << described;
    EXPECT_FALSE(fs::exists(path.parent_path()));
    EXPECT_TRUE(env->IsSameObject(systemOut(), before));
    EXPECT_NE(newJavaString(env, "still usable"), nullptr);
}

TEST_F(JavaCalls, MainClassLookup) {
    MainLookup found = findMainMethod(env, "calls/Greeter");
    EXPECT_EQ(found.failure, MainLookupFailure::None);
    EXPECT_NE(found.mainClass, nullptr);
    EXPECT_NE(found.main, nullptr);
    EXPECT_EQ(found.className, "calls/Greeter");

    MainLookup missing;
    std::string described =
        capturedStandardError([&] { missing = findMainMethod(env, "calls/Missing"); });
    EXPECT_EQ(missing.failure, MainLookupFailure::ClassNotFound);
    EXPECT_EQ(missing.className, "calls/Missing");
    EXPECT_EQ(missing.mainClass, nullptr);
    EXPECT_EQ(described.rfind(kDescribed + "java.lang.NoClassDefFoundError: calls/Missing", 0), 0u)
        << described;

    // Only a static main(String[]) counts: NoMain has an instance one.
    MainLookup noMain;
    described = capturedStandardError([&] { noMain = findMainMethod(env, "calls/NoMain"); });
    EXPECT_EQ(noMain.failure, MainLookupFailure::MainMissingDescribed);
    EXPECT_EQ(noMain.main, nullptr);
    EXPECT_EQ(described.rfind(kDescribed + "java.lang.NoSuchMethodError: ", 0), 0u) << described;
    EXPECT_NE(described.find("main"), std::string::npos) << described;
}

TEST_F(JavaCalls, MainReceivesItsArguments) {
    MainLookup lookup = findMainMethod(env, "calls/Greeter");
    ASSERT_EQ(lookup.failure, MainLookupFailure::None);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"a b", "-nosplash"}}) {
        env->CallStaticVoidMethod(lookup.mainClass, lookup.main,
                                  newJavaStringArray(env, ::arguments(arguments)));
        EXPECT_FALSE(env->ExceptionCheck());
        auto received = static_cast<jobjectArray>(
            staticField("calls/Greeter", "received", "[Ljava/lang/String;"));
        ASSERT_NE(received, nullptr);
        EXPECT_EQ(elements(received), arguments);
    }
}

TEST_F(JavaCalls, TextOfAnExceptionThatEscapesMain) {
    MainLookup lookup = findMainMethod(env, "calls/Thrower");
    ASSERT_EQ(lookup.failure, MainLookupFailure::None);
    jthrowable exception = nullptr;
    // As the Java thread does: call main, then describe what it left pending.
    std::string described = capturedStandardError([&] {
        env->CallStaticVoidMethod(lookup.mainClass, lookup.main, newJavaStringArray(env, arguments({"x"})));
        exception = env->ExceptionOccurred();
        env->ExceptionDescribe();
    });
    ASSERT_NE(exception, nullptr);
    EXPECT_TRUE(env->IsInstanceOf(exception, env->FindClass("java/lang/IllegalStateException")));

    std::wstring text = exceptionText(env, exception);
    // What Java itself writes for it through a character stream, unit for unit.
    std::u16string java = javaChars(static_cast<jstring>(
        callProbe("traceOf", "(Ljava/lang/Throwable;)Ljava/lang/String;", exception)));
    EXPECT_EQ(std::u16string(text.begin(), text.end()), java);
    // Every letter of the message, those the VM's default charset (Cp1252)
    // lacks too; frames; the cause's section with the frames it shares with
    // the enclosing trace shortened.
    const std::string frames =
        "\tat calls.Thrower.run(Thrower.java:15)\n"
        "\tat calls.Thrower.main(Thrower.java:8)\n"
        "Caused by: java.io.IOException: disk full\n"
        "\tat calls.Thrower.save(Thrower.java:20)\n"
        "\tat calls.Thrower.run(Thrower.java:13)\n"
        "\t... 1 more\n";
    EXPECT_EQ(text, L"java.lang.IllegalStateException: could not save caf\u00e9 \u0444\u0430\u0439\u043b "
                    L"\u6587\u4ef6 1\n" + std::wstring(frames.begin(), frames.end()));
    // ExceptionDescribe printed the trace through that charset: the letters
    // it lacks are lost there (modified UTF-8 of what came back).
    EXPECT_EQ(described, kDescribed + "java.lang.IllegalStateException: could not save caf\xC3\xA9 ???? ?? 1\n" + frames);
}

TEST(JavaExit, EndsTheProcessWithMinusOne) {
    EXPECT_EXIT(exitJava(jni()), ::testing::ExitedWithCode(255), "");
}

}  // namespace
