#pragma once
// The bridge runtime (bridgejvm/README.md) in end-to-end cases: Java homes
// whose jvm.dll runs real Java in a Linux VM, and the Linux VMs they start.

#include <windows.h>

#include <string>
#include <vector>

#include "harness/TestFolder.h"

// Lays out a bridge runtime in folder\home (bin\java.dll, bin\client and
// bin\server\jvm.dll, lib\bridgejvm); gives its full path.
std::string addBridgeRuntime(const TestFolder& folder, const std::string& home);

// The Unix path Wine maps a Windows path to; empty when it cannot.
std::string unixPathOf(const std::string& windowsPath);

// Process ids of the running Linux VMs started for runtimes inside the
// folder (recognized by the runtime folder on their command line).
std::vector<int> bridgeJvmProcesses(const std::string& windowsFolder);
// Waits until no such VM is left; false on time-out.
bool waitForNoBridgeJvm(const std::string& windowsFolder, DWORD timeoutMs);
