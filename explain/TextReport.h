#pragma once
// The explanation as text for a person: the launch's steps in the order the
// launcher takes them, lines ending in "\r\n", in UTF-16.

#include <string>

#include "explain/LaunchExplanation.h"

std::wstring textReport(const Explanation& explanation);
