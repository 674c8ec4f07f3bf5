#include "jvm/JavaCalls.h"

#include <cstdint>

void describePendingException(JNIEnv* env) {
    if (env->ExceptionOccurred()) env->ExceptionDescribe();
}

jstring newJavaString(JNIEnv* env, const std::string& text) {
    jclass stringClass = env->FindClass("java/lang/String");
    if (!stringClass) return nullptr;
    jmethodID constructor = env->GetMethodID(stringClass, "<init>", "([B)V");
    if (!constructor) return nullptr;
    jsize length = static_cast<jsize>(text.size());
    jbyteArray bytes = env->NewByteArray(length);
    if (!bytes) return nullptr;
    env->SetByteArrayRegion(bytes, 0, length, reinterpret_cast<const jbyte*>(text.data()));
    jstring result = nullptr;
    if (!env->ExceptionOccurred())
        result = static_cast<jstring>(env->NewObject(stringClass, constructor, bytes));
    env->DeleteLocalRef(bytes);
    return result;
}

jstring newJavaString(JNIEnv* env, const Argument& argument) {
    const std::wstring& wide = argument.wide;
    if (wide.empty()) return newJavaString(env, argument.text);
    if constexpr (sizeof(wchar_t) == sizeof(jchar)) {
        return env->NewString(reinterpret_cast<const jchar*>(wide.data()), static_cast<jsize>(wide.size()));
    } else {
        // Where wchar_t holds whole code points (this code compiled for
        // Linux), the UTF-16 units are made here.
        std::vector<jchar> units;
        for (wchar_t c : wide) {
            auto point = static_cast<std::uint32_t>(c);
            if (point > 0xFFFF) {
                units.push_back(static_cast<jchar>(0xD800 + ((point - 0x10000) >> 10)));
                point = 0xDC00 + ((point - 0x10000) & 0x3FF);
            }
            units.push_back(static_cast<jchar>(point));
        }
        return env->NewString(units.data(), static_cast<jsize>(units.size()));
    }
}

jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<Argument>& arguments) {
    jclass stringClass = env->FindClass("java/lang/String");
    if (!stringClass) return nullptr;
    jobjectArray array =
        env->NewObjectArray(static_cast<jsize>(arguments.size()), stringClass, nullptr);
    if (!array) return nullptr;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        jstring element = newJavaString(env, arguments[i]);
        if (!element) return nullptr;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), element);
        env->DeleteLocalRef(element);
    }
    return array;
}

bool redirectStandardStream(JNIEnv* env, const Argument& path, StandardStream stream) {
    jstring name = newJavaString(env, path);
    if (!name) return false;
    jclass fileStreamClass = env->FindClass("java/io/FileOutputStream");
    if (!fileStreamClass) return false;
    jmethodID fileStreamInit = env->GetMethodID(fileStreamClass, "<init>", "(Ljava/lang/String;)V");
    if (!fileStreamInit) return false;
    jobject fileStream = env->NewObject(fileStreamClass, fileStreamInit, name);
    if (!fileStream) return false;

    jclass printStreamClass = env->FindClass("java/io/PrintStream");
    if (!printStreamClass) return false;
    jmethodID printStreamInit =
        env->GetMethodID(printStreamClass, "<init>", "(Ljava/io/OutputStream;)V");
    if (!printStreamInit) return false;
    jobject printStream = env->NewObject(printStreamClass, printStreamInit, fileStream);
    if (!printStream) return false;

    jclass systemClass = env->FindClass("java/lang/System");
    if (!systemClass) return false;
    jmethodID setter = env->GetStaticMethodID(
        systemClass, stream == StandardStream::Out ? "setOut" : "setErr", "(Ljava/io/PrintStream;)V");
    if (!setter) return false;
    env->CallStaticVoidMethod(systemClass, setter, printStream);
    if (env->ExceptionOccurred()) {
        env->ExceptionDescribe();
        return false;
    }
    return true;
}

MainLookup findMainMethod(JNIEnv* env, const std::string& mainClass) {
    MainLookup lookup;
    jstring name = newJavaString(env, mainClass);
    if (!name) {
        lookup.failure = MainLookupFailure::NameNotConvertible;
        return lookup;
    }
    const char* chars = env->GetStringUTFChars(name, nullptr);
    if (!chars) {
        env->ExceptionDescribe();
        lookup.failure = MainLookupFailure::NameCharsUnavailable;
        return lookup;
    }
    lookup.className = chars;
    lookup.mainClass = env->FindClass(chars);
    env->ReleaseStringUTFChars(name, chars);
    if (!lookup.mainClass) {
        env->ExceptionDescribe();
        lookup.failure = MainLookupFailure::ClassNotFound;
        return lookup;
    }
    lookup.main = env->GetStaticMethodID(lookup.mainClass, "main", "([Ljava/lang/String;)V");
    if (!lookup.main) {
        if (env->ExceptionOccurred()) {
            env->ExceptionDescribe();
            lookup.failure = MainLookupFailure::MainMissingDescribed;
        } else {
            lookup.failure = MainLookupFailure::MainMissing;
        }
    }
    return lookup;
}

bool findSecondaryMain(JNIEnv* env, const std::string& mainClass, SecondaryMain& found) {
    jstring name = newJavaString(env, mainClass);
    if (!name) return false;
    const char* chars = env->GetStringUTFChars(name, nullptr);
    if (!chars) return false;
    found.mainClass = env->FindClass(chars);
    env->ReleaseStringUTFChars(name, chars);
    if (!found.mainClass) return false;
    found.method = env->GetStaticMethodID(found.mainClass, "secondaryMain", "([Ljava/lang/String;)V");
    if (env->ExceptionOccurred()) env->ExceptionClear();
    if (found.method) return true;
    found.returnsInt = true;
    found.method = env->GetStaticMethodID(found.mainClass, "secondaryMain", "([Ljava/lang/String;)I");
    return found.method != nullptr;
}

std::wstring exceptionText(JNIEnv* env, jthrowable exception) {
    // A character stream: the trace keeps every character, whatever the
    // VM's default charset can encode.
    jclass sinkClass = env->FindClass("java/io/StringWriter");
    if (!sinkClass) return {};
    jmethodID sinkInit = env->GetMethodID(sinkClass, "<init>", "()V");
    if (!sinkInit) return {};
    jobject sink = env->NewObject(sinkClass, sinkInit);
    if (!sink) return {};

    jclass writerClass = env->FindClass("java/io/PrintWriter");
    if (!writerClass) return {};
    jmethodID writerInit = env->GetMethodID(writerClass, "<init>", "(Ljava/io/Writer;)V");
    if (!writerInit) return {};
    jobject writer = env->NewObject(writerClass, writerInit, sink);
    if (!writer) return {};

    jclass exceptionClass = env->GetObjectClass(exception);
    if (!exceptionClass) return {};
    jmethodID printStackTrace =
        env->GetMethodID(exceptionClass, "printStackTrace", "(Ljava/io/PrintWriter;)V");
    if (!printStackTrace) return {};
    env->CallObjectMethod(exception, printStackTrace, writer);
    describePendingException(env);

    jmethodID toString = env->GetMethodID(sinkClass, "toString", "()Ljava/lang/String;");
    if (!toString) return {};
    auto trace = static_cast<jstring>(env->CallObjectMethod(sink, toString));
    describePendingException(env);
    if (!trace) return {};

    jsize length = env->GetStringLength(trace);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    if constexpr (sizeof(wchar_t) == sizeof(jchar)) {
        env->GetStringRegion(trace, 0, length, reinterpret_cast<jchar*>(text.data()));
    } else {
        std::vector<jchar> units(static_cast<std::size_t>(length));
        env->GetStringRegion(trace, 0, length, units.data());
        for (std::size_t i = 0; i < units.size(); ++i) text[i] = units[i];
    }
    if (env->ExceptionOccurred()) {
        env->ExceptionDescribe();
        return {};
    }
    return text;
}

void exitJava(JNIEnv* env) {
    jclass systemClass = env->FindClass("java/lang/System");
    if (!systemClass) return;
    jmethodID exit = env->GetStaticMethodID(systemClass, "exit", "(I)V");
    if (!exit) return;
    env->CallStaticVoidMethod(systemClass, exit, static_cast<jint>(-1));
    describePendingException(env);
}
