#include "jvm/ClassDataSharing.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "base/FileProbe.h"
#include "base/PathText.h"
#include "jre/ReleaseFile.h"
#include "settings/SettingsPaths.h"

namespace {

// The first bytes of a dynamic archive whose header HotSpot has written:
// its magic number 0xf00baba8, little-endian.
const char kArchiveMagic[] = "\xa8\xab\x0b\xf0";
const char kRefused[] = "refused\r\n";
const char kMakeOption[] = "-XX:ArchiveClassesAtExit=";
const char kMapOption[] = "-XX:SharedArchiveFile=";
const char kAutoOption[] = "-XX:+AutoCreateSharedArchive";
// What an option of the author's that chooses class data sharing holds:
// -Xshare:..., "SharedArchive" (-XX:SharedArchiveFile and
// -XX:+AutoCreateSharedArchive) or "ArchiveClassesAtExit".
const char* const kAuthorsSharingNames[] = {"-Xshare", "SharedArchive", "ArchiveClassesAtExit"};

// Appends the record line of a file as it is now (zeros when it is
// missing); true for a folder.
bool appendCurrentLine(std::string& record, const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    bool found = GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != 0;
    appendRecordLine(record, path, data);
    return found && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The version of the chosen runtime: the registry subkey's when the registry
// gave the library, else JAVA_VERSION of the release file in its home.
void findVersion(ClassDataSharingPlan& p, const RuntimeDiscovery& discovery, const std::string& jvmLibrary) {
    JavaVersion version;
    if (const RegisteredVersion* registered = discovery.chosenRegistryVersion()) {
        p.versionSource = VersionSource::Registry;
        p.versionText = registered->name;
        version = registered->candidate.version;
    } else {
        if (!readReleaseVersion(releaseFileOf(jvmLibrary), p.versionText)) return;
        p.versionSource = VersionSource::ReleaseFile;
        JavaVersion::parse(p.versionText, 0, version);
    }
    p.version = featureRelease(version);
}

}  // namespace

int featureRelease(const JavaVersion& version) {
    if (version.count == 0) return 0;
    return version.parts[0] == 1 ? version.parts[1] : version.parts[0];
}

bool isSharingOption(const std::string& option) {
    for (const char* name : kAuthorsSharingNames)
        if (std::strstr(option.c_str(), name)) return true;
    return false;
}

void appendRecordLine(std::string& record, const std::string& path, const WIN32_FILE_ATTRIBUTE_DATA& data) {
    char stamp[40];
    wsprintfA(stamp, "%08lx%08lx %08lx%08lx ", data.nFileSizeHigh, data.nFileSizeLow,
              data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    record += stamp;
    record += path;
    record += "\r\n";
}

RecordState recordStateOf(bool exists, const std::string& held, const std::string& expected) {
    if (!exists) return RecordState::Missing;
    std::string_view view(held);
    if (view.substr(0, expected.size()) != expected) return RecordState::Differs;
    view.remove_prefix(expected.size());
    return view.empty() ? RecordState::Matches : view == kRefused ? RecordState::Refused : RecordState::Differs;
}

SharingState archiveUse(int version, RecordState record, ArchiveState archive) {
    if (archive == ArchiveState::Folder) return SharingState::ArchiveIsFolder;
    if (record == RecordState::Refused) return SharingState::Refused;
    if (version >= 19) return SharingState::Keeps;
    if (record == RecordState::Matches && archive == ArchiveState::Complete) return SharingState::Maps;
    return SharingState::Makes;
}

ClassDataSharingPlan planClassDataSharing(bool asked, const ProductSettings& product,
                                          const RuntimeDiscovery& discovery, const std::string& jvmLibrary,
                                          const std::string& executable, const VmConfiguration& vm) {
    ClassDataSharingPlan p;
    if (!asked) return p;
    findVersion(p, discovery, jvmLibrary);
    if (p.version < 13) p.state = p.version == 0 ? SharingState::UnknownVersion : SharingState::OldVersion;
    for (const std::string& option : vm.options)
        if (isSharingOption(option)) p.state = SharingState::AuthorsOption;
    if (p.state != SharingState::NotAsked) return p;
    p.state = SharingState::NoLocalAppData;

    char localAppData[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", localAppData, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return p;
    // The per-user settings file's path, with "jsa" for its "ini".
    p.archive = userSettingsPathFor(executable, localAppData, product.name, product.code);
    p.archive.resize(p.archive.size() - 3);
    p.archive += "jsa";

    p.state = SharingState::FolderOnClassPath;
    appendCurrentLine(p.record, jvmLibrary);
    for (const ClassPathPiece& piece : vm.classPath)
        for (const std::string& entry : piece.entries)
            if (appendCurrentLine(p.record, entry)) return p;
    if (!vm.embeddedJar.empty() && appendCurrentLine(p.record, vm.embeddedJar)) return p;

    std::string held;
    bool exists = readFileStart(recordPath(p.archive), static_cast<DWORD>(p.record.size() + sizeof kRefused), held);
    p.recordState = recordStateOf(exists, held, p.record);
    DWORD attributes = GetFileAttributesA(p.archive.c_str());
    std::string start;
    if (attributes != INVALID_FILE_ATTRIBUTES)
        p.archiveState = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ArchiveState::Folder
                         : readFileStart(p.archive, 4, start) && start == kArchiveMagic ? ArchiveState::Complete
                                                                                     : ArchiveState::Incomplete;
    p.state = archiveUse(p.version, p.recordState, p.archiveState);
    return p;
}

void addSharingOptions(const ClassDataSharingPlan& p, VmConfiguration& vm) {
    if (!writesArchive(p.state) && p.state != SharingState::Maps) return;
    const char* archive = p.state == SharingState::Makes ? kMakeOption : kMapOption;
    // From Java 25 on, part of class data sharing logs under the tag "aot",
    // which older versions refuse.
    const char* added[] = {archive, p.state == SharingState::Keeps ? kAutoOption : nullptr,
                           "-Xlog:cds*=off", p.version >= 25 ? "-Xlog:aot*=off" : nullptr};
    for (const char* option : added) {
        if (!option) continue;
        vm.options.push_back(option);
        if (option == archive) vm.options.back() += p.archive;
        ++vm.sharingOptions;
    }
}

SharingState takeArchive(const ClassDataSharingPlan& p, UniqueFile& record) {
    createParentFolders(p.archive, 2);
    // Others may read the record meanwhile, but not write it.
    record.reset(CreateFileA(recordPath(p.archive).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!record) return GetLastError() == ERROR_SHARING_VIOLATION ? SharingState::Busy : SharingState::Unwritable;
    if (p.recordState == RecordState::Matches && p.archiveState == ArchiveState::Complete) return p.state;
    // HotSpot makes the archive read-only.
    SetFileAttributesA(p.archive.c_str(), FILE_ATTRIBUTE_NORMAL);
    DWORD written = 0;
    if ((p.archiveState == ArchiveState::Missing || DeleteFileA(p.archive.c_str())) &&
        WriteFile(record.get(), p.record.data(), static_cast<DWORD>(p.record.size()), &written, nullptr) &&
        SetEndOfFile(record.get()))
        return p.state;
    record.reset();
    return SharingState::Unwritable;
}

SharingState peekArchive(const ClassDataSharingPlan& p) {
    // A launch that holds the record lets others only read it; this reading
    // open, which lets nobody write, fails then.
    UniqueFile record(CreateFileA(recordPath(p.archive).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !record && GetLastError() == ERROR_SHARING_VIOLATION ? SharingState::Busy : p.state;
}

void noteRefusal(const UniqueFile& record) {
    DWORD written = 0;
    if (record && SetFilePointer(record.get(), 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER)
        WriteFile(record.get(), kRefused, sizeof kRefused - 1, &written, nullptr);
}

std::string recordPath(const std::string& archive) { return archive + ".record"; }
