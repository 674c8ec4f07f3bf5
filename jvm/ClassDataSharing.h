#pragma once
// Class data sharing kept per user ("Class Data Sharing=Yes"): the Java VM
// maps an archive of the classes an earlier launch loaded instead of loading
// and verifying them again. The archive belongs to one machine's runtime:
// %LOCALAPPDATA%\<product name>\<product code>\<executable name>.jsa, with
// beside it the record of what it was made from (.jsa.record).
//
// Java 13 to 18 map a valid archive with -XX:SharedArchiveFile and make a
// new one with -XX:ArchiveClassesAtExit (the VM writes it when it ends);
// Java 19 and later get -XX:SharedArchiveFile and -XX:+AutoCreateSharedArchive
// and make it themselves. The record holds the JVM library's and every
// class path entry's size, time and path; an archive counts only when its
// record matches and the VM finished writing it (HotSpot writes the
// archive's header last). A launch that may write the archive keeps the
// record open for writing while it runs, so that other launches find it
// taken and go without sharing; when the record differs, that launch
// removes the archive and writes the new record before the VM starts, so
// that no VM is given an archive of another runtime or class path (HotSpot
// 19 and later do not remake one made by another runtime).

#include <windows.h>

#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "jre/ReleaseFile.h"
#include "jre/RuntimeDiscovery.h"
#include "jvm/VmOptions.h"
#include "settings/JavaVersion.h"
#include "settings/LauncherSettings.h"

// What became of class data sharing in a launch: off and why, or on and how.
enum class SharingState {
    NotAsked,           // "Class Data Sharing" is not "Yes"
    UnknownVersion,     // the runtime's version is not known
    OldVersion,         // below Java 13: no archive of the application's classes
    AuthorsOption,      // the VM parameters choose sharing themselves
    NoLocalAppData,     // LOCALAPPDATA is not set (or longer than a path)
    FolderOnClassPath,  // HotSpot archives classes of jar files only
    ArchiveIsFolder,    // a folder stands where the archive goes
    Refused,            // the runtime refused the options at an earlier launch
    Busy,               // another launch holds the record (and may write the archive)
    Unwritable,         // the folder or the record cannot be written, or the old
                        // archive cannot be removed (a running launch maps it)
    Maps,               // Java 13 to 18: the valid archive is mapped
    Makes,              // Java 13 to 18: the VM writes the archive when it ends
    Keeps,              // Java 19 and later: the VM maps the archive and remakes it itself
};

enum class VersionSource { None, Registry, ReleaseFile };
enum class RecordState { Missing, Matches, Differs, Refused };
enum class ArchiveState { Missing, Complete, Incomplete, Folder };

struct ClassDataSharingPlan {
    SharingState state = SharingState::NotAsked;
    int version = 0;  // the runtime's feature release (8, 17); 0: unknown
    // Where the version came from: the chosen registry subkey's name, or the
    // line JAVA_VERSION of releaseFileOf(the JVM library); None: that file
    // cannot be read.
    VersionSource versionSource = VersionSource::None;
    std::string versionText;  // that name or line
    std::string archive;      // empty until LOCALAPPDATA gave it
    // What the record must hold for the archive to count, up to the folder
    // for FolderOnClassPath.
    std::string record;
    RecordState recordState = RecordState::Missing;
    ArchiveState archiveState = ArchiveState::Missing;
};

// The feature release of a version: 8 for 1.8.0_202, 17 for 17.0.2; 0 when
// it holds no number.
int featureRelease(const JavaVersion& version);

// Whether an option chooses class data sharing itself: it holds -Xshare,
// SharedArchive (-XX:SharedArchiveFile, AutoCreateSharedArchive) or
// ArchiveClassesAtExit.
bool isSharingOption(const std::string& option);

// Appends one line of the record: a file's size and last-write time (as
// GetFileAttributesExA gives them) and its path.
void appendRecordLine(std::string& record, const std::string& path, const WIN32_FILE_ATTRIBUTE_DATA& data);

// The record's state from what it holds (exists false: there is none).
RecordState recordStateOf(bool exists, const std::string& held, const std::string& expected);

// How a runtime of version 13 or later uses the archive.
SharingState archiveUse(int version, RecordState record, ArchiveState archive);

// Whether the launch may write the archive: it must hold the record.
inline bool writesArchive(SharingState state) {
    return state == SharingState::Makes || state == SharingState::Keeps;
}

// Looks at everything the decision needs, once the VM configuration is
// built, and decides (asked: "Class Data Sharing" is "Yes"); a writing
// state still needs the record (takeArchive).
ClassDataSharingPlan planClassDataSharing(bool asked, const ProductSettings& product,
                                          const RuntimeDiscovery& discovery, const std::string& jvmLibrary,
                                          const std::string& executable, const VmConfiguration& vm);

// Appends the options of the plan's state to the VM options, with those that
// keep class data sharing's own log messages out of the application's
// output, and counts them in vm.sharingOptions.
void addSharingOptions(const ClassDataSharingPlan& plan, VmConfiguration& vm);

// The launch that may write the archive: makes the folders, opens the
// record for writing (kept in record while the launch runs), removes an
// archive that does not count and writes the record. Gives the plan's state,
// or why the launch goes without sharing.
SharingState takeArchive(const ClassDataSharingPlan& plan, UniqueFile& record);

// The state a launch that took the archive would go on with, found without
// taking it or writing anything: Busy while another launch holds the record.
SharingState peekArchive(const ClassDataSharingPlan& plan);

// The runtime refused the options: the record taken by takeArchive says so,
// and later launches with the same runtime and class path go without
// sharing.
void noteRefusal(const UniqueFile& record);

// The record beside the archive.
std::string recordPath(const std::string& archive);
