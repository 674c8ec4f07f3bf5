#include "jvm/ClassDataSharing.h"

#include <windows.h>

#include <cstring>

#include "base/AnsiText.h"
#include "base/FileProbe.h"
#include "base/PathText.h"
#include "base/WideText.h"
#include "jre/ReleaseFile.h"
#include "settings/SettingsPaths.h"

namespace {

// The first bytes of a file whose header HotSpot has written: the magic
// number of a dynamic archive (0xf00baba8) and of a static archive, which
// the ahead-of-time cache is (0xf00baba2), little-endian.
const char kArchiveMagic[] = "\xa8\xab\x0b\xf0";
const char kCacheMagic[] = "\xa2\xab\x0b\xf0";
const char kMakeOption[] = "-XX:ArchiveClassesAtExit=";
const char kMapOption[] = "-XX:SharedArchiveFile=";
// The record's line of an attempt: one of these words (all of one length,
// so that a launch marks its attempt by writing the word alone), a blank and
// the options; before it "nocache" when the cache could not be made.
const char kAttemptWords[] = "pendingreachedrefusedstopped";
const std::size_t kWordLength = 7;
const char kNoCache[] = "nocache\r\n";
// What an option of the author's that chooses class data sharing holds
// ("AOTC": -XX:AOTCache, -XX:AOTCacheOutput, -XX:AOTConfiguration).
const char* const kAuthorsSharingNames[] = {"-Xshare", "SharedArchive", "ArchiveClassesAtExit", "AOTC", "AOTMode"};

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

// The path from "from" on keeps it in the folder before: no component of
// only dots and blanks ("..", or what Windows trims to nothing), no colon.
bool staysInside(const std::string& path, std::size_t from) {
    int dots = 0;  // the component's length so far; -1 once it holds more than dots and blanks
    for (std::size_t i = from;; i = ansi::next(path, i)) {
        char c = i < path.size() ? path[i] : '\\';
        if (c == ':') return false;
        if (c == '\\' || c == '/') {
            if (dots > 0) return false;
            dots = 0;
        } else if (dots >= 0) {
            dots = c == '.' || c == ' ' ? dots + 1 : -1;
        }
        if (i == path.size()) return true;
    }
}

ArchiveState archiveStateOf(const std::string& path, const char* magic) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    std::string start;
    if (attributes == INVALID_FILE_ATTRIBUTES) return ArchiveState::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ArchiveState::Folder;
    return readFileStart(path, 4, start) && start == magic ? ArchiveState::Complete : ArchiveState::Incomplete;
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

bool readRecord(ClassDataSharingPlan& p, bool exists, const std::string& held) {
    if (!exists) return false;
    p.recordState = RecordState::Differs;
    if (held.compare(0, p.record.size(), p.record)) return false;
    const char* tail = held.c_str() + p.record.size();
    const char* last = held.c_str() + held.size();
    bool noCache = !std::strncmp(tail, kNoCache, sizeof kNoCache - 1);
    if (noCache) tail += sizeof kNoCache - 1;
    if (tail != last) {
        // One line: a word, a blank, the options.
        const char* end = std::strstr(tail, "\r\n");
        int word = 0;
        while (word < 4 && std::strncmp(tail, kAttemptWords + word * kWordLength, kWordLength)) ++word;
        if (word == 4 || tail[kWordLength] != ' ' || end != last - 2) return false;
        p.attempt = static_cast<Attempt>(word + 1);
        p.attemptOptions.assign(tail + kWordLength + 1, end);
    }
    p.recordState = p.attempt >= Attempt::Refused ? RecordState::Refused : RecordState::Matches;
    return noCache;
}

SharingState archiveUse(const ClassDataSharingPlan& p) {
    if (p.archiveState == ArchiveState::Folder) return SharingState::ArchiveIsFolder;
    if (p.recordState == RecordState::Refused) return SharingState::Refused;
    bool matches = p.recordState == RecordState::Matches;
    if (matches && p.attempt == Attempt::Pending && !p.recordHeld) return SharingState::Stopped;
    bool complete = matches && p.archiveState == ArchiveState::Complete;
    SharingState state = p.cache           ? (complete ? SharingState::MapsCache : SharingState::MakesCache)
                         : p.version >= 19 ? SharingState::Keeps
                         : complete        ? SharingState::Maps
                                           : SharingState::Makes;
    return writesArchive(state) && p.recordHeld ? SharingState::Busy : state;
}

ClassDataSharingPlan planClassDataSharing(bool asked, bool console, const ProductSettings& product,
                                          const RuntimeDiscovery& discovery, const std::string& jvmLibrary,
                                          const std::string& executable, const VmConfiguration& vm,
                                          LaunchTrace* trace) {
    ClassDataSharingPlan p;
    if (!asked) return p;
    findVersion(p, discovery, jvmLibrary);
    if (p.version < 13) p.state = p.version == 0 ? SharingState::UnknownVersion : SharingState::OldVersion;
    for (const std::string& option : vm.options)
        if (isSharingOption(option)) p.state = SharingState::AuthorsOption;
    if (p.state != SharingState::NotAsked) return p;

    // HotSpot makes the ahead-of-time cache with <home>\bin\java.exe; the
    // child that makes it announces itself on standard error, which a
    // console program's caller reads.
    if (p.version >= 25)
        p.fallback = console                                                  ? CacheFallback::Console
                     : exists(stripPathComponents(jvmLibrary, 2) + "\\java.exe") ? CacheFallback::None
                                                                               : CacheFallback::NoJavaExe;
    p.cache = p.version >= 25 && p.fallback == CacheFallback::None;
    // The base archive HotSpot maps by default lies beside the JVM library.
    p.baseArchive = folderOf(jvmLibrary) + "classes.jsa";
    p.baseArchiveExists = exists(p.baseArchive);

    p.state = SharingState::NoLocalAppData;
    std::wstring localAppData = appDataValue(L"LOCALAPPDATA");
    if (localAppData.empty()) return p;
    p.state = SharingState::UnusableFolder;
    AnsiPath folder = ansiPathOf(localAppData);
    if (!folder.ok) return p;
    traceShortName(trace, localAppData, folder);
    // The per-user settings file's path, without its "ini"; the longest
    // name there is "jsa.record".
    std::string stem = userSettingsPathFor(executable, folder.path, product.name, product.code);
    stem.resize(stem.size() - 3);
    p.archive = stem + "jsa";
    if (stem.size() + 10 >= MAX_PATH) return p;
    p.state = SharingState::OutsideFolder;
    if (!staysInside(stem, folder.path.size())) return p;

    p.state = SharingState::FolderOnClassPath;
    appendCurrentLine(p.record, jvmLibrary);
    for (const ClassPathPiece& piece : vm.classPath)
        for (const std::string& entry : piece.entries)
            if (appendCurrentLine(p.record, entry)) return p;
    if (!vm.embeddedJar.empty() && appendCurrentLine(p.record, vm.embeddedJar)) return p;

    std::string held;
    std::string record = recordPath(p.archive);
    bool recordExists = readFileStart(record, static_cast<DWORD>(p.record.size() + 1024), held);
    bool noCache = readRecord(p, recordExists, held);
    // A launch that holds the record for writing lets others only read it;
    // this reading open, which lets nobody write, fails then.
    p.recordHeld = recordExists && !UniqueFile(CreateFileA(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) &&
                   GetLastError() == ERROR_SHARING_VIOLATION;
    // A training launch that reached main and whose VM ended leaves the
    // configuration; without a cache beside it the cache could not be made.
    if (p.cache) {
        p.archive = stem + "aot";
        p.archiveState = archiveStateOf(p.archive, kCacheMagic);
        if (noCache || (p.attempt == Attempt::Reached && !p.recordHeld && exists(stem + "aot.config") &&
                        p.archiveState != ArchiveState::Complete)) {
            p.cache = false;
            p.fallback = CacheFallback::NotMade;
            p.archive = stem + "jsa";
        }
    }
    if (!p.cache) p.archiveState = archiveStateOf(p.archive, kArchiveMagic);
    p.state = p.cache || p.baseArchiveExists ? archiveUse(p) : SharingState::NoBaseArchive;
    return p;
}

std::vector<std::string> sharingOptions(const ClassDataSharingPlan& p) {
    const char* first = kMapOption;
    const char* more[] = {nullptr, nullptr, "-Xlog:cds*=off", p.version >= 25 ? "-Xlog:aot*=off" : nullptr};
    switch (p.state) {
    case SharingState::Maps:
        break;
    case SharingState::Makes:
        first = kMakeOption;
        break;
    case SharingState::Keeps:
        more[0] = "-XX:+AutoCreateSharedArchive";
        break;
    case SharingState::MapsCache:
        first = "-XX:AOTCache=";
        break;
    case SharingState::MakesCache:
        // The training prints its progress to standard output whatever the
        // logs say; only this keeps it there.
        first = "-XX:AOTCacheOutput=";
        more[0] = "-XX:+UnlockDiagnosticVMOptions";
        more[1] = "-XX:-DisplayVMOutput";
        break;
    default:
        return {};
    }
    std::vector<std::string> options(1, first + p.archive);
    for (const char* option : more)
        if (option) options.push_back(option);
    return options;
}

void addSharingOptions(const ClassDataSharingPlan& p, VmConfiguration& vm) {
    for (std::string& option : sharingOptions(p)) {
        vm.options.push_back(std::move(option));
        ++vm.sharingOptions;
    }
}

SharingState takeArchive(const ClassDataSharingPlan& p, SharingRecord& taken) {
    UniqueFile& record = taken.file_;
    // Launches that only map take the record together; any other alone.
    bool together = p.state == SharingState::Maps || p.state == SharingState::MapsCache;
    createParentFolders(p.archive, 2);
    record.reset(CreateFileA(recordPath(p.archive).c_str(), GENERIC_WRITE,
                             together ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!record) return GetLastError() == ERROR_SHARING_VIOLATION ? SharingState::Busy : SharingState::Unwritable;
    std::string text = p.record;
    if (!together) {
        // The files that do not count go (HotSpot makes them read-only); a
        // launch of 19 and later keeps an archive the record vouches for,
        // which its VM checks itself.
        std::string stem = p.archive.substr(0, ansi::findLast(p.archive, '.') + 1);
        for (const char* suffix : {"jsa", "aot", "aot.config"}) {
            std::string file = stem + suffix;
            if (p.state == SharingState::Keeps && p.recordState == RecordState::Matches && file == p.archive) continue;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(file.c_str()) && exists(file) && p.state != SharingState::Stopped) {
                record.reset();
                return SharingState::Unwritable;
            }
        }
    }
    if (p.fallback == CacheFallback::NotMade) text += kNoCache;
    taken.attemptAt_ = static_cast<DWORD>(text.size());
    taken.writes_ = writesArchive(p.state);
    bool stopped = p.state == SharingState::Stopped;
    text.append(kAttemptWords + (stopped ? 3 : 0) * kWordLength, kWordLength);
    if (stopped) {
        text += ' ';
        text += p.attemptOptions;
    }
    for (const std::string& option : sharingOptions(p)) {
        text += ' ';
        text += option;
    }
    text += "\r\n";
    DWORD written = 0;
    if (!WriteFile(record.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        !SetEndOfFile(record.get())) {
        record.reset();
        return SharingState::Unwritable;
    }
    if (stopped) record.reset();
    taken.pending_ = !stopped;
    return p.state;
}

SharingState peekArchive(const ClassDataSharingPlan& p) {
    // The plan found the record free for a launch that takes it alone; the
    // launches that map take it together unless one that writes holds it.
    if (p.state != SharingState::Maps && p.state != SharingState::MapsCache) return p.state;
    UniqueFile record(CreateFileA(recordPath(p.archive).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !record && GetLastError() == ERROR_SHARING_VIOLATION ? SharingState::Busy : p.state;
}

void SharingRecord::mark(Attempt attempt) {
    DWORD written = 0;
    if (pending_ && SetFilePointer(file_.get(), attemptAt_, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER) {
        if (attempt == Attempt::None)
            SetEndOfFile(file_.get());
        else
            WriteFile(file_.get(), kAttemptWords + (static_cast<int>(attempt) - 1) * kWordLength, kWordLength,
                      &written, nullptr);
    }
    pending_ = false;
    if (!writes_ || attempt != Attempt::Reached) file_.reset();
}

std::string recordPath(const std::string& archive) {
    return archive.substr(0, ansi::findLast(archive, '.') + 1) + "jsa.record";
}
