#include "bridgejvm/Signature.h"

namespace bridgejvm {

namespace {

// Reads one field type at position at; its letter, or 0 when malformed.
char fieldType(std::string_view signature, std::size_t& at) {
    if (at >= signature.size()) return 0;
    char c = signature[at];
    if (c == '[') {
        while (at < signature.size() && signature[at] == '[') ++at;
        return fieldType(signature, at) ? 'L' : 0;
    }
    if (c == 'L') {
        std::size_t end = signature.find(';', at);
        if (end == std::string_view::npos || end == at + 1) return 0;
        at = end + 1;
        return 'L';
    }
    if (std::string_view("ZBCSIJFD").find(c) == std::string_view::npos) return 0;
    ++at;
    return c;
}

}  // namespace

MethodShape parseSignature(std::string_view signature) {
    MethodShape shape;
    if (signature.empty() || signature[0] != '(') return shape;
    std::size_t at = 1;
    while (at < signature.size() && signature[at] != ')') {
        char type = fieldType(signature, at);
        if (!type) return shape;
        shape.parameters += type;
    }
    if (at >= signature.size()) return shape;
    ++at;
    if (at < signature.size() && signature[at] == 'V') {
        shape.result = 'V';
        ++at;
    } else {
        shape.result = fieldType(signature, at);
        if (!shape.result) return shape;
    }
    shape.valid = at == signature.size() && shape.parameters.size() <= 255;
    return shape;
}

}  // namespace bridgejvm
