#pragma once
// A Java runtime's release file, <home>\release, which every runtime of
// Java 9 and later (and most of Java 8) carries: its line JAVA_VERSION
// names the runtime's whole version ("17.0.9", "1.8.0_202").

#include <string>

// <home>\release for a home with or without its trailing backslash.
std::string releaseFileIn(const std::string& home);

// The runtime's release file for its JVM library (<home>\bin\<type>\jvm.dll).
std::string releaseFileOf(const std::string& jvmLibrary);

// The line JAVA_VERSION="..." of the text of a release file, without its
// line end (which is never part of a double-byte character); empty when
// there is none.
std::string releaseVersion(const std::string& releaseText);

// The JAVA_VERSION line of the release file at path; false when the file
// cannot be read (the line is then empty; it is also empty when the file has
// none).
bool readReleaseVersion(const std::string& path, std::string& line);
