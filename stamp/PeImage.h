#pragma once
// What stamp reads from an executable's headers, without loading it: that it
// is a whole Windows executable whose list of resources the system can read
// safely, for which processor and subsystem, where its checksum lies, and
// whether it carries a certificate table (an Authenticode signature).

#include <cstddef>
#include <cstdint>
#include <string>

#include "stamp/LittleEndian.h"

struct PeImage {
    std::string error;  // why the bytes are no executable; empty when they are one
    std::uint16_t machine = 0;
    bool pe32Plus = false;                // the 64-bit optional header
    std::size_t checksumAt = 0;           // file offset of the header's checksum
    std::uint16_t subsystem = 0;          // kGuiSubsystem, kConsoleSubsystem or another
    std::size_t subsystemAt = 0;          // file offset of the header's subsystem
    std::size_t certificateEntryAt = 0;   // file offset of the certificate table's directory entry; 0: none
    std::uint32_t certificateOffset = 0;  // the table itself (a file offset); 0 when there is none
    std::uint32_t certificateSize = 0;
};

// IMAGE_SUBSYSTEM_WINDOWS_GUI and IMAGE_SUBSYSTEM_WINDOWS_CUI.
constexpr std::uint16_t kGuiSubsystem = 2;
constexpr std::uint16_t kConsoleSubsystem = 3;

PeImage readPeImage(const std::uint8_t* data, std::size_t size);

// "x86 (32-bit)", "x86-64 (64-bit)", ...
std::string machineName(std::uint16_t machine);
// "Windows GUI", "Windows console", or "subsystem 1" for the others.
std::string subsystemName(std::uint16_t subsystem);

// Removes the certificate table: its directory entry becomes 0, and the file
// ends where the table began when nothing follows it.
void removeCertificateTable(Bytes& file, const PeImage& image);

// The header checksum of the file: 16-bit sums of the file with the checksum
// field left out, plus the file's length.
std::uint32_t peChecksum(const std::uint8_t* data, std::size_t size, std::size_t checksumAt);
