// The manifest reader and editor of stamp: any bytes as a manifest, changed
// as the first byte chooses.
#include <string>

#include "FuzzInput.h"
#include "stamp/Manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char* const kLevels[] = {"asInvoker", "highestAvailable", "requireAdministrator"};
    ManifestChanges changes;
    if (data[0] & 3) changes.executionLevel = kLevels[(data[0] & 3) - 1];
    changes.dpiUnaware = data[0] & 4;
    std::string text = fuzzText(data + 1, size - 1);
    ManifestFacts before = readManifest(text);
    EditedManifest edited = editManifest(text, changes);
    if (!edited.error.empty()) return 0;
    FUZZ_CHECK(before.error.empty());
    // It says what was asked, keeps what was not asked for, and a second
    // run changes nothing more.
    ManifestFacts after = readManifest(edited.text);
    FUZZ_CHECK(after.error.empty());
    FUZZ_CHECK(after.executionLevel == (changes.executionLevel ? changes.executionLevel : before.executionLevel));
    if (!changes.dpiUnaware) FUZZ_CHECK(after.dpiAware == before.dpiAware && after.dpiAwareness == before.dpiAwareness);
    if (changes.dpiUnaware)
        FUZZ_CHECK(after.dpiAware.value_or("false") == "false" && after.dpiAwareness.value_or("unaware") == "unaware");
    if (!changes.executionLevel && !changes.dpiUnaware) FUZZ_CHECK(edited.text == text);
    EditedManifest again = editManifest(edited.text, changes);
    FUZZ_CHECK(again.error.empty() && again.text == edited.text);
    return 0;
}
