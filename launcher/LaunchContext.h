#pragma once
// What a launch is evaluated against: the executable it belongs to, the
// process environment it reads and changes, and who watches its decisions.
//
// The launcher leaves every part at its default: its own executable
// (GetModuleFileNameA), its own process environment, nobody watching. The
// companion that explains a launch sets the parts once, before anything reads
// them, and so runs the launcher's own code for another executable without
// changing anything: the variables the launch would set go to its
// LaunchEnvironment instead of the process, and messages the launch would
// show go to its LaunchObserver instead of a message box.

#include <string>

class LaunchObserver;

// Takes the variables a launch sets, and expands %NAME% references as the
// process environment would after those settings.
class LaunchEnvironment {
public:
    virtual void set(const char* name, const std::string& value) = 0;
    virtual std::string expand(const std::string& text) = 0;

protected:
    ~LaunchEnvironment() = default;
};

struct LaunchContext {
    const char* executablePath = nullptr;      // null: the running executable
    LaunchEnvironment* environment = nullptr;  // null: the process environment
    LaunchObserver* observer = nullptr;        // null: nobody watches
};

// Set up once, before the launch starts; read only afterwards.
inline LaunchContext launchContext;

inline LaunchObserver* launchObserver() { return launchContext.observer; }

