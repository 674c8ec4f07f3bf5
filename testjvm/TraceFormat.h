#pragma once
// The trace file of the test runtime: one event per line, a name followed by
// fields "key=value", separated by tabs. Values are byte strings; a backslash,
// tab, CR, LF and the other control bytes are escaped so that every event
// stays on one line. The test runtime writes it, the test harness reads it.

#include <string>
#include <string_view>
#include <vector>

namespace testjvm {

struct TraceField {
    std::string key;
    std::string value;
};

struct TraceEvent {
    std::string name;  // empty for "no such event"
    std::vector<TraceField> fields;

    bool has(std::string_view key) const;
    // The value of the first field with that key; empty when there is none.
    std::string get(std::string_view key) const;
    // The value as a number (decimal or 0x hexadecimal); 0 when missing.
    long long number(std::string_view key) const;
    // The values of prefix0, prefix1, ... up to the first missing index.
    std::vector<std::string> list(std::string_view prefix) const;
    // The thread identifier that every event carries.
    unsigned long thread() const { return static_cast<unsigned long>(number("thread")); }
};

std::string escapeTraceValue(std::string_view value);
// Undoes escapeTraceValue; an unknown escape is kept as it stands.
std::string unescapeTraceValue(std::string_view text);

// One line, ending with LF.
std::string formatTraceEvent(const TraceEvent& event);
TraceEvent parseTraceEvent(std::string_view line);
// Every complete line of a trace file; a last line without LF (still being
// written) is left out.
std::vector<TraceEvent> parseTrace(std::string_view text);

}  // namespace testjvm
