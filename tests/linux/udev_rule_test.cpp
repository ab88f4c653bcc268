// The udev rule's pattern for the printer driver's identification agrees
// with the USB module's rule on which devices are the cutter, and
// cmake --install puts the rule where udev reads it.
#include <gtest/gtest.h>

#include <fnmatch.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "usb/device_id.h"

namespace osa {
namespace {

const char* const RuleFile = "70-ostrandel-cutter.rules";

std::string RuleText() {
    std::ifstream in(std::string(OSA_SOURCE_DIR) + "/packaging/linux/" + RuleFile);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of the first `key=="..."` in the rules.
std::string Pattern(const std::string& rules, const std::string& key) {
    std::size_t at = rules.find(key + "==\"");
    if (at == std::string::npos) return {};
    at += key.size() + 3;
    return rules.substr(at, rules.find('"', at) - at);
}

// udev's glob: fnmatch over each "|" alternative.
bool UdevMatches(const std::string& pattern, const std::string& value) {
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = pattern.find('|', start);
        std::string one = pattern.substr(start, bar - start);
        if (fnmatch(one.c_str(), value.c_str(), 0) == 0) return true;
        if (bar == std::string::npos) return false;
        start = bar + 1;
    }
}

TEST(UdevRule, TheDriverPatternAgreesWithTheModule) {
    const std::string pattern = Pattern(RuleText(), "ATTRS{ieee1284_id}");
    ASSERT_FALSE(pattern.empty());
    for (const char* id : {
             "MFG:Ostrandel;MANUFACTURER:Ostrandel Inc.;MODEL:Marlo TRAX;",
             "MANUFACTURER:OSTRANDEL INC.;CMD:X;",
             "MANUFACTURER:ostrandel inc.;",
             "MANUFACTURER:Ostrandel Inc.",          // no closing ";"
             "MANUFACTURER:Ostrandel Inc. Ltd;",     // another maker
             "MFG:Ostrandel Inc.;MODEL:Marlo TRAX;", // the short key only
             "manufacturer:Ostrandel Inc.;",         // the key in other letters
             "MANUFACTURER:Hemmerik;MODEL:Laser 9;",
         }) {
        SCOPED_TRACE(id);
        EXPECT_EQ(UdevMatches(pattern, id), usb::IsCutterDeviceId(id, std::strlen(id)));
    }
}

TEST(UdevRule, TheUsbfsPatternTakesBidirectionalPrinterInterfacesOnly) {
    const std::string pattern = Pattern(RuleText(), "ENV{ID_USB_INTERFACES}");
    ASSERT_FALSE(pattern.empty());
    struct Row {
        const char* interfaces;
        bool matches;
    } rows[] = {
        {":070102:", true},  {":030101:070103:", true}, {":070101:", false},
        {":080650:", false}, {":ff0000:070102:", true}, {":0701020:", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(UdevMatches(pattern, row.interfaces), row.matches) << row.interfaces;
}

TEST(UdevRule, CmakeInstallPutsItWhereUdevReadsIt) {
    const std::filesystem::path prefix =
        std::filesystem::temp_directory_path() / ("osa-install-" + std::to_string(::getpid()));
    const std::string command = std::string("cmake --install '") + OSA_BUILD_DIR + "' --prefix '" +
                                prefix.string() + "' --component udev >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::filesystem::path installed = prefix / "lib/udev/rules.d" / RuleFile;
    EXPECT_TRUE(std::filesystem::exists(installed));
    std::ifstream in(installed);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), RuleText());
    std::filesystem::remove_all(prefix);
}

} // namespace
} // namespace osa
