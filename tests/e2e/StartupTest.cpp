// Start-up of the launcher executable: settings file, messages, exit codes.
#include <gtest/gtest.h>

#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"

namespace {

const char* kMainClassMissing = "Main class was not specified in INI file.";

void expectOnlyMainClassMessage(const LaunchResult& result) {
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, -1);
    auto boxes = result.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kMainClassMissing);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_TRUE(boxes[0].hasIcon);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].buttons, std::vector<std::string>{"OK"});
}

TEST(Startup, NoSettingsFileShowsMainClassMessage) {
    TestFolder folder("no-settings-file");
    expectOnlyMainClassMessage(launch(folder.addLauncher("app.exe")));
}

TEST(Startup, SettingsWithoutMainClass) {
    TestFolder folder("no-main-class");
    folder.write("app.ini", "[Java Runtime Environment]\r\nMinimum Version=1.6\r\n");
    expectOnlyMainClassMessage(launch(folder.addLauncher("app.exe")));
}

TEST(Startup, EmptyMainClass) {
    TestFolder folder("empty-main-class");
    folder.write("app.ini", "[Java Runtime Environment]\r\nMain Class=\r\n");
    expectOnlyMainClassMessage(launch(folder.addLauncher("app.exe")));
}

}  // namespace
