#pragma once
// The Linux VM's standard error on its way to the launcher's: the warning
// the Java platform prints when the bridge installs its security manager is
// dropped. The bridge's server writes a mute marker before and an unmute
// marker after; what lies between them (the markers included) is dropped.

#include <string>
#include <string_view>

namespace bridgejvm {

class StderrFilter {
public:
    explicit StderrFilter(const std::string& token);
    // The bytes that may be passed on now; the start of what may become a
    // marker is held back until the next bytes decide.
    std::string feed(std::string_view bytes);
    // At the end of the stream: what was held back.
    std::string finish();

private:
    std::string mute_;
    std::string unmute_;
    std::string held_;
    bool muted_ = false;
};

}  // namespace bridgejvm
