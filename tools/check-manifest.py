#!/usr/bin/env python3
"""Checks the manifest that a launcher executable carries (RT_MANIFEST 1):
the Java VM runs in the launcher's process, so this manifest decides how
Windows treats the whole Java application.

usage: check-manifest.py executable...

Each executable must declare: its assembly identity, common controls 6,
execution level asInvoker without UI access, DPI awareness true/pm (Windows
8.1 and 10 before 1607: per monitor; Vista to 8: system) and PerMonitorV2,
PerMonitor (Windows 10 1607 and later), and every Windows version from
Vista to 10 and 11 as supported. Prints what is wrong; exits 1 then."""
import struct
import sys
import xml.etree.ElementTree as ElementTree

ASSEMBLY_NAME = "Microsoft.Windows.VantorelJavaClassLoader"
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
RT_MANIFEST = 24


def manifest_of(image):
    """The bytes of RT_MANIFEST 1 (its first language), or None."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", image, optional)[0] == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    table = optional + optional_size
    spans = [struct.unpack_from("<8xIIII", image, table + 40 * i) for i in range(sections)]

    def offset(rva):
        for size, address, raw_size, raw in spans:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError("address %#x outside every section" % rva)

    base = offset(resource_rva)

    def entry(directory, wanted):
        named, ids = struct.unpack_from("<12xHH", image, base + directory)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", image, base + directory + 16 + 8 * i)
            if wanted is None or (not name & 0x80000000 and name == wanted):
                return target
        return None

    by_type = entry(0, RT_MANIFEST)
    if by_type is None:
        return None
    by_name = entry(by_type & 0x7FFFFFFF, 1)
    if by_name is None:
        return None
    by_language = entry(by_name & 0x7FFFFFFF, None)
    rva, size = struct.unpack_from("<II", image, base + by_language)
    return image[offset(rva):offset(rva) + size]


def problems_of(manifest):
    problems = []
    root = ElementTree.fromstring(manifest)
    if root.tag != ASM_V1 + "assembly" or root.get("manifestVersion") != "1.0":
        return ["the root is not an assembly of manifest version 1.0"]

    identity = root.find(ASM_V1 + "assemblyIdentity")
    if identity is None or identity.get("name") != ASSEMBLY_NAME or identity.get("type") != "win32":
        problems.append("the assembly identity is not %s (win32)" % ASSEMBLY_NAME)

    controls = [dependency.attrib for dependency in root.iterfind(
        ASM_V1 + "dependency/" + ASM_V1 + "dependentAssembly/" + ASM_V1 + "assemblyIdentity")]
    if not any(c.get("name") == "Microsoft.Windows.Common-Controls" and c.get("version") == "6.0.0.0"
               and c.get("publicKeyToken") == "6595b64144ccf1df" for c in controls):
        problems.append("no dependency on the common controls 6.0.0.0")

    levels = root.findall(ASM_V3 + "trustInfo/" + ASM_V3 + "security/" + ASM_V3 +
                          "requestedPrivileges/" + ASM_V3 + "requestedExecutionLevel")
    if [(level.get("level"), level.get("uiAccess")) for level in levels] != [("asInvoker", "false")]:
        problems.append("the execution level is not asInvoker without UI access")

    settings = root.findall(ASM_V3 + "application/" + ASM_V3 + "windowsSettings")
    aware = [e.text for s in settings for e in s.iterfind(SETTINGS_2005 + "dpiAware")]
    if [(text or "").strip().lower() for text in aware] != ["true/pm"]:
        problems.append("dpiAware (2005 settings) is %r, not true/pm" % aware)
    awareness = [e.text for s in settings for e in s.iterfind(SETTINGS_2016 + "dpiAwareness")]
    if [[part.strip().lower() for part in (text or "").split(",")] for text in awareness] != \
            [["permonitorv2", "permonitor"]]:
        problems.append("dpiAwareness (2016 settings) is %r, not PerMonitorV2, PerMonitor" % awareness)

    declared = [os.get("Id", "").lower() for os in root.iterfind(
        COMPATIBILITY + "compatibility/" + COMPATIBILITY + "application/" + COMPATIBILITY + "supportedOS")]
    for guid, name in SUPPORTED_OS.items():
        if guid not in declared:
            problems.append("%s is not declared as a supported OS" % name)
    for guid in declared:
        if guid not in SUPPORTED_OS:
            problems.append("unknown supported OS %s" % guid)
    return problems


def main(paths):
    status = 0
    for path in paths:
        try:
            with open(path, "rb") as file:
                manifest = manifest_of(file.read())
            problems = ["no manifest (RT_MANIFEST 1)"] if manifest is None else problems_of(manifest)
        except (OSError, ValueError, struct.error, ElementTree.ParseError) as error:
            problems = ["cannot read its manifest: %s" % error]
        for problem in problems:
            print("%s: manifest: %s" % (path, problem))
        if problems:
            status = 1
        else:
            print("%s: manifest: asInvoker, per-monitor DPI aware (v2), Windows Vista to 11" % path)
    return status


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print("usage: check-manifest.py executable...", file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1:]))
