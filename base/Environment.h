#pragma once
// The environment a launch sets variables in and expands %NAME% references
// against. The launcher uses its own process environment; the companion that
// explains a launch keeps the variables apart (explain/OverlayEnvironment.h)
// and leaves the process as it is.

#include <string>

class LaunchEnvironment {
public:
    virtual void set(const char* name, const std::string& value) = 0;
    // Windows environment expansion: undefined variables stay as written, and
    // the text is unchanged when expansion fails.
    virtual std::string expand(const std::string& text) = 0;
    // The same for text in UTF-16.
    virtual std::wstring expand(const std::wstring& text) = 0;

protected:
    ~LaunchEnvironment() = default;
};

class ProcessEnvironment final : public LaunchEnvironment {
public:
    void set(const char* name, const std::string& value) override;
    std::string expand(const std::string& text) override;
    std::wstring expand(const std::wstring& text) override;
};

// Expansion against the process environment, of text of any length: what the
// platform cannot expand in one call (about 32,000 characters in or out) is
// expanded one reference at a time.
std::string expandEnvironment(const std::string& text);

// The longest value of an environment variable, in characters.
inline constexpr std::size_t kVariableLimit = 32767;
