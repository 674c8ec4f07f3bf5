// The launcher's command-line splitting.
#include <cstdlib>

#include "FuzzInput.h"
#include "base/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = fuzzText(data, size);
    std::size_t total = 0;
    std::vector<std::string> arguments = splitArguments(text);
    for (const std::string& argument : arguments) {
        FUZZ_CHECK(argument.size() <= text.size());
        FUZZ_CHECK(text.find(argument) != std::string::npos);
        total += argument.size();
    }
    FUZZ_CHECK(total <= text.size());
    FUZZ_CHECK(arguments.size() <= text.size() + 1);
    std::vector<std::string> fromCommandLine = argumentsFromCommandLine(text);
    for (const std::string& argument : fromCommandLine)
        FUZZ_CHECK(text.find(argument) != std::string::npos);

    // The wide command line splits by the same rules: the bytes as characters
    // give the same arguments, beyond ASCII kept whole in their wide form.
    std::wstring wide(text.begin(), text.end());
    for (wchar_t& c : wide) c = static_cast<unsigned char>(c);
    std::vector<Argument> wideArguments = argumentsFromCommandLine(wide);
    const char* doubleByte = std::getenv("ANSI_DOUBLE_BYTE");
    if (!doubleByte || doubleByte[0] != '1') {
        FUZZ_CHECK(wideArguments.size() == fromCommandLine.size());
        for (std::size_t i = 0; i < wideArguments.size() && i < fromCommandLine.size(); ++i) {
            const Argument& argument = wideArguments[i];
            FUZZ_CHECK(argument.text.size() == fromCommandLine[i].size());
            FUZZ_CHECK(argument.wide.empty() ||
                       std::string(argument.wide.begin(), argument.wide.end()) == fromCommandLine[i]);
        }
    }
    return 0;
}
