#pragma once
// Java version values as the registry names them (1.6, 1.6.0_20) and as the
// settings bound them.

#include <cstdint>
#include <string>

struct JavaVersion {
    std::int32_t parts[4] = {0, 0, 0, 0};
    std::int32_t count = 0;  // numbers the text held, 0 to 4; 0 after a failed parse

    // Reads up to four numbers separated by any run of non-digits; parts not
    // read are set to fill. On failure all parts and the count are 0.
    static bool parse(const std::string& text, std::int32_t fill, JavaVersion& version);
};

constexpr std::int32_t kVersionFillMin = 0;
constexpr std::int32_t kVersionFillMax = 65535;

int compare(const JavaVersion& a, const JavaVersion& b);

// All parts 0 or all parts 65535: no bound.
bool isUnbounded(const JavaVersion& v);

// A preferred-version pattern matches a candidate (see matches in the .cpp).
bool matches(const JavaVersion& candidate, const JavaVersion& pattern);

// "1.6", "1.5.0.12"; "0.0.0.0" when every part is 0 or 65535.
std::string toText(const JavaVersion& v);
