#include "base/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, WholeCommandLines) {
    EXPECT_EQ(argumentsFromCommandLine(""), Args{});
    EXPECT_EQ(argumentsFromCommandLine(" \t\r\n "), Args{});
    EXPECT_EQ(argumentsFromCommandLine("\"C:\\App\\app.exe\" -a \"x y\" z"),
              (Args{"-a", "x y", "z"}));
    // An unquoted program path with blanks loses only its first piece.
    EXPECT_EQ(argumentsFromCommandLine("C:\\Program Files\\App\\app.exe x"),
              (Args{"Files\\App\\app.exe", "x"}));
    EXPECT_EQ(argumentsFromCommandLine("app \"\""), (Args{""}));
    EXPECT_EQ(argumentsFromCommandLine("app \""), (Args{""}));
    EXPECT_EQ(argumentsFromCommandLine("app \"ab\"cd"), (Args{"ab", "cd"}));
    EXPECT_EQ(argumentsFromCommandLine("app ab\"cd ef\""), (Args{"ab\"cd", "ef\""}));
    EXPECT_EQ(argumentsFromCommandLine("app \"a b"), (Args{"a b"}));
    EXPECT_EQ(argumentsFromCommandLine("app   a    b  "), (Args{"a", "b"}));
    EXPECT_EQ(argumentsFromCommandLine("app a\tb"), (Args{"a\tb"}));
    EXPECT_EQ(argumentsFromCommandLine("\t app x \t"), (Args{"x"}));
    EXPECT_EQ(argumentsFromCommandLine("app C:\\dir\\\" x"), (Args{"C:\\dir\\\"", "x"}));
}

TEST(CommandLine, SplitKeepsWhatTrimmingWouldDrop) {
    EXPECT_EQ(splitArguments(" a"), (Args{"", "a"}));
    EXPECT_EQ(splitArguments("\"C:\\My Files\\x.txt\" -v"), (Args{"C:\\My Files\\x.txt", "-v"}));
    EXPECT_EQ(splitArguments(""), Args{});
}

}  // namespace
