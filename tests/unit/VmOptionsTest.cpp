#include "jvm/VmOptions.h"
#include "jvm/VmParameters.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace {

using Options = std::vector<std::string>;

Options split(const std::string& value) {
    std::uint32_t stack = 0;
    return splitVmParameters(value, stack, [](const std::string& o) { return o; });
}

TEST(VmParameters, SplittingAndQuotes) {
    EXPECT_EQ(split(""), Options{});
    EXPECT_EQ(split("-Xmx64m  -Dx=1"), (Options{"-Xmx64m", "-Dx=1"}));
    EXPECT_EQ(split("-Dpath=\"C:\\Program Files\\x\" -v"),
              (Options{"-Dpath=C:\\Program Files\\x", "-v"}));
    EXPECT_EQ(split("  -a -b  "), (Options{"-a", "-b"}));  // leading blanks: no empty option
    EXPECT_EQ(split("\"-Dname=a b\""), (Options{"-Dname=a b"}));
    // A quoted part closed by two quotes keeps one quote at its end.
    EXPECT_EQ(split("-Dq=\"a b\"\" -c"), (Options{"-Dq=a b\"", "-c"}));
    // A lone quote opens nothing: the piece ends at the next blank.
    EXPECT_EQ(split("-Dx=\"a b"), (Options{"-Dx=\"a", "b"}));
    EXPECT_EQ(split("-D\"x\"=\"y\""), (Options{"-Dx=y"}));
}

TEST(VmParameters, StripQuotes) {
    EXPECT_EQ(stripQuotes("\"a\""), "a");
    EXPECT_EQ(stripQuotes("\"\""), "");
    EXPECT_EQ(stripQuotes("x\"y"), "x\"y");
    EXPECT_EQ(stripQuotes("\"a\"\"b\""), "a\"b\"");  // doubled close, then a lone quote
    EXPECT_EQ(stripQuotes("\"a\"x\"b\""), "axb");
}

TEST(ClassPath, RelativeAndAbsolutePieces) {
    EXPECT_TRUE(isRelativeClassPathEntry("\\lib\\*.jar"));
    EXPECT_TRUE(isRelativeClassPathEntry("%APP%\\x.jar"));
    EXPECT_FALSE(isRelativeClassPathEntry("C:\\lib\\x.jar"));
    EXPECT_FALSE(isRelativeClassPathEntry("\\\\server\\share\\x.jar"));
    ClassPathSearch relative = classPathSearch("\\lib\\*.jar", "C:\\App\\");
    EXPECT_EQ(relative.pattern, "C:\\App\\lib\\*.jar");
    EXPECT_EQ(relative.prefix, "C:\\App\\lib\\");
    ClassPathSearch absolute = classPathSearch("D:\\jars\\*.jar", "C:\\App\\");
    EXPECT_EQ(absolute.pattern, "D:\\jars\\*.jar");
    EXPECT_EQ(absolute.prefix, "D:\\jars\\");
    // '/' separates folders as '\\' does, wildcard or not.
    EXPECT_EQ(classPathSearch("\\lib/app.jar", "C:\\App\\").prefix, "C:\\App\\lib\\");
    EXPECT_EQ(classPathSearch("/lib/*.jar", "C:\\App\\").pattern, "C:\\App\\lib\\*.jar");
}

// Matches as the file system gives them, spelt as it spells them.
std::string matches(const std::string& piece, const std::string& folder) {
    std::vector<std::string> entries;
    if (classPathMatches(classPathSearch(piece, folder), entries)) return "failed";
    std::string text;
    for (const std::string& entry : entries) text += entry + ";";
    return text;
}

TEST(ClassPath, ExpansionAgainstRealFolders) {
    TempFolder temp;
    temp.write("lib\\a.jar", "");
    temp.write("lib\\b.jar", "");
    temp.write("lib\\notes.txt", "");
    temp.write("app.jar", "");
    const std::string& folder = temp.path();

    std::string classPath = matches("\\lib\\*.jar", folder + "\\");
    EXPECT_TRUE(classPath == folder + "\\lib\\a.jar;" + folder + "\\lib\\b.jar;" ||
                classPath == folder + "\\lib\\b.jar;" + folder + "\\lib\\a.jar;")
        << classPath;
    EXPECT_EQ(matches("\\APP.JAR", folder + "\\"), folder + "\\app.jar;");
    EXPECT_EQ(matches("\\missing.jar", folder + "\\"), "");
    EXPECT_EQ(matches(folder + "\\lib\\a*.jar", "C:\\elsewhere\\"), folder + "\\lib\\a.jar;");
    // A stray app.jar beside the launcher is not what lib/app.jar names.
    temp.write("lib\\app.jar", "");
    EXPECT_EQ(matches("\\lib/app.jar", folder + "\\"), folder + "\\lib\\app.jar;");
}

}  // namespace
