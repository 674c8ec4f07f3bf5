#include "bridgejvm/StderrFilter.h"

namespace bridgejvm {

StderrFilter::StderrFilter(const std::string& token)
    : mute_("\x01" "bridgejvm-mute " + token + "\n"), unmute_("\x01" "bridgejvm-unmute " + token + "\n") {}

std::string StderrFilter::feed(std::string_view bytes) {
    held_.append(bytes);
    std::string out;
    for (;;) {
        const std::string& marker = muted_ ? unmute_ : mute_;
        std::size_t found = held_.find(marker);
        if (found != std::string::npos) {
            if (!muted_) out.append(held_, 0, found);
            held_.erase(0, found + marker.size());
            muted_ = !muted_;
            continue;
        }
        // Keep a tail that may be the start of the marker.
        std::size_t keep = held_.rfind('\x01');
        if (keep == std::string::npos || held_.size() - keep >= marker.size() ||
            marker.compare(0, held_.size() - keep, held_, keep) != 0)
            keep = held_.size();
        if (!muted_) out.append(held_, 0, keep);
        held_.erase(0, keep);
        return out;
    }
}

std::string StderrFilter::finish() {
    std::string rest = muted_ ? std::string() : held_;
    held_.clear();
    return rest;
}

}  // namespace bridgejvm
