// The main dialog's decisions that need no window: folders and patterns, the
// registry text, the minimised icon and the program's name.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "app/dialog_rules.h"

namespace vantor::app {
namespace {

using namespace std::string_literals;

TEST(FolderRule, SeparatorIsAddedUnlessTheLastByteIsABackslash) {
    ASSERT_EQ("表"s, "\x95\x5c");  // a trail byte 0x5C counts as the separator
    const std::pair<std::string, std::string> cases[] = {{"", "\\"},
                                                         {"C:\\Games", "C:\\Games\\"},
                                                         {"C:\\Games\\", "C:\\Games\\"},
                                                         {"C:/Games/", "C:/Games/\\"},
                                                         {"C:\\一覧表", "C:\\一覧表"},
                                                         {"D:\\シナリオ", "D:\\シナリオ\\"}};
    for (const auto& [folder, joined] : cases) {
        EXPECT_EQ(withSeparator(folder), joined) << folder;
        EXPECT_EQ(listPatternFor(folder), joined + "*.scx") << folder;
        EXPECT_EQ(scenarioPathFor(folder, "テスト.scx"), joined + "テスト.scx") << folder;
    }
}

TEST(RegistryText, IsTheStringValueUpToItsFirstNul) {
    // Read as a string or not (no key, no value, another type); the last two
    // fill the buffer, the first of them without a NUL.
    const std::tuple<std::string, bool, std::string> cases[] = {{"C:\\AoE2\0junk"s, true, "C:\\AoE2"},
                                                                {"\0C:"s, true, ""},
                                                                {"C:\\AoE2\0"s, false, ""},
                                                                {"xxxx"s, true, ""},
                                                                {"xxx\0"s, true, "xxx"}};
    for (const auto& [buffer, readAsString, text] : cases)
        EXPECT_EQ(registryText(buffer, readAsString), text) << buffer;
    EXPECT_EQ(initialFolderText("C:\\AoE2"), "C:\\AoE2\\Scenario\\");
    EXPECT_EQ(initialFolderText("C:\\AoE2\\"), "C:\\AoE2\\\\Scenario\\");  // taken as stored
}

TEST(MinimisedIcon, IsCentredRoundingUpAndTruncatingTowardZero) {
    // (36 - 32 + 1) / 2 is 2 and (30 - 32 + 1) / 2 is 0, not -1.
    const std::tuple<int, int, int, IconPosition> cases[] = {{32, 32, 32, {0, 0}},     {160, 100, 32, {64, 34}},
                                                             {161, 101, 32, {65, 35}}, {36, 30, 32, {2, 0}},
                                                             {0, 0, 32, {-15, -15}},   {0, 0, 16, {-7, -7}}};
    for (const auto& [width, height, icon, at] : cases)
        EXPECT_EQ(minimisedIconPosition(width, height, icon, icon), at) << width << "x" << height;
}

TEST(ApplicationName, IsTheFileNameWithoutFolderAndExtension) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {{L"C:\\Program Files\\Vantor\\vantor.exe", L"vantor"},
                                                               {L"Z:/build/app/Vantor.EXE", L"Vantor"},
                                                               {L"C:\\tools.d\\vantor", L"vantor"},
                                                               {L"C:\\x\\my.tool.exe", L"my.tool"},
                                                               {L"\\\\server\\share\\ツール.exe", L"ツール"},
                                                               {L"vantor.exe", L"vantor"}};
    for (const auto& [path, name] : cases) EXPECT_EQ(applicationNameFrom(path), name);
}

}  // namespace
}  // namespace vantor::app
