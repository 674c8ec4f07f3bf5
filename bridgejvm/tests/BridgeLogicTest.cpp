// The bridge's logic without a VM: option translation, the options file's
// quoting, the standard-error filter, signatures and frames.
#include <gtest/gtest.h>

#include <map>

#include "bridgejvm/JavaCommand.h"
#include "bridgejvm/Signature.h"
#include "bridgejvm/StderrFilter.h"
#include "bridgejvm/VmExit.h"
#include "bridgejvm/Wire.h"

namespace bridgejvm {
namespace {

// Maps C:\ to /c and refuses anything under C:\missing.
std::optional<std::string> fakeTranslate(const std::string& path) {
    if (path.rfind("C:\\missing", 0) == 0) return std::nullopt;
    std::string unix = path == "." ? "/cwd" : path;
    if (unix.rfind("C:\\", 0) == 0) unix = "/c/" + unix.substr(3);
    for (char& c : unix)
        if (c == '\\') c = '/';
    return unix;
}

TEST(BridgeOptions, PathOptionsAreTranslatedOthersKept) {
    // An empty entry stays empty, as the launcher's trailing ";" does.
    EXPECT_EQ(translateOption("-Djava.class.path=C:\\app\\a.jar;;C:\\missing\\b.jar;C:\\app\\classes;", fakeTranslate),
              "-Djava.class.path=/c/app/a.jar::/c/app/classes:");
    EXPECT_EQ(translateOption("-Djava.library.path=C:\\app\\lib", fakeTranslate), "-Djava.library.path=/c/app/lib");
    EXPECT_EQ(translateOption("-Xbootclasspath/a:C:\\x.jar;C:\\y.jar", fakeTranslate),
              "-Xbootclasspath/a:/c/x.jar:/c/y.jar");
    EXPECT_EQ(translateOption("-XX:SharedArchiveFile=C:\\Local\\app.jsa", fakeTranslate),
              "-XX:SharedArchiveFile=/c/Local/app.jsa");
    EXPECT_EQ(translateOption("-XX:ArchiveClassesAtExit=C:\\Local\\app.jsa", fakeTranslate),
              "-XX:ArchiveClassesAtExit=/c/Local/app.jsa");
    EXPECT_EQ(translateOption("-XX:AOTCache=C:\\Local\\a;b.aot", fakeTranslate), "-XX:AOTCache=/c/Local/a;b.aot");
    EXPECT_EQ(translateOption("-XX:AOTCacheOutput=C:\\app.aot", fakeTranslate), "-XX:AOTCacheOutput=/c/app.aot");
    EXPECT_EQ(translateOption("-XX:AOTConfiguration=C:\\missing\\x", fakeTranslate),
              "-XX:AOTConfiguration=C:\\missing\\x");
    EXPECT_EQ(translateOption("-javaagent:C:\\agent.jar=a=b;c", fakeTranslate), "-javaagent:/c/agent.jar=a=b;c");
    EXPECT_EQ(translateOption("-agentpath:C:\\missing\\x.so", fakeTranslate), "-agentpath:C:\\missing\\x.so");
    for (const char* kept : {"-Xmx512m", "-Dpath=C:\\app", "-Djava.class.pathology=C:\\x", "-verbose:gc", "",
                             "-XX:AOTMode=on"})
        EXPECT_EQ(translateOption(kept, fakeTranslate), kept);
}

// What HotSpot's options-file reader does with a line (quotes pair up; an
// entry ends at unquoted white space).
std::vector<std::string> readOptionsFile(const std::string& text) {
    std::vector<std::string> options;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (at >= text.size()) break;
        std::string option;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at]))) {
            if (text[at] == '"' || text[at] == '\'') {
                char quote = text[at++];
                while (at < text.size() && text[at] != quote) option += text[at++];
                ++at;
            } else {
                option += text[at++];
            }
        }
        options.push_back(option);
    }
    return options;
}

TEST(BridgeOptions, OptionsFileGivesBackEveryOptionExactly) {
    std::vector<std::string> bridge = {"-Dline.separator=\r\n", "-Xbootclasspath/a:/srv/bridge server.jar"};
    std::vector<std::string> launcher = {"-Dmessage=it's \"quoted\"\tand spaced", "-Xmx1024K", "-Dempty=", "x"};
    std::vector<std::string> all = bridge;
    all.insert(all.end(), launcher.begin(), launcher.end());
    EXPECT_EQ(readOptionsFile(optionsFileText(bridge, launcher)), all);
}

TEST(BridgeOptions, CharsetsAndArgumentQuoting) {
    EXPECT_EQ(javaCharsetName(1252), "Cp1252");
    EXPECT_EQ(javaCharsetName(932), "MS932");
    EXPECT_EQ(javaCharsetName(65001), "UTF-8");
    EXPECT_EQ(quoteArgument(L"/usr/bin/java"), L"/usr/bin/java");
    EXPECT_EQ(quoteArgument(L""), L"\"\"");
    EXPECT_EQ(quoteArgument(L"/a b/c"), L"\"/a b/c\"");
    EXPECT_EQ(quoteArgument(L"say \"hi\\\" \\"), L"\"say \\\"hi\\\\\\\" \\\\\"");
}

TEST(BridgeOptions, SecurityManagerOnlyForTheVersionsThatAllowIt) {
    EXPECT_EQ(javaFeatureVersion("IMPLEMENTOR_JAVA_VERSION=\"9\"\nJAVA_VERSION=\"17.0.15\"\n"), 17);
    EXPECT_EQ(javaFeatureVersion("JAVA_VERSION=\"1.8.0_392\"\n"), 8);
    EXPECT_EQ(javaFeatureVersion("JAVA_VERSION=25\r\n"), 25);
    for (const char* none : {"", "JAVA_VERSION=\"x\"", "MODULES=\"java.base\""}) EXPECT_EQ(javaFeatureVersion(none), 0);
    std::string accepted;
    for (int version : {0, 11, 12, 23, 24}) accepted += acceptsSecurityManagerAllow(version) ? '1' : '0';
    EXPECT_EQ(accepted, "00110");
}

TEST(BridgeVmExit, CrashesAndRefusalsAreToldApart) {
    for (int signal : {4, 5, 6, 7, 8, 11, 31}) EXPECT_EQ(exitCodeForStatus(128 + signal), kCrashExitCode) << signal;
    // Exits, and the signals HotSpot turns into an orderly exit (128 + 2, 15) or that kill it.
    for (int status : {0, 1, 127, 130, 137, 143, 255}) EXPECT_EQ(exitCodeForStatus(status), unsigned(status));

    const std::string refused = "Unrecognized option: -Xbogus\nError: Could not create the Java Virtual Machine.\n";
    for (std::size_t chunk : {1u, 7u, 1000u}) {
        CreationRefusalWatch watch;
        for (std::size_t at = 0; at < refused.size(); at += chunk) watch.feed(refused.substr(at, chunk));
        EXPECT_TRUE(watch.refused()) << "chunks of " << chunk;
    }
    // What a VM that exits while being created prints is no refusal.
    CreationRefusalWatch exited;
    exited.feed("Error occurred during initialization of VM\nError: Could not create");
    EXPECT_FALSE(exited.refused());
}

TEST(BridgeStderrFilter, DropsWhatLiesBetweenTheMarkersWhereverTheChunksEnd) {
    const std::string token = "abc";
    const std::string mute = "\x01" "bridgejvm-mute abc\n";
    const std::string unmute = "\x01" "bridgejvm-unmute abc\n";
    const std::string stream = "startup warning\n" + mute + "WARNING: security manager\n" + unmute +
                               "Exception in thread \"main\" \x01 not a marker\n";
    const std::string expected = "startup warning\nException in thread \"main\" \x01 not a marker\n";
    for (std::size_t chunk : {1u, 2u, 5u, 17u, 1000u}) {
        StderrFilter filter(token);
        std::string out;
        for (std::size_t at = 0; at < stream.size(); at += chunk) out += filter.feed(stream.substr(at, chunk));
        out += filter.finish();
        EXPECT_EQ(out, expected) << "chunks of " << chunk;
    }
    // Another secret's markers are ordinary text.
    StderrFilter other("xyz");
    std::string passed = other.feed(mute);
    EXPECT_EQ(passed + other.finish(), mute);
    // A stream that ends inside a possible marker keeps those bytes.
    StderrFilter cut(token);
    passed = cut.feed("end\x01" "bridge");
    EXPECT_EQ(passed, "end");
    EXPECT_EQ(cut.finish(), "\x01" "bridge");
}

TEST(BridgeSignature, ShapesOfSignatures) {
    MethodShape shape = parseSignature("(ZBCSIJFDLjava/lang/String;[I[[Ljava/lang/Object;)Ljava/lang/String;");
    EXPECT_TRUE(shape.valid);
    EXPECT_EQ(shape.parameters, "ZBCSIJFDLLL");
    EXPECT_EQ(shape.result, 'L');
    EXPECT_EQ(parseSignature("()V").result, 'V');
    EXPECT_EQ(parseSignature("([Ljava/lang/String;)I").result, 'I');
    for (const char* bad : {"", "V", "(", "(L;)V", "(Ljava/lang/String)V", "(Q)V", "()", "()VV", "(I)[", "()Lx"})
        EXPECT_FALSE(parseSignature(bad).valid) << bad;
}

TEST(BridgeWire, ValuesRoundTripBigEndian) {
    Writer writer(7);
    writer.u8(0xFE).u16(0xBEEF).i32(-2).i64(-3).f32(1.5f).f64(-0.25).blob(std::string("a\0b", 3)).nullBlob();
    EXPECT_EQ(writer.bytes().substr(0, 8), std::string("\x07\xFE\xBE\xEF\xFF\xFF\xFF\xFE", 8));
    Reader reader(writer.bytes(), 1);
    EXPECT_EQ(reader.u8(), 0xFE);
    EXPECT_EQ(reader.u16(), 0xBEEF);
    EXPECT_EQ(reader.i32(), -2);
    EXPECT_EQ(reader.i64(), -3);
    EXPECT_EQ(reader.f32(), 1.5f);
    EXPECT_EQ(reader.f64(), -0.25);
    std::string bytes;
    EXPECT_TRUE(reader.blob(bytes));
    EXPECT_EQ(bytes, std::string("a\0b", 3));
    EXPECT_FALSE(reader.blob(bytes));
    EXPECT_TRUE(reader.ok());
    // A reply cut short reads as zero.
    EXPECT_EQ(reader.i32(), 0);
    EXPECT_FALSE(reader.ok());
}

}  // namespace
}  // namespace bridgejvm
