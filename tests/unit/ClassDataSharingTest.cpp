#include "jvm/ClassDataSharing.h"

#include <gtest/gtest.h>

namespace {

// The feature release of a release file's text, as the launch reads it.
int releaseOf(const std::string& releaseText) {
    JavaVersion version;
    JavaVersion::parse(releaseVersion(releaseText), 0, version);
    return featureRelease(version);
}

TEST(ClassDataSharing, VersionFromTheReleaseFile) {
    // Only a line that starts with the key counts, and only up to its end.
    EXPECT_EQ(releaseOf("JAVA_RUNTIME_VERSION=\"11.0.2+8\"\r\nJAVA_VERSION=\"17.0.2\"\r\nJAVA_VERSION_DATE=\"2022\""), 17);
    EXPECT_EQ(releaseOf("JAVA_VERSION=\"1.8.0_202\"\nOS_VERSION=\"5.2\""), 8);
    EXPECT_EQ(releaseOf("JAVA_VERSION=\"\"\nJAVA_VERSION_DATE=\"2022-01-18\""), 0);
    EXPECT_EQ(releaseOf(std::string("\x01\xff\0JAVA_VERSION=17", 19)), 0);
    EXPECT_EQ(releaseOf("JAVA_VERSION=21"), 21);
}

TEST(ClassDataSharing, AuthorsOwnOptions) {
    for (const char* option : {"-Xshare:off", "-XX:SharedArchiveFile=a.jsa", "-XX:ArchiveClassesAtExit=b.jsa",
                               "-XX:-AutoCreateSharedArchive", "-XX:AOTCache=a.aot", "-XX:AOTCacheOutput=b.aot",
                               "-XX:AOTMode=off", "-XX:AOTConfiguration=c.conf"})
        EXPECT_TRUE(isSharingOption(option)) << option;
    for (const char* option : {"-Xss1m", "-Xlog:cds", "-Xlog:aot", "-Djava.class.path=share.jar"})
        EXPECT_FALSE(isSharingOption(option)) << option;
}

TEST(ClassDataSharing, RecordAndItsLastAttempt) {
    WIN32_FILE_ATTRIBUTE_DATA library = {};
    library.nFileSizeLow = 0x1234;
    ClassDataSharingPlan p;
    appendRecordLine(p.record, "C:\\jre\\bin\\server\\jvm.dll", library);
    appendRecordLine(p.record, "C:\\a.jar", {});
    auto read = [&](bool exists, const std::string& held) {
        p.recordState = RecordState::Missing;
        p.attempt = Attempt::None;
        p.attemptOptions.clear();
        return readRecord(p, exists, held);
    };
    EXPECT_FALSE(read(false, ""));
    EXPECT_EQ(p.recordState, RecordState::Missing);
    read(true, p.record);
    EXPECT_EQ(p.recordState, RecordState::Matches);
    EXPECT_EQ(p.attempt, Attempt::None);
    const std::string options = "-XX:AOTCache=C:\\x y.aot -Xlog:cds*=off";
    const std::pair<const char*, Attempt> attempts[] = {{"pending ", Attempt::Pending}, {"reached ", Attempt::Reached},
                                                        {"refused ", Attempt::Refused}, {"stopped ", Attempt::Stopped}};
    for (const auto& [word, attempt] : attempts) {
        EXPECT_FALSE(read(true, p.record + word + options + "\r\n")) << word;
        EXPECT_EQ(p.attempt, attempt) << word;
        EXPECT_EQ(p.attemptOptions, options) << word;
        EXPECT_EQ(p.recordState, attempt >= Attempt::Refused ? RecordState::Refused : RecordState::Matches) << word;
    }
    EXPECT_TRUE(read(true, p.record + "nocache\r\nreached -XX:SharedArchiveFile=a.jsa\r\n"));
    EXPECT_EQ(p.attempt, Attempt::Reached);
    EXPECT_TRUE(read(true, p.record + "nocache\r\n"));
    EXPECT_EQ(p.recordState, RecordState::Matches);
    // Cut, garbage, longer (a huge record is read only this far), empty, an
    // unknown word, a second line, a line without its end, a NUL, the
    // refusal as records wrote it before attempts.
    for (const std::string& held :
         {p.record.substr(0, 10), std::string("\0\0\xff", 3), p.record + "x", std::string(), p.record + "started x\r\n",
          p.record + "pending a\r\nreached b\r\n", p.record + "pending a", p.record + std::string("pending \0\r\n", 11),
          p.record + std::string("\0", 1), p.record + "refused\r\n", p.record + "pendingx\r\n"}) {
        read(true, held);
        EXPECT_EQ(p.recordState, RecordState::Differs) << held;
    }
}

// What a launch does with what the plan found (Java 17, 21, 25 with the cache).
TEST(ClassDataSharing, Decision) {
    struct Case {
        int version;
        bool cache;
        RecordState record;
        Attempt attempt;
        bool held;
        ArchiveState archive;
        SharingState expected;
    };
    using R = RecordState;
    using A = Attempt;
    using F = ArchiveState;
    using S = SharingState;
    const Case cases[] = {
        {17, false, R::Matches, A::Reached, false, F::Complete, S::Maps},
        {17, false, R::Matches, A::Pending, true, F::Complete, S::Maps},  // another launch maps too, or is busy
        {17, false, R::Matches, A::Pending, false, F::Complete, S::Stopped},
        {17, false, R::Differs, A::None, false, F::Complete, S::Makes},
        {17, false, R::Matches, A::None, false, F::Incomplete, S::Makes},
        {17, false, R::Missing, A::None, true, F::Missing, S::Busy},
        {17, false, R::Refused, A::Stopped, false, F::Complete, S::Refused},
        {21, false, R::Matches, A::Reached, false, F::Complete, S::Keeps},
        {21, false, R::Matches, A::Reached, true, F::Complete, S::Busy},
        {21, false, R::Matches, A::Pending, false, F::Missing, S::Stopped},
        {21, false, R::Missing, A::None, false, F::Folder, S::ArchiveIsFolder},
        {25, true, R::Matches, A::Reached, false, F::Complete, S::MapsCache},
        {25, true, R::Matches, A::Reached, false, F::Incomplete, S::MakesCache},
        {25, true, R::Differs, A::None, false, F::Complete, S::MakesCache},
        {25, true, R::Matches, A::Reached, true, F::Missing, S::Busy},
        {25, true, R::Matches, A::Pending, false, F::Complete, S::Stopped},
        {25, true, R::Refused, A::Refused, false, F::Missing, S::Refused},
        {25, false, R::Matches, A::None, false, F::Missing, S::Keeps},  // the cache's fallback
    };
    for (const Case& c : cases) {
        ClassDataSharingPlan p;
        p.version = c.version;
        p.cache = c.cache;
        p.recordState = c.record;
        p.attempt = c.attempt;
        p.recordHeld = c.held;
        p.archiveState = c.archive;
        EXPECT_EQ(archiveUse(p), c.expected) << c.version << " " << int(c.record) << " " << int(c.attempt) << " "
                                             << c.held << " " << int(c.archive);
    }
}

TEST(ClassDataSharing, OptionsOfEachState) {
    ClassDataSharingPlan p;
    p.archive = "C:\\L\\app.aot";
    p.version = 25;
    p.state = SharingState::MakesCache;
    // The training's progress would reach standard output without them.
    EXPECT_EQ(sharingOptions(p), (std::vector<std::string>{"-XX:AOTCacheOutput=C:\\L\\app.aot",
                                                           "-XX:+UnlockDiagnosticVMOptions", "-XX:-DisplayVMOutput",
                                                           "-Xlog:cds*=off", "-Xlog:aot*=off"}));
    p.state = SharingState::MapsCache;
    EXPECT_EQ(sharingOptions(p),
              (std::vector<std::string>{"-XX:AOTCache=C:\\L\\app.aot", "-Xlog:cds*=off", "-Xlog:aot*=off"}));
    p.version = 17;
    p.state = SharingState::Stopped;
    EXPECT_TRUE(sharingOptions(p).empty());
}

}  // namespace
