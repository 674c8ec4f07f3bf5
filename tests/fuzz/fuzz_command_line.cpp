// The launcher's command-line splitting.
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
    for (const std::string& argument : argumentsFromCommandLine(text))
        FUZZ_CHECK(text.find(argument) != std::string::npos);
    return 0;
}
