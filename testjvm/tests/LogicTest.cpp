// The test runtime's pure logic: trace lines, scripts and jars, stack
// traces, modified UTF-8, signatures, class data sharing.
#include <gtest/gtest.h>

#include "testjvm/JavaText.h"
#include "testjvm/Script.h"
#include "testjvm/Sharing.h"
#include "testjvm/Signature.h"
#include "testjvm/StackTrace.h"
#include "testjvm/TraceFormat.h"

namespace testjvm {
namespace {

TEST(TraceFormat, EventsSurviveTheRoundTripByteForByte) {
    std::string awkward("a\\b\tc\rd\ne\x01\x7f \xe9\xff=x");
    TraceEvent event{"create", {{"thread", "12"}, {"option0", awkward}, {"empty", ""}}};
    std::string line = formatTraceEvent(event);
    EXPECT_EQ(line, "create\tthread=12\toption0=a\\\\b\\tc\\rd\\ne\\x01\\x7f \xe9\xff=x\tempty=\n");
    TraceEvent back = parseTraceEvent(line);
    EXPECT_EQ(back.name, "create");
    EXPECT_EQ(back.get("option0"), awkward);
    EXPECT_TRUE(back.has("empty"));
    EXPECT_FALSE(back.has("missing"));
    EXPECT_EQ(back.thread(), 12u);

    // Unknown escapes stay as written; a partial last line is not an event yet.
    EXPECT_EQ(unescapeTraceValue("\\q\\x4"), "\\q\\x4");
    auto events = parseTrace("a\tx=1\nb\tcode=0x10\tn=-3\nc\tpart");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].number("code"), 16);
    EXPECT_EQ(events[1].number("n"), -3);
    TraceEvent list{"call", {{"arg0", "x"}, {"arg1", ""}, {"arg3", "y"}}};
    EXPECT_EQ(list.list("arg"), (std::vector<std::string>{"x", ""}));
}

TEST(Script, ParsesEveryStatement) {
    const char* text =
        "# a comment\r\n"
        "main\r\n"
        "    out Hello,  world \r\n"
        "\terr\n"
        "    sleep 25\n"
        "    env Path\n"
        "    wait ready\n"
        "    wait go 500\n"
        "    signal started\n"
        "    thread 100\n"
        "    daemon until stop exit -4\n"
        "    exit 3\n"
        "\n"
        "    throw java/lang/RuntimeException  two  blanks\n"
        "    cause java/io/IOException\n"
        "    cause com/example/Own \n"
        "secondaryMain int\n"
        "    return args\n"
        "secondaryMain void\n"
        "method helper (IJ)Ljava/lang/String;\n";
    ClassScript script;
    ScriptError error;
    ASSERT_TRUE(parseClassScript(text, 1, script, error)) << error.line << ": " << error.message;
    ASSERT_EQ(script.methods.size(), 4u);
    const ScriptMethod* main = script.find("main", "([Ljava/lang/String;)V");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->line, 2);
    const auto& body = main->body;
    ASSERT_EQ(body.size(), 11u);
    EXPECT_EQ(body[0].text, "Hello,  world ");
    EXPECT_FALSE(body[0].toError);
    EXPECT_TRUE(body[1].toError);
    EXPECT_EQ(body[1].text, "");
    EXPECT_EQ(body[2].number, 25);
    EXPECT_EQ(body[4].number, 60000);
    EXPECT_EQ(body[5].number, 500);
    EXPECT_EQ(body[7].number, 100);
    EXPECT_FALSE(body[7].daemon);
    EXPECT_FALSE(body[7].exitCode.has_value());
    EXPECT_TRUE(body[8].daemon && body[8].untilEvent);
    EXPECT_EQ(body[8].text, "stop");
    EXPECT_EQ(body[8].exitCode, -4);
    EXPECT_EQ(body[9].number, 3);
    const Statement& thrown = body[10];
    EXPECT_EQ(thrown.line, 14);
    EXPECT_EQ(thrown.text, "java/lang/RuntimeException");
    EXPECT_EQ(thrown.message, " two  blanks");
    ASSERT_EQ(thrown.causes.size(), 2u);
    EXPECT_FALSE(thrown.causes[0].message.has_value());
    EXPECT_EQ(thrown.causes[1].message, "");
    EXPECT_TRUE(script.find("secondaryMain", "([Ljava/lang/String;)I")->body[0].returnsArgumentCount);
    EXPECT_TRUE(script.find("secondaryMain", "([Ljava/lang/String;)V")->body.empty());
}

TEST(Script, ErrorsNameTheLine) {
    struct Case {
        const char* text;
        int line;
    } cases[] = {
        {"  out x\n", 11},
        {"main\n  print x\n", 12},
        {"main\n  sleep -1\n", 12},
        {"main\n  thread soon\n", 12},
        {"main\n  thread 5 exit\n", 12},
        {"main\n  cause java/lang/Error\n", 12},
        {"main\n  throw java/lang/Error\n  out x\n", 13},
        {"main\n  return 1 2\n", 12},
        {"main\nmain\n", 12},
        {"Main\n", 11},
    };
    for (const Case& c : cases) {
        ClassScript script;
        ScriptError error;
        EXPECT_FALSE(parseClassScript(c.text, 11, script, error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_FALSE(error.message.empty());
    }
}

TEST(Script, JarsHoldSeveralClassesAfterTheMarker) {
    std::map<std::string, JarClass> classes;
    EXPECT_FALSE(parseJar("class a/B\nmain\n", classes));
    std::string content =
        "MZ\x90" "binary\n#testjvm-jar\r\n# comment\nclass a/B\nmain\n  out b\nclass c/D \r\n"
        "secondaryMain int\nclass a/B\nmain\n";
    ASSERT_TRUE(parseJar(content, classes));
    ASSERT_EQ(classes.size(), 2u);
    EXPECT_EQ(classes["a/B"].text, "main\n  out b\n");
    EXPECT_EQ(classes["a/B"].firstLine, 5);
    EXPECT_EQ(classes["c/D"].text, "secondaryMain int\n");
    EXPECT_EQ(classes["c/D"].firstLine, 8);
}

TEST(StackTrace, FormatsLikeTheJavaPlatform) {
    EXPECT_EQ(describeThrowable("java/lang/Error", std::nullopt), L"java.lang.Error");
    EXPECT_EQ(describeThrowable("a/B", L""), L"a.B: ");
    std::vector<ThrowableText> chain{
        {L"java.lang.RuntimeException: top", {L"a.B.c(B.java:3)", L"a.B.main(B.java:9)"}},
        {L"java.io.IOException: middle", {L"x.Y.z(Y.java:1)", L"a.B.c(B.java:4)", L"a.B.main(B.java:9)"}},
        {L"java.lang.Error", {L"a.B.main(B.java:9)"}},
        {L"java.lang.Error: no frames", {}}};
    EXPECT_EQ(formatStackTrace(chain),
              L"java.lang.RuntimeException: top\r\n"
              L"\tat a.B.c(B.java:3)\r\n"
              L"\tat a.B.main(B.java:9)\r\n"
              L"Caused by: java.io.IOException: middle\r\n"
              L"\tat x.Y.z(Y.java:1)\r\n"
              L"\tat a.B.c(B.java:4)\r\n"
              L"\t... 1 more\r\n"
              L"Caused by: java.lang.Error\r\n"
              L"\t... 1 more\r\n"
              L"Caused by: java.lang.Error: no frames\r\n");
}

TEST(JavaText, ModifiedUtf8) {
    std::wstring text{L'A', L'\0', L'\xe9', L'\x20ac', L'\xd83d', L'\xde00'};
    std::string bytes = toModifiedUtf8(text);
    EXPECT_EQ(bytes, std::string("A\xc0\x80\xc3\xa9\xe2\x82\xac\xed\xa0\xbd\xed\xb8\x80"));
    EXPECT_EQ(fromModifiedUtf8(bytes), text);
    EXPECT_EQ(fromModifiedUtf8("a\xff\xc3"), L"a\xfffd\xfffd");
    EXPECT_EQ(externalClassName("com/example/Main$1"), "com.example.Main$1");
}

TEST(Signature, Parses) {
    auto main = parseMethodSignature("([Ljava/lang/String;)V");
    ASSERT_TRUE(main);
    EXPECT_EQ(main->descriptors, std::vector<std::string>{"[Ljava/lang/String;"});
    EXPECT_EQ(main->result, JavaType::Void);
    auto mixed = parseMethodSignature("(IJ[[BLa/B;DZ)La/C;");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->parameters,
              (std::vector<JavaType>{JavaType::Int, JavaType::Long, JavaType::Reference,
                                     JavaType::Reference, JavaType::Double, JavaType::Boolean}));
    EXPECT_EQ(mixed->result, JavaType::Reference);
    for (const char* bad : {"", "V", "()", "(V)V", "(L;)V", "(I)VV", "(I", "(Q)V", "()[V"})
        EXPECT_FALSE(parseMethodSignature(bad)) << bad;
}

TEST(Sharing, OptionsArchivesAndTheirContent) {
    for (const char* option : {"-XX:SharedArchiveFile=a.jsa", "-XX:ArchiveClassesAtExit=a.jsa",
                               "-XX:+AutoCreateSharedArchive", "-XX:AOTCache=a.aot", "-XX:AOTCacheOutput=a.aot"})
        EXPECT_TRUE(isSharingOption(option)) << option;
    EXPECT_FALSE(isSharingOption("-XX:-AutoCreateSharedArchive") || isSharingOption("-XX:AOTMode=on"));
    // The last of each option counts; two archives are separated by ";".
    EXPECT_EQ(archivesToMap({"-XX:AOTCache=old.aot", "-XX:SharedArchiveFile=C:\\x.jsa", "-XX:AOTCache=C:\\app.aot",
                             "-XX:SharedArchiveFile=base.jsa;;top.jsa", "-XX:ArchiveClassesAtExit=w.jsa"}),
              (std::vector<std::string>{"base.jsa", "top.jsa", "C:\\app.aot"}));

    const std::string dynamicMagic("\xa8\xab\x0b\xf0", 4), staticMagic("\xa2\xab\x0b\xf0", 4);
    EXPECT_EQ(judgeArchive(dynamicMagic + std::string(4096, 'x')), ArchiveContent::Sound);
    EXPECT_EQ(judgeArchive(staticMagic + "#testjvm-damaged"), ArchiveContent::Damaged);
    EXPECT_EQ(judgeArchive(dynamicMagic + "xxxx\n#testjvm-damaged\n"), ArchiveContent::Damaged);
    EXPECT_EQ(judgeArchive(dynamicMagic + "xx #testjvm-damaged"), ArchiveContent::Sound);
    // A damaged body leaves the header intact.
    for (const std::string& foreign : {std::string("#testjvm-damaged"), dynamicMagic.substr(0, 3),
                                       std::string("\xa8\xab\x0b\xf1\n#testjvm-damaged", 21)})
        EXPECT_EQ(judgeArchive(foreign), ArchiveContent::NotAnArchive);
}

}  // namespace
}  // namespace testjvm
