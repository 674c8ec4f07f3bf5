#pragma once
// The text that Throwable.printStackTrace writes, in the format of the Java
// platform: the exception's description, one "\tat frame" line per stack
// frame, then a "Caused by: " section for each cause, whose frames shared
// with the enclosing trace are shortened to "\t... n more". Lines end with
// CR LF, the line separator of Java on Windows.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testjvm {

struct ThrowableText {
    std::wstring description;          // as Throwable.toString gives it
    std::vector<std::wstring> frames;  // "com.example.Main.main(Main.java:3)"
};

// "java.lang.RuntimeException: boom", or only the class name without message.
std::wstring describeThrowable(std::string_view internalClassName,
                               const std::optional<std::wstring>& message);

// chain[0] is the exception, chain[i + 1] the cause of chain[i].
std::wstring formatStackTrace(const std::vector<ThrowableText>& chain);

}  // namespace testjvm
