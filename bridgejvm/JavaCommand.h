#pragma once
// How the launcher's VM options become the Linux VM's: Windows paths in the
// options that name files become Unix paths, and every option becomes one
// entry of the options file that HotSpot reads with -XX:VMOptionsFile (so
// the VM parses them exactly as JNI_CreateJavaVM would). All text is UTF-8.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bridgejvm {

// Gives the Unix path of a Windows path (relative ones against the current
// folder), or nothing when Wine cannot map it.
using PathTranslator = std::function<std::optional<std::string>(const std::string&)>;

// A ";"-separated list of Windows paths as a ":"-separated list of Unix
// paths. An empty entry stays empty (the current folder, for Java); entries
// that cannot be mapped are left out.
std::string translatePathList(const std::string& list, const PathTranslator& translate);

// The option with its Windows paths translated: java.class.path,
// java.library.path, -Xbootclasspath/a:, the class data sharing archives of
// -XX:SharedArchiveFile= and -XX:ArchiveClassesAtExit=, the ahead-of-time
// cache files of -XX:AOTCache=, -XX:AOTCacheOutput= and
// -XX:AOTConfiguration=, and the file of -javaagent: and -agentpath:.
// Other options are returned unchanged.
std::string translateOption(const std::string& option, const PathTranslator& translate);

// The feature version (17 for "17.0.15", 8 for "1.8.0_392") that a JDK's
// release file gives in JAVA_VERSION; 0 when it gives none.
int javaFeatureVersion(const std::string& releaseText);

// Whether a VM of that feature version starts with
// -Djava.security.manager=allow: 12 to 23 (earlier ones take "allow" for a
// class name, 24 and later refuse to start). Unknown (0): no.
bool acceptsSecurityManagerAllow(int featureVersion);

// One option as an entry of an options file: blanks and quotes are quoted
// so that HotSpot's reader gives back exactly the option.
std::string quoteForOptionsFile(const std::string& option);

// The options file: the bridge's own options first (so that the launcher's
// own settings of the same properties win), then the launcher's, one a line.
std::string optionsFileText(const std::vector<std::string>& bridgeOptions,
                            const std::vector<std::string>& launcherOptions);

// The Java name of a Windows ANSI code page, for -Dfile.encoding.
std::string javaCharsetName(unsigned codePage);

// A command-line argument quoted so that the Windows rules split it back.
std::wstring quoteArgument(const std::wstring& argument);

}  // namespace bridgejvm
