#pragma once
// The application manifest (resource RT_MANIFEST 1): the execution level
// that User Account Control starts the process with, and the DPI awareness
// Windows gives it. The manifest is read and changed as text: a change
// replaces a value or inserts the few elements it needs, and every other
// byte (comments, order, namespaces, line ends) stays as it was. A manifest
// that is not plain XML of that kind (not UTF-8, a document type, elements
// that are not closed, one of the edited elements twice) is refused rather
// than guessed at.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// RT_MANIFEST, and the number of the manifest that the system reads when it
// creates the process.
constexpr std::uint16_t kManifestType = 24;
constexpr std::uint16_t kProcessManifest = 1;

struct ManifestFacts {
    std::string error;                          // why the text cannot be read; empty when it can
    std::optional<std::string> executionLevel;  // requestedExecutionLevel's level; none without one
    std::optional<std::string> dpiAware;        // the text of <dpiAware>, trimmed; none without one
    std::optional<std::string> dpiAwareness;    // the text of <dpiAwareness>, trimmed
};

ManifestFacts readManifest(std::string_view text);

// asInvoker, highestAvailable or requireAdministrator.
bool isExecutionLevel(std::string_view level);

struct ManifestChanges {
    std::optional<std::string> executionLevel;  // the level to request
    bool dpiUnaware = false;                    // dpiAware "false", dpiAwareness "unaware"
};

struct EditedManifest {
    std::string text;
    std::string error;  // why the manifest cannot be changed; empty when it was
};

// The level replaces that of requestedExecutionLevel; without one, the
// missing part of trustInfo, security, requestedPrivileges and
// requestedExecutionLevel is inserted (uiAccess "false"). DPI-unaware sets
// the elements that declare an awareness to the unaware values and adds
// none: without them a process is unaware.
EditedManifest editManifest(std::string_view text, const ManifestChanges& changes);
