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
                               "-XX:-AutoCreateSharedArchive"})
        EXPECT_TRUE(isSharingOption(option)) << option;
    for (const char* option : {"-Xss1m", "-Xlog:cds", "-Djava.class.path=share.jar"})
        EXPECT_FALSE(isSharingOption(option)) << option;
}

TEST(ClassDataSharing, RecordState) {
    WIN32_FILE_ATTRIBUTE_DATA library = {};
    library.nFileSizeLow = 0x1234;
    std::string expected;
    appendRecordLine(expected, "C:\\jre\\bin\\server\\jvm.dll", library);
    appendRecordLine(expected, "C:\\a.jar", {});
    EXPECT_EQ(recordStateOf(false, "", expected), RecordState::Missing);
    EXPECT_EQ(recordStateOf(true, expected, expected), RecordState::Matches);
    EXPECT_EQ(recordStateOf(true, expected + "refused\r\n", expected), RecordState::Refused);
    // Cut, garbage, longer (a huge record is read only this far), empty.
    for (const std::string& held : {expected.substr(0, 10), std::string("\0\0\xff", 3), expected + "x", std::string()})
        EXPECT_EQ(recordStateOf(true, held, expected), RecordState::Differs);
}

}  // namespace
