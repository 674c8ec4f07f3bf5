#pragma once
// The machine a DLL is built for, read from its PE headers: a JVM library
// counts only when it is built for the launcher's own machine (a 64-bit
// launcher can load only a 64-bit jvm.dll).

#include <cstddef>
#include <cstdint>
#include <string>

// IMAGE_FILE_MACHINE_I386 or IMAGE_FILE_MACHINE_AMD64, as this launcher is
// built.
unsigned ownMachine();

// "i686", "x86_64", "arm64"; "" for anything else.
const char* machineName(unsigned machine);

// The offset of the NT headers from the first bytes of a file (the DOS
// header's e_lfanew), or 0 when they do not begin with "MZ" or are too few.
std::uint32_t ntHeadersOffset(const std::uint8_t* bytes, std::size_t count);

// The machine of the NT headers' first bytes ("PE\0\0" and the file
// header), or 0 when they are not that.
unsigned ntHeadersMachine(const std::uint8_t* bytes, std::size_t count);

// The subsystem of the NT headers' first bytes (IMAGE_SUBSYSTEM_WINDOWS_GUI,
// _CUI, ...; its place is the same in 32-bit and 64-bit images), or 0 when
// they are not that or too few.
unsigned ntHeadersSubsystem(const std::uint8_t* bytes, std::size_t count);

// The NT headers' first bytes that tell the machine and the subsystem.
inline constexpr std::size_t kNtHeadersPrefix = 94;

// The machine of the file at path; 0 when it is not a PE file, is cut short
// or cannot be read. Reads no more than the headers need.
unsigned libraryMachine(const std::string& path);
