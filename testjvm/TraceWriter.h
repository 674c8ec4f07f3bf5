#pragma once
// Appends events to the trace file named by the environment variable
// TESTJVM_TRACE (read once, at the first event). Without it nothing is
// written. Each event is written and the file closed at once, so that the
// trace is complete whenever the process ends; writers of this and other
// processes take turns through the file's share mode.

#include <string>
#include <string_view>
#include <vector>

#include "testjvm/TraceFormat.h"

namespace testjvm {

// Writes the event with the field thread=<current thread id> first.
void traceEvent(std::string_view name, std::vector<TraceField> fields = {});

// Records a fault of the caller (a JNI misuse, a slot that must not be
// used), prints it to standard error and ends the process with
// kFaultExitCode.
constexpr unsigned kFaultExitCode = 0x0BADC0DE;
[[noreturn]] void fault(const std::string& what);

// A warning: recorded and printed to standard error; the process goes on.
void warn(const std::string& what);

// Writes bytes to one of the process's standard handles, if it has one.
void writeStandardHandle(unsigned long which, std::string_view bytes);

// The fields time=<now> and process-start=<creation time of this process>,
// both in 100-ns units since 1601 (GetSystemTimePreciseAsFileTime and
// GetProcessTimes), taken when called: the start-up time of the process up
// to an event is their difference, measured inside the process.
std::vector<TraceField> timestampFields();

// Records the loading of a module as event "load".
void traceLoad(void* module, const char* variant);

}  // namespace testjvm
