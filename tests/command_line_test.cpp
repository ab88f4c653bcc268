#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "controller/shell/command_line.h"

namespace osa {
namespace {

struct Case {
    const char* name;
    std::vector<std::string> args; // after the program's own path
    std::uint32_t demoMode;
    StartupOptions expected;
};

StartupOptions With(void (*edit)(StartupOptions&)) {
    StartupOptions o;
    edit(o);
    return o;
}

bool SameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

void ExpectSame(const StartupOptions& got, const StartupOptions& want) {
    EXPECT_EQ(got.ownerGiven, want.ownerGiven);
    EXPECT_EQ(got.ownerWindow, want.ownerWindow);
    EXPECT_EQ(got.cutMode, want.cutMode);
    EXPECT_EQ(got.noTrim, want.noTrim);
    EXPECT_EQ(got.orientationGiven, want.orientationGiven);
    EXPECT_EQ(got.orientation, want.orientation);
    EXPECT_EQ(got.markDistanceGiven, want.markDistanceGiven);
    EXPECT_PRED2(SameDouble, got.markDistanceX, want.markDistanceX);
    EXPECT_PRED2(SameDouble, got.markDistanceY, want.markDistanceY);
    EXPECT_EQ(got.markSizeGiven, want.markSizeGiven);
    EXPECT_PRED2(SameDouble, got.markSize, want.markSize);
    EXPECT_EQ(got.pendingError, 0u);
    EXPECT_EQ(got.markDistanceXUm, 0);
    EXPECT_EQ(got.markDistanceYUm, 0);
}

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"no options", {}, 0, StartupOptions{}},
        {"demo firmware 2", {"-DEMO"}, 2, StartupOptions{}},
        {"demo lower case", {"-demo_v1"}, 1, StartupOptions{}},
        {"demo with slash", {"/Demo"}, 2, StartupOptions{}},
        {"demo compared whole", {"-DEMOX", "-DEMO_V1X", "DEMO"}, 0, StartupOptions{}},
        {"later demo wins", {"-DEMO", "-DEMO_V1"}, 1, StartupOptions{}},
        {"owner with number", {"-OWNER1234"}, 0, With([](StartupOptions& o) {
             o.ownerGiven = 1;
             o.ownerWindow = 1234;
         })},
        {"owner without number", {"-OWNER"}, 0, With([](StartupOptions& o) { o.ownerGiven = 1; })},
        {"owner with blank before number", {"/owner 77"}, 0, With([](StartupOptions& o) {
             o.ownerGiven = 1;
             o.ownerWindow = 77;
         })},
        {"owner number wraps at 32 bits", {"-OWNER4294967297"}, 0, With([](StartupOptions& o) {
             o.ownerGiven = 1;
             o.ownerWindow = 1;
         })},
        {"owner garbage keeps the earlier value",
         {"-OWNER5", "-OWNERX"},
         0,
         With([](StartupOptions& o) {
             o.ownerGiven = 1;
             o.ownerWindow = 5;
         })},
        {"cut mode and no marks", {"/cutmode", "-NoTrm"}, 0, With([](StartupOptions& o) {
             o.cutMode = 1;
             o.noTrim = 1;
         })},
        {"cut mode compared whole", {"-CUTMODEX", "-NOTRM2"}, 0, StartupOptions{}},
        {"orientation", {"-FN1"}, 0, With([](StartupOptions& o) {
             o.orientationGiven = 1;
             o.orientation = 1;
         })},
        {"orientation alone", {"-FN"}, 0, With([](StartupOptions& o) { o.orientationGiven = 1; })},
        {"orientation not a number", {"-FNX"}, 0, With([](StartupOptions& o) {
             o.orientationGiven = 1;
         })},
        {"orientation negative", {"/fn-3"}, 0, With([](StartupOptions& o) {
             o.orientationGiven = 1;
             o.orientation = -3;
         })},
        {"mark distances", {"-TB23,120.5,80"}, 0, With([](StartupOptions& o) {
             o.markDistanceGiven = 1;
             o.markDistanceX = 120.5;
             o.markDistanceY = 80.0;
         })},
        {"mark distance x only", {"-TB23,10"}, 0, With([](StartupOptions& o) {
             o.markDistanceGiven = 1;
             o.markDistanceX = 10.0;
         })},
        {"mark distances without comma", {"-TB23"}, 0, With([](StartupOptions& o) {
             o.markDistanceGiven = 1;
         })},
        {"mark distance x not a number", {"-TB23,A,5"}, 0, With([](StartupOptions& o) {
             o.markDistanceGiven = 1;
         })},
        {"mark distances with exponent and sign", {"-tb23,1e2,+.5"}, 0, With([](StartupOptions& o) {
             o.markDistanceGiven = 1;
             o.markDistanceX = 100.0;
             o.markDistanceY = 0.5;
         })},
        {"mark distance overflows to infinity", {"-TB23,1E999,2"}, 0, With([](StartupOptions& o) {
             o.markDistanceGiven = 1;
             o.markDistanceX = HUGE_VAL;
             o.markDistanceY = 2.0;
         })},
        {"mark size", {"-TB51,10.5"}, 0, With([](StartupOptions& o) {
             o.markSizeGiven = 1;
             o.markSize = 10.5;
         })},
        {"mark size with trailing text", {"/TB51,7MM"}, 0, With([](StartupOptions& o) {
             o.markSizeGiven = 1;
             o.markSize = 7.0;
         })},
        {"unknown arguments ignored", {"hello", "-X", "", "--DEMO"}, 0, StartupOptions{}},
        {"a whole job",
         {"-CUTMODE", "-OWNER66", "-FN0", "-TB23,150,100", "-TB51,8"},
         0,
         With([](StartupOptions& o) {
             o.cutMode = 1;
             o.ownerGiven = 1;
             o.ownerWindow = 66;
             o.orientationGiven = 1;
             o.orientation = 0;
             o.markDistanceGiven = 1;
             o.markDistanceX = 150;
             o.markDistanceY = 100;
             o.markSizeGiven = 1;
             o.markSize = 8;
         })},
    };
    return cases;
}

TEST(CommandLine, TableOfArgumentVectors) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        std::vector<std::string_view> args{"C:\\Program Files\\OSACTL.EXE"};
        for (const std::string& a : c.args)
            args.emplace_back(a);
        std::uint32_t demo = 99;
        StartupOptions options;
        options.pendingError = 251; // stale values from an earlier run never survive
        options.markDistanceXUm = 7;
        ParseCommandLine(args, demo, options);
        EXPECT_EQ(demo, c.demoMode);
        ExpectSame(options, c.expected);
    }
}

TEST(CommandLine, OnlyTheFirst512CharactersCount) {
    // 512 characters that are an option followed by padding still match
    // nothing; the cut happens before the comparison.
    std::string demo = "-DEMO" + std::string(595, ' ');
    std::string size = "-TB51," + std::string(505, '0') + "1" + "5"; // the 5 is char 513
    std::vector<std::string_view> args{"osactl", demo, size};
    std::uint32_t mode = 0;
    StartupOptions options;
    ParseCommandLine(args, mode, options);
    EXPECT_EQ(mode, 0u);
    EXPECT_EQ(options.markSizeGiven, 1u);
    EXPECT_EQ(options.markSize, 1.0);
}

TEST(CommandLine, ProgramPathIsExaminedLikeAnyArgument) {
    std::vector<std::string_view> args{"-cutmode"};
    std::uint32_t mode = 0;
    StartupOptions options;
    ParseCommandLine(args, mode, options);
    EXPECT_EQ(options.cutMode, 1u);
}

TEST(CommandLine, NonAsciiBytesAreNotUpperCased) {
    // Only a-z change; a UTF-8 or code-page letter stays as it is.
    std::vector<std::string_view> args{"osactl", "-d\xC3\xA9mo", "-\xE3\x83\x87MO"};
    std::uint32_t mode = 0;
    StartupOptions options;
    ParseCommandLine(args, mode, options);
    EXPECT_EQ(mode, 0u);
}

} // namespace
} // namespace osa
