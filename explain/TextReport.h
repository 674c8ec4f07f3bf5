#pragma once
// The explanation as text for a person: the launch's steps in the order the
// launcher takes them, lines ending in "\r\n", in the ANSI code page.

#include <string>

#include "explain/LaunchExplanation.h"

std::string textReport(const Explanation& explanation);
