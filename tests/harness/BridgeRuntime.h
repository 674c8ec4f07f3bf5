#pragma once
// The bridge runtime (bridgejvm/README.md) in end-to-end cases: Java homes
// whose jvm.dll runs real Java in a Linux VM, and the Linux VMs they start.

#include <windows.h>

#include <string>
#include <vector>

#include "harness/TestFolder.h"

// Lays out a bridge runtime in folder\home (bin\java.dll, bin\java.exe,
// bin\client and bin\server\jvm.dll with classes.jsa where the Linux Java
// has a base archive, lib\bridgejvm, release); gives its full path. Its
// Linux Java is the build's Java 17, or with java "java25" the Java 25 JDK
// and with "jlink" the build's jlink image of Java 17 without a base archive
// (bridgejvm/README.md).
std::string addBridgeRuntime(const TestFolder& folder, const std::string& home, const std::string& java = "");

// Why a runtime of that Linux Java cannot be laid out here (its JDK is not
// installed, the build made none); empty when it can.
std::string bridgeJavaMissing(const std::string& java);

// The Unix path Wine maps a Windows path to; empty when it cannot.
std::string unixPathOf(const std::string& windowsPath);

// Process ids of the running Linux VMs started for runtimes inside the
// folder (recognized by the runtime folder on their command line).
std::vector<int> bridgeJvmProcesses(const std::string& windowsFolder);
// Waits until no such VM is left; false on time-out.
bool waitForNoBridgeJvm(const std::string& windowsFolder, DWORD timeoutMs);
