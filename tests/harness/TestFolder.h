#pragma once
// A folder for one end-to-end case, under build/x64/e2e/<name>, emptied when
// the case starts. Paths are Windows paths as the test process sees them.

#include <string>

class TestFolder {
public:
    explicit TestFolder(const std::string& name);

    const std::string& path() const { return path_; }
    // path() + "\\" + relative
    std::string file(const std::string& relative) const;

    // Writes bytes exactly as given, creating missing folders on the way.
    void write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    void makeFolder(const std::string& relative) const;

    // Copies a file of the test build's output folder (the launcher, a test
    // runtime library) into the folder under the given name.
    void copyFromBuild(const std::string& builtName, const std::string& relative) const;

    // Copies the launcher executable (or its console twin) as exeName; gives
    // its full path.
    std::string addLauncher(const std::string& exeName, bool console = false) const;

private:
    std::string path_;
};

// The folder that holds the test executables, the launcher and the test
// runtime (no trailing backslash).
std::string buildOutputFolder();

// Creates every missing folder of path.
void createFolders(const std::string& path);
// Deletes a folder with everything in it.
void removeTree(const std::string& path);

// A file of tests/data in the source tree, as a Windows path.
std::string testDataFile(const std::string& name);

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& content);
