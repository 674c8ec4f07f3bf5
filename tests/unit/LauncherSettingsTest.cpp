#include "settings/LauncherSettings.h"

#include <gtest/gtest.h>

namespace {

std::string kinds(const std::string& source) {
    LauncherSettings s;
    applyJvmSource(source, s);
    return std::string(s.bothKindsAllowed ? "B" : "-") + (s.jrePreferred ? "R" : "-") +
           (s.jdkPreferred ? "D" : "-");
}

// allowed jrockit/sun/ibm, then preferred jrockit/sun/ibm
std::string vendors(const std::string& provider) {
    LauncherSettings s;
    applyVmProvider(provider, s);
    return std::string() + (s.jrockitAllowed ? "J" : "-") + (s.sunAllowed ? "S" : "-") +
           (s.ibmAllowed ? "I" : "-") + " " + (s.jrockitPreferred ? "J" : "-") +
           (s.sunPreferred ? "S" : "-") + (s.ibmPreferred ? "I" : "-");
}

TEST(LauncherSettings, JvmSourceTable) {
    EXPECT_EQ(kinds(""), "BRD");
    EXPECT_EQ(kinds("favor_JRE"), "BR-");
    EXPECT_EQ(kinds("favor_JDK"), "B-D");
    EXPECT_EQ(kinds("only_JRE"), "-R-");
    EXPECT_EQ(kinds("only_JDK"), "--D");
    // Exact comparison: anything else switches the registry search off.
    EXPECT_EQ(kinds("favor_jre"), "---");
    EXPECT_EQ(kinds("ONLY_JDK"), "---");
    EXPECT_EQ(kinds(" favor_JRE"), "---");
}

TEST(LauncherSettings, VmProviderTable) {
    EXPECT_EQ(vendors(""), "-S- -S-");
    EXPECT_EQ(vendors("jrockit"), "J-- J--");
    EXPECT_EQ(vendors("ibm"), "--I --I");
    EXPECT_EQ(vendors("favor_sun"), "JSI -S-");
    EXPECT_EQ(vendors("favor_jrockit"), "JSI J--");
    EXPECT_EQ(vendors("favor_ibm"), "JSI --I");
    EXPECT_EQ(vendors("any"), "JSI ---");
    // Any case is accepted; unknown values keep the default.
    EXPECT_EQ(vendors("FAVOR_IBM"), "JSI --I");
    EXPECT_EQ(vendors("Any"), "JSI ---");
    EXPECT_EQ(vendors("sun"), "-S- -S-");
}

TEST(LauncherSettings, JvmType) {
    EXPECT_EQ(jvmTypeFrom("server"), JvmType::Server);
    EXPECT_EQ(jvmTypeFrom("favor_server"), JvmType::FavorServer);
    EXPECT_EQ(jvmTypeFrom("Server"), JvmType::Default);
    EXPECT_EQ(jvmTypeFrom(" server"), JvmType::Default);  // as a plus section gives it
    EXPECT_EQ(jvmTypeFrom(""), JvmType::Default);
}

}  // namespace
