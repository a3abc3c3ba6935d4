// The main dialog's decisions that need no window: folders and patterns, the
// registry text, the minimised icon and the program's name.
#include <gtest/gtest.h>

#include <string>

#include "app/dialog_rules.h"

namespace vantor::app {
namespace {

using namespace std::string_literals;

TEST(FolderRule, SeparatorIsAddedUnlessTheLastByteIsABackslash) {
    ASSERT_EQ("表"s, "\x95\x5c");  // a trail byte 0x5C counts as the separator
    const struct {
        std::string folder, joined;
    } cases[] = {{"", "\\"},
                 {"C:", "C:\\"},
                 {"C:\\Games", "C:\\Games\\"},
                 {"C:\\Games\\", "C:\\Games\\"},
                 {"C:/Games/", "C:/Games/\\"},
                 {"C:\\一覧表", "C:\\一覧表"},
                 {"D:\\シナリオ", "D:\\シナリオ\\"}};
    for (const auto& c : cases) {
        EXPECT_EQ(withSeparator(c.folder), c.joined) << c.folder;
        EXPECT_EQ(listPatternFor(c.folder), c.joined + "*.scx") << c.folder;
        EXPECT_EQ(scenarioPathFor(c.folder, "テスト.scx"), c.joined + "テスト.scx") << c.folder;
    }
}

TEST(RegistryText, IsTheStringValueUpToItsFirstNul) {
    const struct {
        std::string buffer;
        bool readAsString;
        std::string text;
    } cases[] = {{"C:\\AoE2\0junk"s, true, "C:\\AoE2"},
                 {"\0C:"s, true, ""},
                 {"C:\\AoE2\0"s, false, ""},  // no key, no value, or not a string
                 {"xxxx"s, true, ""},         // fills the buffer without a NUL
                 {"xxx\0"s, true, "xxx"}};
    for (const auto& c : cases) EXPECT_EQ(registryText(c.buffer, c.readAsString), c.text) << c.buffer;
    EXPECT_EQ(initialFolderText("C:\\AoE2"), "C:\\AoE2\\Scenario\\");
    EXPECT_EQ(initialFolderText("C:\\AoE2\\"), "C:\\AoE2\\\\Scenario\\");  // taken as stored
}

TEST(MinimisedIcon, IsCentredRoundingUpAndTruncatingTowardZero) {
    const struct {
        int width, height, icon;
        IconPosition at;
    } cases[] = {{32, 32, 32, {0, 0}},     {160, 100, 32, {64, 34}},
                 {161, 101, 32, {65, 35}}, {36, 30, 32, {2, 0}},  // (-2 + 1) / 2 is 0, not -1
                 {0, 0, 32, {-15, -15}},   {0, 0, 16, {-7, -7}}};
    for (const auto& c : cases)
        EXPECT_EQ(minimisedIconPosition(c.width, c.height, c.icon, c.icon), c.at) << c.width << "x" << c.height;
}

TEST(ApplicationName, IsTheFileNameWithoutFolderAndExtension) {
    const struct {
        const wchar_t *path, *name;
    } cases[] = {{L"C:\\Program Files\\Vantor\\vantor.exe", L"vantor"},
                 {L"Z:/build/app/Vantor.EXE", L"Vantor"},
                 {L"C:\\tools.d\\vantor", L"vantor"},
                 {L"C:\\x\\my.tool.exe", L"my.tool"},
                 {L"\\\\server\\share\\ツール.exe", L"ツール"},
                 {L"vantor.exe", L"vantor"}};
    for (const auto& c : cases) EXPECT_EQ(applicationNameFrom(c.path), c.name);
}

}  // namespace
}  // namespace vantor::app
