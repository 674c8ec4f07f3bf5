#pragma once
// JNI method signatures such as "([Ljava/lang/String;)V".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testjvm {

enum class JavaType { Void, Boolean, Byte, Char, Short, Int, Long, Float, Double, Reference };

struct MethodSignature {
    std::vector<JavaType> parameters;
    // For each parameter: its descriptor ("I", "[B", "Ljava/lang/String;").
    std::vector<std::string> descriptors;
    JavaType result = JavaType::Void;
};

// Nothing when the text is no well-formed method signature.
std::optional<MethodSignature> parseMethodSignature(std::string_view text);

}  // namespace testjvm
