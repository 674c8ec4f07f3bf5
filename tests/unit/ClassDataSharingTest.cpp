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
        p = ClassDataSharingPlan{.record = p.record};
        return readRecord(p, exists, held);
    };
    EXPECT_FALSE(read(false, ""));
    EXPECT_EQ(p.recordState, RecordState::Missing);
    read(true, p.record);
    EXPECT_EQ(p.recordState, RecordState::Matches);
    EXPECT_TRUE(read(true, p.record + "nocache\r\nstopped -XX:AOTCache=C:\\x y.aot -Xlog:cds*=off\r\n"));
    EXPECT_EQ(p.recordState, RecordState::Refused);
    EXPECT_EQ(p.attempt, Attempt::Stopped);
    EXPECT_EQ(p.attemptOptions, "-XX:AOTCache=C:\\x y.aot -Xlog:cds*=off");
    read(true, p.record + "pending \r\n");
    EXPECT_EQ(p.attempt, Attempt::Pending);
    // Cut, garbage, longer (a huge record is read only this far), empty, an
    // unknown word, two lines, no line end, a NUL, the refusal as records
    // wrote it before attempts.
    for (const std::string& held :
         {p.record.substr(0, 10), std::string("\0\0\xff", 3), p.record + "x", std::string(), p.record + "started x\r\n",
          p.record + "pending a\r\nreached b\r\n", p.record + "pending a", p.record + std::string("pending \0\r\n", 11),
          p.record + "refused\r\n"}) {
        read(true, held);
        EXPECT_EQ(p.recordState, RecordState::Differs) << held;
    }
}

}  // namespace
