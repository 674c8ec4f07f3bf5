// The parts of the explain companion that are not the launcher's own code:
// the environment it keeps instead of setting, and its JSON text.
#include <windows.h>

#include <gtest/gtest.h>

#include "explain/JsonWriter.h"
#include "explain/OverlayEnvironment.h"
#include "base/Environment.h"

namespace {

std::string processVariable(const char* name) {
    char value[4096] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? value : "(unset)";
}

TEST(OverlayEnvironment, ExpandsAsThePlatformDoesWithoutTouchingTheProcess) {
    SetEnvironmentVariableA("EXPLAIN_TEST_A", "alpha");
    OverlayEnvironment overlay;
    // Nothing set yet: exactly the platform's expansion, odd forms included.
    for (const char* text : {"", "plain", "%EXPLAIN_TEST_A%", "%explain_test_a%x", "%UNDEFINED_EXPLAIN%",
                             "a%b", "%%", "100%", "%EXPLAIN_TEST_A", "x%UNDEFINED_EXPLAIN%EXPLAIN_TEST_A%y",
                             "%PATH%;%EXPLAIN_TEST_A%"}) {
        EXPECT_EQ(overlay.expand(text), expandEnvironment(text)) << text;
    }

    // Set variables are seen by expansion, whatever the case of their name,
    // and replace the process's values; the process keeps its own.
    overlay.set("EXPLAIN_TEST_B", "beta");
    overlay.set("explain_test_a", "first");
    overlay.set("EXPLAIN_TEST_A", "second");
    EXPECT_EQ(overlay.expand("%EXPLAIN_TEST_A%/%Explain_Test_B%/%UNDEFINED_EXPLAIN%"),
              "second/beta/%UNDEFINED_EXPLAIN%");
    ASSERT_EQ(overlay.variables().size(), 2u);
    EXPECT_EQ(overlay.variables()[0].first, "EXPLAIN_TEST_B");
    EXPECT_EQ(overlay.variables()[1].second, "second");
    EXPECT_EQ(processVariable("EXPLAIN_TEST_A"), "alpha");
    EXPECT_EQ(processVariable("EXPLAIN_TEST_B"), "(unset)");

    // A new "Path" built from the old one, as the launcher builds it.
    std::string oldPath = processVariable("PATH");
    overlay.set("Path", overlay.expand("C:\\first;%Path%;C:\\last"));
    EXPECT_EQ(overlay.expand("%PATH%"), "C:\\first;" + oldPath + ";C:\\last");
    EXPECT_EQ(processVariable("PATH"), oldPath);
    SetEnvironmentVariableA("EXPLAIN_TEST_A", nullptr);
}

TEST(JsonWriter, NestingAndEscapes) {
    JsonWriter json;
    json.beginObject();
    json.field("text", std::string("quote \" backslash \\ tab \t line\n bell \x07"));
    json.field("flag", true);
    json.field("number", -1);
    json.key("empty");
    json.beginArray();
    json.endArray();
    json.stringArray("list", std::vector<std::string>{"a", "b"});
    json.key("none");
    json.null();
    json.endObject();
    EXPECT_EQ(json.text(),
              "{\n"
              "  \"text\": \"quote \\\" backslash \\\\ tab \\t line\\n bell \\u0007\",\n"
              "  \"flag\": true,\n"
              "  \"number\": -1,\n"
              "  \"empty\": [],\n"
              "  \"list\": [\n"
              "    \"a\",\n"
              "    \"b\"\n"
              "  ],\n"
              "  \"none\": null\n"
              "}\n");
}

TEST(JsonWriter, TextOutsideAsciiBecomesUtf16Escapes) {
    // A character of the ANSI code page above 0x7F, whichever it is here.
    std::string ansi = "\xE9";
    wchar_t wide = 0;
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi.data(), 1, &wide, 1), 1);
    char expected[16];
    wsprintfA(expected, "\"a\\u%04x\"", static_cast<unsigned>(wide));
    EXPECT_EQ(jsonString("a" + ansi), expected);
}

}  // namespace
