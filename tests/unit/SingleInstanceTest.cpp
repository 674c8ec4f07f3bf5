#include "launcher/HandOverArea.h"
#include "launcher/LaunchPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

using Args = std::vector<std::string>;
using Area = std::array<std::uint8_t, kArgumentAreaSize>;

Area filledArea(std::uint8_t byte) {
    Area area;
    area.fill(byte);
    return area;
}

std::string prefix(const Area& area, std::size_t length) {
    return std::string(area.begin(), area.begin() + static_cast<std::ptrdiff_t>(length));
}

TEST(ArgumentArea, EachArgumentFollowedByAZeroAndZerosToTheEnd) {
    Area area = filledArea(0xAA);
    ASSERT_TRUE(encodeArguments({"ab", "\xE4x"}, area));
    EXPECT_EQ(prefix(area, 6), std::string("ab\0\xE4x\0", 6));
    EXPECT_TRUE(std::all_of(area.begin() + 6, area.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(decodeArguments(area), (Args{"ab", "\xE4x"}));
}

TEST(ArgumentArea, ArgumentsThatNeedExactlyTheAreaFitAndOneByteMoreDoesNot) {
    Area area = filledArea(0xAA);
    Args one{std::string(1038, 'x')};
    ASSERT_TRUE(encodeArguments(one, area));
    EXPECT_EQ(decodeArguments(area), one);

    Args two{std::string(500, 'a'), std::string(537, 'b')};
    ASSERT_TRUE(encodeArguments(two, area));
    EXPECT_EQ(decodeArguments(area), two);

    // Nothing is written when they do not fit.
    Area before = area;
    EXPECT_FALSE(encodeArguments({std::string(1039, 'y')}, area));
    EXPECT_FALSE(encodeArguments({std::string(500, 'a'), std::string(538, 'b')}, area));
    EXPECT_FALSE(encodeArguments(Args(521, "x"), area));
    EXPECT_EQ(area, before);
    EXPECT_TRUE(encodeArguments(Args(519, "x"), area));  // 519 * 2 + 1 = 1039
}

TEST(ArgumentArea, EmptyArgumentsEndTheList) {
    Area area = filledArea(0xAA);
    ASSERT_TRUE(encodeArguments({}, area));
    EXPECT_EQ(decodeArguments(area), Args{""});
    ASSERT_TRUE(encodeArguments({"a", "", "b"}, area));
    EXPECT_EQ(decodeArguments(area), Args{"a"});
    ASSERT_TRUE(encodeArguments({"", "b"}, area));
    EXPECT_EQ(decodeArguments(area), (Args{"", "b"}));
    ASSERT_TRUE(encodeArguments({""}, area));
    EXPECT_EQ(decodeArguments(area), Args{""});
}

TEST(ArgumentArea, ForeignBytesAreReadWithinTheArea) {
    // No zero at all: nothing is complete.
    EXPECT_EQ(decodeArguments(filledArea('x')), Args{});

    // Single zeros without an end mark: the text after the last one is dropped.
    Area area = filledArea('x');
    area[3] = 0;
    area[7] = 0;
    EXPECT_EQ(decodeArguments(area), (Args{"xxx", "xxx"}));

    // The last byte is only ever looked at as an end mark, so a text whose
    // zero would be the last byte is dropped.
    area = filledArea('x');
    area[1037] = 0;
    area[1039] = 0;
    EXPECT_EQ(decodeArguments(area), Args{std::string(1037, 'x')});
}

TEST(InstanceName, EveryBackslashBecomesAnUnderscore) {
    EXPECT_EQ(instanceNameFor("C:\\Apps\\Tool.exe"), "C:_Apps_Tool.exe");
    EXPECT_EQ(instanceNameFor("\\\\server\\share\\My App\\TOOL.Exe"), "__server_share_My App_TOOL.Exe");
    EXPECT_EQ(instanceNameFor("tool"), "tool");
    // The longest path whose names fit keeps them; a longer one takes a
    // digest, one of its own.
    std::string longest = "C:\\" + std::string(242, 'x');
    ASSERT_EQ(longest.size() + 15, static_cast<std::size_t>(MAX_PATH));
    EXPECT_EQ(instanceNameFor(longest), "C:_" + std::string(242, 'x'));
    std::string name = instanceNameFor(longest + "y");
    EXPECT_EQ(name.size(), 13u + 32u);
    EXPECT_EQ(name.rfind("JavaLauncher-", 0), 0u);
    EXPECT_NE(name, instanceNameFor(longest + "z"));
}

}  // namespace
