#include "jvm/JavaEnvironment.h"
#include "base/Environment.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(JavaEnvironment, LibraryAndSearchPathValues) {
    EXPECT_EQ(libraryPathValue("C:\\native", "C:\\App\\", "C:\\jre"),
              "C:\\native;C:\\App\\;.;%Path%;C:\\jre\\lib");
    EXPECT_EQ(libraryPathValue("C:\\native;", "C:\\App\\", "C:\\jre"),
              "C:\\native;C:\\App\\;.;%Path%;C:\\jre\\lib");
    EXPECT_EQ(searchPathValue("", "C:\\jre\\bin"), "%Path%;C:\\jre\\bin");
    EXPECT_EQ(searchPathValue("C:\\x;C:\\y", "C:\\jre\\bin"), "C:\\x;C:\\y;%Path%;C:\\jre\\bin");
    EXPECT_EQ(searchPathValue("C:\\x;", "C:\\jre\\bin"), "C:\\x;%Path%;C:\\jre\\bin");
}

TEST(JavaEnvironment, Expansion) {
    SetEnvironmentVariableA("LAUNCHER_TEST_VAR", "value");
    EXPECT_EQ(expandEnvironment("a%LAUNCHER_TEST_VAR%b"), "avalueb");
    EXPECT_EQ(expandEnvironment("%LAUNCHER_UNDEFINED_VAR%"), "%LAUNCHER_UNDEFINED_VAR%");
    EXPECT_EQ(expandEnvironment(""), "");
    std::string longValue(5000, 'x');
    SetEnvironmentVariableA("LAUNCHER_TEST_VAR", longValue.c_str());
    EXPECT_EQ(expandEnvironment("%LAUNCHER_TEST_VAR%"), longValue);
    SetEnvironmentVariableA("LAUNCHER_TEST_VAR", nullptr);
}

TEST(JavaEnvironment, ExpansionOfTextLongerThanThePlatformExpandsAtOnce) {
    SetEnvironmentVariableA("LAUNCHER_TEST_A", "alpha");
    SetEnvironmentVariableA("LAUNCHER_TEST_BIG", std::string(20000, 'b').c_str());
    // Text of any length: 70,000 characters with references at both ends
    // and in the middle.
    std::string padding(35000, 'p');
    EXPECT_EQ(expandEnvironment("%LAUNCHER_TEST_A%" + padding + "%LAUNCHER_TEST_A%;" + padding +
                                "%LAUNCHER_TEST_A%"),
              "alpha" + padding + "alpha;" + padding + "alpha");
    std::string plain(70000, 'q');
    EXPECT_EQ(expandEnvironment(plain), plain);
    // A short text whose result is long.
    EXPECT_EQ(expandEnvironment("%LAUNCHER_TEST_BIG%;%LAUNCHER_TEST_BIG%"),
              std::string(20000, 'b') + ";" + std::string(20000, 'b'));

    // Reference by reference, "%" signs pair up as the platform pairs them:
    // a long text gives what the platform gives for its short part.
    for (const char* part :
         {"%LAUNCHER_TEST_A%%LAUNCHER_TEST_A%", "%LAUNCHER_UNDEFINED%LAUNCHER_TEST_A%",
          "%%LAUNCHER_TEST_A%", "a%%b", "%LAUNCHER_TEST_A", "100%", "%%%LAUNCHER_TEST_A%%%",
          "%launcher_test_a% %LAUNCHER_TEST_A%%", "%LAUNCHER TEST A%", "%=C:%"}) {
        SCOPED_TRACE(part);
        std::string shortResult = expandEnvironment(part);
        EXPECT_EQ(expandEnvironment(part + padding), shortResult + padding);
        EXPECT_EQ(expandEnvironment(padding + part), padding + shortResult);
    }
    SetEnvironmentVariableA("LAUNCHER_TEST_A", nullptr);
    SetEnvironmentVariableA("LAUNCHER_TEST_BIG", nullptr);
}

}  // namespace
