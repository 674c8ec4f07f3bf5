#include "testjvm/Signature.h"

namespace testjvm {

namespace {

// Reads one field descriptor at text[at]; gives its end, or npos.
std::size_t fieldEnd(std::string_view text, std::size_t at, JavaType& type) {
    std::size_t dimensions = 0;
    while (at < text.size() && text[at] == '[') {
        ++dimensions;
        ++at;
    }
    if (at >= text.size()) return std::string_view::npos;
    std::size_t end = at + 1;
    switch (text[at]) {
    case 'Z': type = JavaType::Boolean; break;
    case 'B': type = JavaType::Byte; break;
    case 'C': type = JavaType::Char; break;
    case 'S': type = JavaType::Short; break;
    case 'I': type = JavaType::Int; break;
    case 'J': type = JavaType::Long; break;
    case 'F': type = JavaType::Float; break;
    case 'D': type = JavaType::Double; break;
    case 'L': {
        std::size_t semicolon = text.find(';', at);
        if (semicolon == std::string_view::npos || semicolon == at + 1) return std::string_view::npos;
        type = JavaType::Reference;
        end = semicolon + 1;
        break;
    }
    default: return std::string_view::npos;
    }
    if (dimensions > 0) type = JavaType::Reference;
    return end;
}

}  // namespace

std::optional<MethodSignature> parseMethodSignature(std::string_view text) {
    if (text.empty() || text[0] != '(') return std::nullopt;
    MethodSignature signature;
    std::size_t at = 1;
    while (at < text.size() && text[at] != ')') {
        JavaType type;
        std::size_t end = fieldEnd(text, at, type);
        if (end == std::string_view::npos) return std::nullopt;
        signature.parameters.push_back(type);
        signature.descriptors.emplace_back(text.substr(at, end - at));
        at = end;
    }
    if (at >= text.size()) return std::nullopt;
    ++at;
    if (at + 1 == text.size() && text[at] == 'V') {
        signature.result = JavaType::Void;
        return signature;
    }
    if (fieldEnd(text, at, signature.result) != text.size()) return std::nullopt;
    return signature;
}

}  // namespace testjvm
