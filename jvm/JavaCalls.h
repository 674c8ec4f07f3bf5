#pragma once
// Everything the launcher asks of the Java VM through a JNIEnv: strings from
// ANSI bytes, the argument array, redirection of System.out and System.err,
// the main class and its main method, the text of an exception (UTF-16) and
// System.exit. No Windows call here: the same code runs against a real JVM
// on Linux in the native test suite.

#include <jni.h>

#include <string>
#include <vector>

#include "base/CommandLine.h"

// A java.lang.String made with new String(byte[]) from the text's bytes, so
// the VM decodes them with its default charset. Null on failure; a Java
// exception may then be pending.
jstring newJavaString(JNIEnv* env, const std::string& text);

// A java.lang.String of an argument: of its ANSI bytes as newJavaString
// makes it, or of its UTF-16 (NewString) when the ANSI code page cannot
// spell it.
jstring newJavaString(JNIEnv* env, const Argument& argument);

// A String[] of the arguments; null on failure.
jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<Argument>& arguments);

enum class StandardStream { Out, Err };

// System.setOut / System.setErr to a new PrintStream over a new
// FileOutputStream of the path (made as newJavaString makes an argument's
// string, so that a name of any language is kept). False on failure; an
// exception raised by the set call itself is described here, others are
// left pending.
bool redirectStandardStream(JNIEnv* env, const Argument& path, StandardStream stream);

enum class MainLookupFailure {
    None,
    NameNotConvertible,     // the class name could not be made a Java string
    NameCharsUnavailable,   // GetStringUTFChars failed (described)
    ClassNotFound,          // described; className holds the name as looked up
    MainMissingDescribed,   // no main, and the pending exception was described
    MainMissing,            // no main and no exception pending
};

struct MainLookup {
    jclass mainClass = nullptr;
    jmethodID main = nullptr;
    MainLookupFailure failure = MainLookupFailure::None;
    std::string className;  // the modified UTF-8 bytes the class was looked up with
};

// Finds the main class (slash form) through a Java string of its name, and
// its static main(String[]).
MainLookup findMainMethod(JNIEnv* env, const std::string& mainClass);

// The main class's static secondaryMain(String[]): the void variant when the
// class has one (an exception its lookup leaves is cleared), else the int
// variant. The class is looked up as for main, through a Java string of its
// name. False when the class or both methods are missing; an exception may
// then be pending.
struct SecondaryMain {
    jclass mainClass = nullptr;
    jmethodID method = nullptr;
    bool returnsInt = false;
};
bool findSecondaryMain(JNIEnv* env, const std::string& mainClass, SecondaryMain& found);

// The text printStackTrace writes for the exception into a character stream
// (a PrintWriter over a StringWriter), as the UTF-16 units of the Java
// string, one per wchar_t (where wchar_t is wider, as on Linux, each unit
// still takes one); empty when any step fails.
std::wstring exceptionText(JNIEnv* env, jthrowable exception);

// System.exit(-1). A conforming VM does not return from it.
void exitJava(JNIEnv* env);

// Describes (prints and clears) a pending exception, if any.
void describePendingException(JNIEnv* env);
