#include "settings/JavaVersion.h"
#include "jre/RequiredVersion.h"

#include <gtest/gtest.h>

#include "settings/LauncherSettings.h"

namespace {

JavaVersion parsed(const std::string& text, std::int32_t fill = 0, bool expectOk = true) {
    JavaVersion v;
    EXPECT_EQ(JavaVersion::parse(text, fill, v), expectOk) << text;
    return v;
}

std::string show(const JavaVersion& v) {
    return std::to_string(v.parts[0]) + "." + std::to_string(v.parts[1]) + "." +
           std::to_string(v.parts[2]) + "." + std::to_string(v.parts[3]) + "/" +
           std::to_string(v.count);
}

TEST(JavaVersion, Parse) {
    EXPECT_EQ(show(parsed("1.6.0_20")), "1.6.0.20/4");
    EXPECT_EQ(show(parsed("jdk1.5")), "1.5.0.0/2");
    EXPECT_EQ(show(parsed("1.2.3.4.5")), "1.2.3.4/4");
    EXPECT_EQ(show(parsed("1.6", 65535)), "1.6.65535.65535/2");
    EXPECT_EQ(show(parsed(" 1-7")), "1.7.0.0/2");
    EXPECT_EQ(show(parsed("2147483647")), "2147483647.0.0.0/1");
    EXPECT_EQ(show(parsed("", 0, false)), "0.0.0.0/0");
    EXPECT_EQ(show(parsed("abc", 65535, false)), "0.0.0.0/0");
    EXPECT_EQ(show(parsed("1.2147483648", 0, false)), "0.0.0.0/0");
    EXPECT_EQ(show(parsed("99999999999999999999", 0, false)), "0.0.0.0/0");
}

TEST(JavaVersion, CompareIsNumeric) {
    EXPECT_EQ(compare(parsed("1.10"), parsed("1.9")), 1);
    EXPECT_EQ(compare(parsed("1.9"), parsed("1.10")), -1);
    EXPECT_EQ(compare(parsed("1.6"), parsed("1.6.0.0")), 0);
    JavaVersion max16 = parsed("1.6", 65535);
    EXPECT_EQ(compare(max16, parsed("1.6.0_20")), 1);
    EXPECT_EQ(compare(max16, parsed("1.7")), -1);
}

TEST(JavaVersion, Unbounded) {
    EXPECT_TRUE(isUnbounded(JavaVersion()));
    EXPECT_TRUE(isUnbounded(parsed("65535.65535.65535.65535")));
    EXPECT_FALSE(isUnbounded(parsed("1.6", 65535)));
    EXPECT_FALSE(isUnbounded(parsed("0.0.0.1")));
}

TEST(JavaVersion, PreferredVersionPatterns) {
    JavaVersion p16 = parsed("1.6");
    EXPECT_TRUE(matches(parsed("1.6"), p16));
    EXPECT_TRUE(matches(parsed("1.6.0_20"), p16));
    EXPECT_TRUE(matches(parsed("1.6.1"), p16));
    EXPECT_FALSE(matches(parsed("1.7"), p16));
    JavaVersion p160 = parsed("1.6.0");
    EXPECT_TRUE(matches(parsed("1.6.0_20"), p160));
    EXPECT_TRUE(matches(parsed("1.6"), p160));  // equal in all four parts
    EXPECT_FALSE(matches(parsed("1.6.1"), p160));
    EXPECT_FALSE(matches(parsed("1.6.0"), parsed("1.6.0.5")));  // pattern longer
    JavaVersion failed;
    EXPECT_FALSE(matches(parsed("1.6"), failed));
    EXPECT_TRUE(matches(JavaVersion(), failed));
}

TEST(JavaVersion, ToText) {
    EXPECT_EQ(toText(parsed("1.6", 65535)), "1.6");
    EXPECT_EQ(toText(parsed("1.0.0.0")), "1.0");
    EXPECT_EQ(toText(parsed("1.5.0.12")), "1.5.0.12");
    EXPECT_EQ(toText(parsed("65535.65535.65535.65535")), "0.0.0.0");
    EXPECT_EQ(toText(JavaVersion()), "0.0.0.0");
    EXPECT_EQ(toText(parsed("0.0.7")), "0.0.7");
}

TEST(JavaVersion, RequiredVersionText) {
    JavaVersion none;
    EXPECT_EQ(requiredVersionText(none, parsed("65535.65535.65535.65535")), "latest version");
    EXPECT_EQ(requiredVersionText(parsed("0"), parsed("any", 65535, false)), "latest version");
    EXPECT_EQ(requiredVersionText(none, parsed("1.6", 65535)), "maximum version 1.6");
    EXPECT_EQ(requiredVersionText(parsed("1.5"), none), "minimum version 1.5");
    EXPECT_EQ(requiredVersionText(parsed("1.5.0.0"), parsed("1.5.0.0", 65535)),
              "version 1.5 is required");
    // Both written as 1.5: 1.5.0.0 against 1.5.65535.65535 are not equal.
    EXPECT_EQ(requiredVersionText(parsed("1.5"), parsed("1.5", 65535)),
              "version between 1.5 and 1.5");
    EXPECT_EQ(requiredVersionText(parsed("1.4.2"), parsed("1.6", 65535)),
              "version between 1.4.2 and 1.6");
}

TEST(JavaVersion, JreNotFoundMessage) {
    DiscoverySettings settings;
    settings.jvmType = JvmType::Server;
    EXPECT_EQ(jreNotFoundMessage(settings),
              "The Java Runtime Environment (JRE) was not found. Please  download and install a "
              "JRE with a server JVM (latest version) from:");
    settings.jvmType = JvmType::FavorServer;
    JavaVersion::parse("1.6", 0, settings.minVersion);
    EXPECT_EQ(jreNotFoundMessage(settings),
              "The Java Runtime Environment (JRE) was not found. Please  download and install a "
              "JRE (minimum version 1.6) from:");
}

}  // namespace
