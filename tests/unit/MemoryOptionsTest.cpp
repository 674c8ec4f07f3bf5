#include "jvm/MemoryOptions.h"

#include <gtest/gtest.h>

#include "jvm/VmParameters.h"

namespace {

constexpr std::uint64_t k2GB = 2147483648ull;

std::string rewrite(const std::string& option) { return percentMemoryOption(option, k2GB, k2GB); }

TEST(MemoryOptions, PercentageFormOnA2GBMachine) {
    EXPECT_EQ(rewrite("-Xmx50P"), "-Xmx1048576K");
    EXPECT_EQ(rewrite("-Xmx50:256:512P"), "-Xmx524288K");   // cut to the maximum
    EXPECT_EQ(rewrite("-Xms10:512P"), "-Xms524288K");       // 209715 raised to the minimum
    EXPECT_EQ(rewrite("-Xms10p"), "-Xms209715K");           // 209715.2 truncated
    EXPECT_EQ(rewrite("-Xmx50:1024:512P"), "-Xmx1048576K"); // the minimum wins
    EXPECT_EQ(rewrite("-Xmx:256P"), "-Xmx262144K");         // no percentage
    EXPECT_EQ(rewrite("-XmxP"), "-XmxP0K");                 // nothing to read
    EXPECT_EQ(rewrite("-Xmx50:1:2:3:4P"), "-Xmx2048K");     // numbers after the third ignored
    EXPECT_EQ(percentMemoryOption("-Xmx50T", 1, k2GB), "-Xmx1048576K");
    EXPECT_EQ(percentMemoryOption("-Xmx50t", k2GB, 1024 * 1024), "-Xmx512K");
    // Not the percentage form: unchanged.
    EXPECT_EQ(rewrite("-xmx50P"), "-xmx50P");
    EXPECT_EQ(rewrite("-XMX50P"), "-XMX50P");
    EXPECT_EQ(rewrite("-Xmx512m"), "-Xmx512m");
    EXPECT_EQ(rewrite("-Xmn50P"), "-Xmn50P");
    // A basis above 4 GB (a 64-bit process) is measured whole.
    EXPECT_EQ(percentMemoryOption("-Xmx25P", 16ull << 30, 0), "-Xmx4194304K");
}

TEST(MemoryOptions, StackSize) {
    EXPECT_EQ(parseStackSize("1m"), 1048576u);
    EXPECT_EQ(parseStackSize("512k"), 524288u);
    EXPECT_EQ(parseStackSize("1048576"), 1048576u);
    EXPECT_EQ(parseStackSize("2G"), 0x80000000u);
    EXPECT_EQ(parseStackSize("abc"), 0u);
    EXPECT_EQ(parseStackSize(""), 0u);
    EXPECT_EQ(parseStackSize("x1m"), 0u);   // a prefix makes it unreadable
    EXPECT_EQ(parseStackSize("1:2m"), 0u);  // two numbers
    EXPECT_EQ(parseStackSize("4096g"), 0u); // wraps around in 32 bits
}

TEST(MemoryOptions, NumberList) {
    NumberList list = parseNumberList("-Xmx50:256:512P");
    EXPECT_EQ(list.prefixLength, 4u);
    EXPECT_EQ(list.numbers, (std::vector<std::uint32_t>{50, 256, 512}));
    EXPECT_TRUE(parseNumberList("abc").numbers.empty());
    EXPECT_EQ(parseNumberList("abc").prefixLength, 3u);
    EXPECT_EQ(parseNumberList("12").numbers, std::vector<std::uint32_t>{1});
    EXPECT_EQ(parseNumberList("12", true).numbers, std::vector<std::uint32_t>{12});
}

TEST(VmParameters, StackSizeFromTheLastXss) {
    std::uint32_t stack = 0;
    auto options = splitVmParameters("-Xss1m -Xmx50P -Xss2P", stack,
                                     [](const std::string& o) { return rewrite(o); });
    EXPECT_EQ(options, (std::vector<std::string>{"-Xss1m", "-Xmx1048576K", "-Xss41943K"}));
    EXPECT_EQ(stack, 41943u * 1024u);
    splitVmParameters("-Xssabc", stack, [](const std::string& o) { return rewrite(o); });
    EXPECT_EQ(stack, 0u);
}

}  // namespace
