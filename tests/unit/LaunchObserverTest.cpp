// What the launcher's code tells an observer of the launch context, and what
// it leaves alone while one is set.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "launcher/LaunchContext.h"
#include "launcher/LaunchObserver.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPaths.h"
#include "ui/MessageReporter.h"

namespace {

class Watch final : public LaunchObserver {
public:
    Watch() { launchContext.observer = this; }
    ~Watch() { launchContext.observer = nullptr; }

    void settingRead(const std::string&, const std::string&, const std::string& key, const std::string& value,
                     SettingSource source) override {
        static const char* const names[] = {"missing", "base", "plus", "base+plus", "file section", "file",
                                            "user file"};
        reads += key + "=" + value + " (" + names[static_cast<int>(source)] + ") ";
    }
    void messageShown(const char* text) override { messages += text; }

    std::string reads;
    std::string messages;
};

TEST(LaunchObserver, EveryLayerOfALookupIsNamed) {
    TempFolder temp;
    std::string ini = temp.write("app.ini",
                                 "[Main]\r\nFile=f\r\n[Main+]\r\nFile=never\r\nPlus=p\r\nBoth=q\r\n");
    SettingsFile file(ini, "[Main]\r\nBase=b\r\nBoth=b\r\nFile=never\r\n");
    Watch watch;
    for (const char* key : {"File", "Plus", "Both", "Base", "None"}) file.lookup("Main", key);
    readSetting(ini, "Main", "File");
    readSetting(ini, "Main", "Plus", SettingSource::UserFile);
    EXPECT_EQ(watch.reads,
              "File=f (file section) Plus= p (plus) Both=b q (base+plus) Base=b (base) None= (missing) "
              "File=f (file) Plus= (user file) ");
}

TEST(LaunchObserver, ContextNamesTheExecutableAndTakesTheMessages) {
    Watch watch;
    launchContext.executablePath = "C:\\Elsewhere\\Tool.exe";
    std::string path;
    EXPECT_TRUE(modulePath(path, nullptr));
    EXPECT_EQ(path, "C:\\Elsewhere\\Tool.exe");
    EXPECT_TRUE(settingsFilePath(path, nullptr));
    EXPECT_EQ(path, "C:\\Elsewhere\\Tool.ini");
    launchContext.executablePath = nullptr;
    EXPECT_TRUE(modulePath(path, nullptr));
    EXPECT_NE(path, "C:\\Elsewhere\\Tool.exe");

    // No box is shown: the observer gets the text, and the box counts as
    // answered with OK.
    EXPECT_EQ(showMessageBox(nullptr, MAKEINTRESOURCEA(msg::ClassPathMissing), nullptr, MB_OK), IDOK);
    showError(nullptr, "second");
    EXPECT_EQ(watch.messages, "Java Class Path was not specified in INI file.second");
}

}  // namespace
