#pragma once
// The shape of a JNI method signature as the calls need it: one letter per
// parameter (Z B C S I J F D, or L for any reference) and the result's
// letter (V for void).

#include <string>
#include <string_view>

namespace bridgejvm {

struct MethodShape {
    std::string parameters;
    char result = 'V';
    bool valid = false;
};

MethodShape parseSignature(std::string_view signature);

}  // namespace bridgejvm
