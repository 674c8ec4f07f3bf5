#pragma once
// The "JRE Not Found" dialog: explains which Java version is needed, links to
// the Java download site and lets the user browse for the folder of an
// installed runtime. OK is usable only while the last folder browsed holds a
// JVM library that the JVM type accepts.

#include <windows.h>

#include <string>

#include "settings/JvmType.h"
#include "ui/HyperLink.h"
#include "ui/Window.h"

class JreNotFoundDialog : public Dialog {
public:
    // downloadPage: the address the link shows and opens; empty: the
    // template's own.
    JreNotFoundDialog(const std::string& message, JvmType jvmType, const std::string& downloadPage = {});

    // Runs the dialog modal to owner: 1 for OK, 2 for Cancel (also Escape and
    // the close button), -1 when the dialog cannot be created.
    int showModal(HWND owner);

    // The folder last browsed, ending in a backslash; empty before.
    const std::string& chosenFolder() const { return chosenFolder_; }
    // The JVM library found in chosenFolder(); empty when none was found.
    const std::string& foundJvmLibraryPath() const { return foundJvmLibraryPath_; }

    bool processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    // Lets the user pick a folder with the shell's folder browser and takes
    // it (applyBrowsedFolder); a cancelled browse changes nothing.
    void browseForRuntime();
    // Shows the folder in the path field as the user picked it (shown, in
    // UTF-16; empty: path), makes path (its ANSI form) the chosen folder and
    // probes it for a JVM library; OK is enabled exactly when one was found.
    void applyBrowsedFolder(const std::string& path, const std::wstring& shown = {});

    HyperLink& downloadLink() { return downloadLink_; }

private:
    void initialize();

    std::string message_;
    JvmType jvmType_;
    std::string chosenFolder_;
    std::string foundJvmLibraryPath_;
    HyperLink downloadLink_;
};
