#include "testjvm/TraceFormat.h"

#include <cstdlib>

namespace testjvm {

bool TraceEvent::has(std::string_view key) const {
    for (const TraceField& field : fields)
        if (field.key == key) return true;
    return false;
}

std::string TraceEvent::get(std::string_view key) const {
    for (const TraceField& field : fields)
        if (field.key == key) return field.value;
    return {};
}

long long TraceEvent::number(std::string_view key) const {
    std::string value = get(key);
    return value.empty() ? 0 : std::strtoll(value.c_str(), nullptr, 0);
}

std::vector<std::string> TraceEvent::list(std::string_view prefix) const {
    std::vector<std::string> values;
    for (std::size_t index = 0;; ++index) {
        std::string key = std::string(prefix) + std::to_string(index);
        if (!has(key)) return values;
        values.push_back(get(key));
    }
}

std::string escapeTraceValue(std::string_view value) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(value.size());
    for (char c : value) {
        unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': text += "\\\\"; break;
        case '\t': text += "\\t"; break;
        case '\r': text += "\\r"; break;
        case '\n': text += "\\n"; break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                text += "\\x";
                text += digits[byte >> 4];
                text += digits[byte & 15];
            } else {
                text += c;
            }
        }
    }
    return text;
}

namespace {
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::string unescapeTraceValue(std::string_view text) {
    std::string value;
    value.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            value += text[i];
            continue;
        }
        char next = text[i + 1];
        if (next == '\\') value += '\\';
        else if (next == 't') value += '\t';
        else if (next == 'r') value += '\r';
        else if (next == 'n') value += '\n';
        else if (next == 'x' && i + 3 < text.size() && hexDigit(text[i + 2]) >= 0 &&
                 hexDigit(text[i + 3]) >= 0) {
            value += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
            i += 2;
        } else {
            value += '\\';
            continue;
        }
        ++i;
    }
    return value;
}

std::string formatTraceEvent(const TraceEvent& event) {
    std::string line = event.name;
    for (const TraceField& field : event.fields) {
        line += '\t';
        line += field.key;
        line += '=';
        line += escapeTraceValue(field.value);
    }
    line += '\n';
    return line;
}

TraceEvent parseTraceEvent(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    TraceEvent event;
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        std::size_t end = line.find('\t', start);
        std::string_view part = line.substr(start, end == std::string_view::npos ? end : end - start);
        if (first) {
            event.name = std::string(part);
            first = false;
        } else {
            std::size_t eq = part.find('=');
            if (eq == std::string_view::npos)
                event.fields.push_back({std::string(part), {}});
            else
                event.fields.push_back({std::string(part.substr(0, eq)),
                                        unescapeTraceValue(part.substr(eq + 1))});
        }
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return event;
}

std::vector<TraceEvent> parseTrace(std::string_view text) {
    std::vector<TraceEvent> events;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
        events.push_back(parseTraceEvent(text.substr(start, end - start)));
    return events;
}

}  // namespace testjvm
