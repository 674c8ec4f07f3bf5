#include "jvm/ClassDataSharing.h"

#include <gtest/gtest.h>

namespace {

int release(const std::string& text) {
    JavaVersion version;
    JavaVersion::parse(text, 0, version);
    return featureRelease(version);
}

// The release file's version as the launch reads it.
int releaseOf(const std::string& releaseText) { return release(releaseVersion(releaseText)); }

TEST(ClassDataSharing, RuntimeVersion) {
    EXPECT_EQ(release("1.8.0_202"), 8);
    EXPECT_EQ(release("17.0.2"), 17);
    EXPECT_EQ(release("21"), 21);
    EXPECT_EQ(release(""), 0);
    // Only a line that starts with the key counts; what follows it does not
    // change the feature release.
    EXPECT_EQ(releaseOf("IMPLEMENTOR=\"x\"\nJAVA_RUNTIME_VERSION=\"11.0.2+8\"\r\nJAVA_VERSION=\"17.0.2\"\r\n"
                        "JAVA_VERSION_DATE=\"2022-01-18\""),
              17);
    EXPECT_EQ(releaseOf("JAVA_VERSION=\"1.8.0_202\"\nOS_VERSION=\"5.2\""), 8);
    EXPECT_EQ(releaseVersion("JAVA_VERSION=\"17.0.2\"\r\nOS=\"W\""), "JAVA_VERSION=\"17.0.2\"\r");
    EXPECT_EQ(releaseOf("JAVA_RUNTIME_VERSION=\"17.0.2\"\n"), 0);
    EXPECT_EQ(releaseOf("JAVA_VERSION=\"\"\nJAVA_VERSION_DATE=\"2022-01-18\""), 0);
    EXPECT_EQ(releaseOf(std::string("\x01\xff\0JAVA_VERSION=17", 19)), 0);
}

TEST(ClassDataSharing, AuthorsOwnOptions) {
    for (const char* option : {"-Xshare:off", "-Xshare:auto", "-XX:SharedArchiveFile=a.jsa",
                               "-XX:ArchiveClassesAtExit=b.jsa", "-XX:-AutoCreateSharedArchive"})
        EXPECT_TRUE(isSharingOption(option)) << option;
    for (const char* option : {"-Xss1m", "-Xlog:cds", "-XX:+UseSerialGC", "-Djava.class.path=share.jar"})
        EXPECT_FALSE(isSharingOption(option)) << option;
}

TEST(ClassDataSharing, RecordState) {
    WIN32_FILE_ATTRIBUTE_DATA library = {};
    library.nFileSizeHigh = 1;
    library.nFileSizeLow = 0x1234;
    library.ftLastWriteTime = {0x89abcdef, 0x1d9a};
    std::string expected;
    appendRecordLine(expected, "C:\\jre\\bin\\server\\jvm.dll", library);
    appendRecordLine(expected, "C:\\a.jar", {});
    EXPECT_EQ(expected, "0000000100001234 00001d9a89abcdef C:\\jre\\bin\\server\\jvm.dll\r\n"
                        "0000000000000000 0000000000000000 C:\\a.jar\r\n");
    EXPECT_EQ(recordStateOf(false, "", expected), RecordState::Missing);
    EXPECT_EQ(recordStateOf(true, expected, expected), RecordState::Matches);
    EXPECT_EQ(recordStateOf(true, expected + "refused\r\n", expected), RecordState::Refused);
    // Cut, garbage, longer (a huge record is read only this far), empty.
    for (const std::string& held : {expected.substr(0, 10), std::string("\0\0\xff", 3), expected + "x", std::string()})
        EXPECT_EQ(recordStateOf(true, held, expected), RecordState::Differs);
}

TEST(ClassDataSharing, UseOfTheArchiveByVersion) {
    using S = SharingState;
    using R = RecordState;
    using A = ArchiveState;
    // 13 to 18 map only an archive that is complete and matches its record.
    EXPECT_EQ(archiveUse(13, R::Matches, A::Complete), S::Maps);
    EXPECT_EQ(archiveUse(18, R::Matches, A::Complete), S::Maps);
    EXPECT_EQ(archiveUse(17, R::Matches, A::Incomplete), S::Makes);
    EXPECT_EQ(archiveUse(17, R::Differs, A::Complete), S::Makes);
    EXPECT_EQ(archiveUse(17, R::Missing, A::Missing), S::Makes);
    // 19 and later always keep it (the launch removes one that does not match).
    EXPECT_EQ(archiveUse(19, R::Matches, A::Complete), S::Keeps);
    EXPECT_EQ(archiveUse(21, R::Differs, A::Incomplete), S::Keeps);
    for (int version : {17, 21}) {
        EXPECT_EQ(archiveUse(version, R::Matches, A::Folder), S::ArchiveIsFolder);
        EXPECT_EQ(archiveUse(version, R::Refused, A::Complete), S::Refused);
    }
}

TEST(ClassDataSharing, OptionsOfEachState) {
    using Options = std::vector<std::string>;
    const std::string a = "C:\\L\\app.jsa";
    auto added = [&](SharingState state, int version) {
        ClassDataSharingPlan plan;
        plan.state = state;
        plan.version = version;
        plan.archive = a;
        Options options = {"-Djava.class.path=x.jar"};
        addSharingOptions(plan, options);
        EXPECT_EQ(plan.optionCount, options.size() - 1);
        return Options(options.begin() + 1, options.end());
    };
    EXPECT_EQ(added(SharingState::Maps, 17), (Options{"-XX:SharedArchiveFile=" + a, "-Xlog:cds*=off"}));
    EXPECT_EQ(added(SharingState::Makes, 13), (Options{"-XX:ArchiveClassesAtExit=" + a, "-Xlog:cds*=off"}));
    EXPECT_EQ(added(SharingState::Keeps, 21),
              (Options{"-XX:SharedArchiveFile=" + a, "-XX:+AutoCreateSharedArchive", "-Xlog:cds*=off"}));
    EXPECT_EQ(added(SharingState::Keeps, 25),
              (Options{"-XX:SharedArchiveFile=" + a, "-XX:+AutoCreateSharedArchive", "-Xlog:cds*=off",
                       "-Xlog:aot*=off"}));
    for (SharingState off : {SharingState::NotAsked, SharingState::OldVersion, SharingState::Busy,
                             SharingState::Unwritable, SharingState::Refused})
        EXPECT_TRUE(added(off, 17).empty());
}

}  // namespace
