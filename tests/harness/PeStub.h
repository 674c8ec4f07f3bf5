#pragma once
// The first bytes of a DLL for a machine: a DOS header and the start of the
// PE headers, no more. Enough for the launcher to take the file for a JVM
// library of that machine; loading it fails (errno 193).

#include <windows.h>

#include <string>

inline std::string peStub(WORD machine = IMAGE_FILE_MACHINE_AMD64) {
    std::string bytes(64 + 24, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = 64;
    bytes.replace(64, 4, std::string("PE\0\0", 4));
    bytes[68] = static_cast<char>(machine & 0xFF);
    bytes[69] = static_cast<char>(machine >> 8);
    return bytes;
}
