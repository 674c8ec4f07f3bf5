#include "jvm/JavaEnvironment.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(JavaEnvironment, StripPathComponents) {
    std::string library = "C:\\Java\\jre6\\bin\\client\\jvm.dll";
    EXPECT_EQ(stripPathComponents(library, 3), "C:\\Java\\jre6");
    EXPECT_EQ(stripPathComponents(library, 2), "C:\\Java\\jre6\\bin");
    EXPECT_EQ(stripPathComponents("jvm.dll", 2), "jvm.dll");
    EXPECT_EQ(stripPathComponents("a\\b", 3), "a");
}

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

}  // namespace
