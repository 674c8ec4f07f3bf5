#pragma once
// The environment a launch would have, without touching this process's: the
// variables the launch sets are kept here, and references are expanded by
// the platform's own expansion against a copy of this process's environment
// with those variables in it.

#include <string>
#include <utility>
#include <vector>

#include "base/Environment.h"

class OverlayEnvironment final : public LaunchEnvironment {
public:
    void set(const char* name, const std::string& value) override;
    std::string expand(const std::string& text) override;
    std::wstring expand(const std::wstring& text) override;

    // The variables set, in the order they were first set; a later setting
    // of the same name (compared without regard to case) replaces the value.
    const std::vector<std::pair<std::string, std::string>>& variables() const { return variables_; }

private:
    std::vector<std::pair<std::string, std::string>> variables_;
};
