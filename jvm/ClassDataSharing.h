#pragma once
// Class data sharing kept per user ("Class Data Sharing=Yes"): the Java VM
// maps what an earlier launch loaded instead of loading and verifying the
// classes again. The files belong to one machine's runtime and live in
// %LOCALAPPDATA%\<product name>\<product code>\: <executable name>.jsa (the
// dynamic archive) or <executable name>.aot (the ahead-of-time cache of
// Java 25 and later), and beside them the record of what they were made
// from and of the last attempt (<executable name>.jsa.record).
//
// Java 13 to 18 map a valid archive with -XX:SharedArchiveFile and make a
// new one with -XX:ArchiveClassesAtExit (the VM writes it when it ends);
// Java 19 to 24 get -XX:SharedArchiveFile and -XX:+AutoCreateSharedArchive
// and make it themselves. Both need the runtime's base archive (classes.jsa
// beside the JVM library): HotSpot 17 ends the process without it. Java 25
// and later get the ahead-of-time cache: -XX:AOTCacheOutput trains during
// the first launch and makes the cache when the VM ends (starting
// <home>\bin\java.exe for that), -XX:AOTCache maps it later; a console
// program, a runtime without java.exe, and one whose cache could not be
// made get the dynamic archive as 19 to 24 do.
//
// The record holds the JVM library's and every class path entry's size,
// time and path; a file counts only when the record matches and the VM
// finished writing it (HotSpot writes the header last). Before a VM is
// created with sharing options, the launch writes them into the record as
// "pending", and "reached" once main is reached; a pending attempt whose
// launch is gone (nobody holds the record) means the VM ended the process
// while being created or mapping, so the next launch removes the files and
// notes "stopped": no failure of the VM with these options stops more than
// one launch, until the runtime or the class path changes. A launch that
// may write keeps the record open for writing while it runs, alone; the
// launches that only map hold it together until main is reached.

#include <windows.h>

#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "jre/ReleaseFile.h"
#include "jre/RuntimeDiscovery.h"
#include "jvm/VmOptions.h"
#include "settings/JavaVersion.h"
#include "settings/LaunchTrace.h"
#include "settings/LauncherSettings.h"

// What became of class data sharing in a launch: off and why, or on and how.
enum class SharingState {
    NotAsked,           // "Class Data Sharing" is not "Yes"
    UnknownVersion,     // the runtime's version is not known
    OldVersion,         // below Java 13: no archive of the application's classes
    AuthorsOption,      // the VM parameters choose sharing themselves
    NoLocalAppData,     // LOCALAPPDATA is not set
    UnusableFolder,     // LOCALAPPDATA has no ANSI spelling and no short name, or the paths are too long
    OutsideFolder,      // the product name or code would lead out of LOCALAPPDATA
    FolderOnClassPath,  // HotSpot archives classes of jar files only
    NoBaseArchive,      // a dynamic archive needs the runtime's base archive
    ArchiveIsFolder,    // a folder stands where the archive or cache goes
    Refused,            // the VM refused the options, or ended with them, at an earlier launch
    Stopped,            // the last launch with the options ended while its VM was created
    Busy,               // another launch holds the record (and may write)
    Unwritable,         // the folder or the record cannot be written, or an old file
                        // cannot be removed (a running launch maps it)
    Maps,               // Java 13 to 18: the valid archive is mapped
    Makes,              // Java 13 to 18: the VM writes the archive when it ends
    Keeps,              // Java 19 and later: the VM maps the archive and remakes it itself
    MapsCache,          // Java 25 and later: the VM maps the ahead-of-time cache
    MakesCache,         // Java 25 and later: the VM trains and makes the cache when it ends
};

enum class VersionSource { None, Registry, ReleaseFile };
enum class RecordState { Missing, Matches, Differs, Refused };
enum class ArchiveState { Missing, Complete, Incomplete, Folder };
// The last attempt the record holds.
enum class Attempt { None, Pending, Reached, Refused, Stopped };
// Why Java 25 and later get the dynamic archive instead of the cache.
enum class CacheFallback { None, Console, NoJavaExe, NotMade };

struct ClassDataSharingPlan {
    SharingState state = SharingState::NotAsked;
    int version = 0;  // the runtime's feature release (8, 17); 0: unknown
    // Where the version came from: the chosen registry subkey's name, or the
    // line JAVA_VERSION of releaseFileOf(the JVM library); None: that file
    // cannot be read.
    VersionSource versionSource = VersionSource::None;
    std::string versionText;  // that name or line
    bool cache = false;       // the ahead-of-time cache, not the dynamic archive
    CacheFallback fallback = CacheFallback::None;
    std::string baseArchive;  // classes.jsa beside the JVM library, for a dynamic archive
    bool baseArchiveExists = false;
    std::string archive;      // the archive or cache; empty until LOCALAPPDATA gave it
    // What the record must hold for the archive to count, up to the folder
    // for FolderOnClassPath.
    std::string record;
    RecordState recordState = RecordState::Missing;
    bool recordHeld = false;  // another launch holds it
    Attempt attempt = Attempt::None;
    std::string attemptOptions;  // the options of that attempt
    ArchiveState archiveState = ArchiveState::Missing;
};

// The feature release of a version: 8 for 1.8.0_202, 17 for 17.0.2; 0 when
// it holds no number.
int featureRelease(const JavaVersion& version);

// Whether an option chooses class data sharing itself: it holds -Xshare,
// SharedArchive (-XX:SharedArchiveFile, AutoCreateSharedArchive),
// ArchiveClassesAtExit, AOTC (-XX:AOTCache, -XX:AOTCacheOutput,
// -XX:AOTConfiguration) or AOTMode.
bool isSharingOption(const std::string& option);

// Appends one line of the record: a file's size and last-write time (as
// GetFileAttributesExA gives them) and its path.
void appendRecordLine(std::string& record, const std::string& path, const WIN32_FILE_ATTRIBUTE_DATA& data);

// The record's state from what it holds (exists false: there is none)
// against the plan's record, and for one that matches, its last attempt;
// true when it says the cache could not be made.
bool readRecord(ClassDataSharingPlan& plan, bool exists, const std::string& held);

// How the launch uses the archive or cache, from the plan's findings.
SharingState archiveUse(const ClassDataSharingPlan& plan);

// Whether the launch may write the archive or cache: it holds the record
// alone while it runs.
inline bool writesArchive(SharingState state) {
    return state == SharingState::Makes || state == SharingState::Keeps || state == SharingState::MakesCache;
}

// Whether the state takes the record (takeArchive): every state with
// options, and Stopped, which notes the failure.
inline bool takesRecord(SharingState state) {
    return state >= SharingState::Maps || state == SharingState::Stopped;
}

// Looks at everything the decision needs, once the VM configuration is
// built, and decides (asked: "Class Data Sharing" is "Yes"; console: the
// executable is a console program); a state that takes the record still
// needs it (takeArchive).
ClassDataSharingPlan planClassDataSharing(bool asked, bool console, const ProductSettings& product,
                                          const RuntimeDiscovery& discovery, const std::string& jvmLibrary,
                                          const std::string& executable, const VmConfiguration& vm,
                                          LaunchTrace* trace = nullptr);

// The options of the plan's state, with those that keep class data
// sharing's own messages out of the application's output.
std::vector<std::string> sharingOptions(const ClassDataSharingPlan& plan);

// Appends sharingOptions to the VM options and counts them in
// vm.sharingOptions.
void addSharingOptions(const ClassDataSharingPlan& plan, VmConfiguration& vm);

// The record a launch took, while it needs it, and its attempt. An attempt
// still pending when the owner goes (the launch ends without reaching main,
// the VM having returned) is forgotten: only a launch whose process ended
// while its VM was created leaves one.
class SharingRecord {
public:
    SharingRecord() = default;
    SharingRecord(const SharingRecord&) = delete;
    SharingRecord& operator=(const SharingRecord&) = delete;
    ~SharingRecord() { mark(Attempt::None); }

    // Writes the attempt's word (None: the attempt line goes) while the
    // attempt is pending; the record goes unless the launch writes.
    void mark(Attempt attempt);

private:
    friend SharingState takeArchive(const ClassDataSharingPlan& plan, SharingRecord& record);
    UniqueFile file_;
    DWORD attemptAt_ = 0;   // where the attempt's word stands
    bool writes_ = false;   // the launch may write: it holds the record to its end
    bool pending_ = false;  // the attempt is pending
};

// Takes the record: makes the folders, opens it (alone for a writing state
// and Stopped, together with other mapping launches otherwise), removes the
// files that do not count and writes the record with the attempt ("pending"
// and the options; for Stopped, "stopped" and the dead attempt's options).
// Gives the plan's state, or why the launch goes without sharing.
SharingState takeArchive(const ClassDataSharingPlan& plan, SharingRecord& record);

// The state a launch that took the record would go on with, found without
// writing anything: Busy while another launch holds it as takeArchive
// would not let it.
SharingState peekArchive(const ClassDataSharingPlan& plan);

// main is reached: the attempt is marked "reached"; a mapping launch lets
// the record go.
inline void noteMainReached(SharingRecord& record) { record.mark(Attempt::Reached); }

// The VM refused the options. When it was then created without them
// (started), the attempt is marked "refused", and later launches with the
// same runtime and class path go without sharing; when it failed without
// them too, the options are not to blame and the attempt is forgotten.
inline void noteRefusal(SharingRecord& record, bool started) {
    record.mark(started ? Attempt::Refused : Attempt::None);
}

// The record beside the archive or cache.
std::string recordPath(const std::string& archive);
