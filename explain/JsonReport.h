#pragma once
// The explanation as one JSON document, for tools.

#include <string>

#include "explain/LaunchExplanation.h"

std::string jsonReport(const Explanation& explanation);

// All four parts of a version, joined by ".".
std::string versionParts(const JavaVersion& version);
