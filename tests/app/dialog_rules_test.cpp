// The main dialog's decisions: folders and patterns, the registry text,
// keys, window-menu commands, the minimised icon and the program's name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dialog_rules.h"

namespace vantor::app {
namespace {

TEST(FolderRule, SeparatorIsAddedOnlyWhenTheLastByteIsNotABackslash) {
    EXPECT_EQ(withSeparator(""), "\\");
    EXPECT_EQ(withSeparator("C:\\Games"), "C:\\Games\\");
    EXPECT_EQ(withSeparator("C:\\Games\\"), "C:\\Games\\");
    EXPECT_EQ(withSeparator("C:"), "C:\\");
    // A forward slash is not the separator.
    EXPECT_EQ(withSeparator("C:/Games/"), "C:/Games/\\");
    // The test is on the last byte: "表" is 95 5C in cp932, so a folder ending
    // in it gets no separator, as the byte rule says.
    EXPECT_EQ(withSeparator("C:\\一覧表"), "C:\\一覧表");
    EXPECT_EQ(std::string("表"), "\x95\x5c");
    EXPECT_EQ(withSeparator("C:\\シナリオ"), "C:\\シナリオ\\");
}

TEST(FolderRule, FolderWithAndWithoutTrailingBackslashGiveTheSamePatternAndPath) {
    EXPECT_EQ(listPatternFor("C:\\Games"), "C:\\Games\\*.scx");
    EXPECT_EQ(listPatternFor("C:\\Games\\"), "C:\\Games\\*.scx");
    EXPECT_EQ(listPatternFor(""), "\\*.scx");  // the root of the current drive

    EXPECT_EQ(scenarioPathFor("C:\\Games", "x.scx"), "C:\\Games\\x.scx");
    EXPECT_EQ(scenarioPathFor("C:\\Games\\", "x.scx"), "C:\\Games\\x.scx");
    EXPECT_EQ(scenarioPathFor("", "x.scx"), "\\x.scx");
    EXPECT_EQ(scenarioPathFor("D:\\ゲーム\\シナリオ", "テスト.scx"), "D:\\ゲーム\\シナリオ\\テスト.scx");
}

TEST(RegistryText, TextEndsAtTheFirstNul) {
    std::vector<char> buffer(registryBufferSize, '\0');
    const std::string path = "C:\\Program Files\\Microsoft Games\\Age of Empires II";
    std::copy(path.begin(), path.end(), buffer.begin());
    EXPECT_EQ(registryText(buffer, true), path);

    buffer[2] = '\0';
    EXPECT_EQ(registryText(buffer, true), "C:");
    buffer[0] = '\0';
    EXPECT_EQ(registryText(buffer, true), "");
}

TEST(RegistryText, UnreadOrNonStringOrUnterminatedValuesAreEmpty) {
    std::vector<char> buffer(registryBufferSize, '\0');
    buffer[0] = 'C';
    EXPECT_EQ(registryText(buffer, false), "");  // no key, no value, or not a string

    std::vector<char> full(registryBufferSize, 'x');  // fills the buffer with no NUL
    EXPECT_EQ(registryText(full, true), "");
    full.back() = '\0';  // 1023 bytes and a NUL still fit
    EXPECT_EQ(registryText(full, true), std::string(registryBufferSize - 1, 'x'));
}

TEST(RegistryText, InitialFolderAppendsScenario) {
    EXPECT_EQ(initialFolderText("C:\\AoE2"), "C:\\AoE2\\Scenario\\");
    EXPECT_EQ(initialFolderText(""), "\\Scenario\\");
    EXPECT_EQ(initialFolderText("C:\\AoE2\\"), "C:\\AoE2\\\\Scenario\\");  // taken as stored
    EXPECT_STREQ(gameRegistryKey,
                 "SOFTWARE\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0");
    EXPECT_STREQ(gameFolderValue, "EXE Path");
}

TEST(Keys, OnlyEscapeKeyDownIsSwallowed) {
    constexpr unsigned keyDown = 0x0100, keyUp = 0x0101, character = 0x0102, sysKeyDown = 0x0104;
    EXPECT_TRUE(isSwallowedKey(keyDown, 0x1B));
    EXPECT_FALSE(isSwallowedKey(keyUp, 0x1B));
    EXPECT_FALSE(isSwallowedKey(character, 0x1B));
    EXPECT_FALSE(isSwallowedKey(sysKeyDown, 0x1B));
    EXPECT_FALSE(isSwallowedKey(keyDown, 0x0D));  // Enter reaches the dialog manager
    EXPECT_FALSE(isSwallowedKey(keyDown, 0x09));  // and Tab
    EXPECT_FALSE(isSwallowedKey(keyDown, 0x11B));
}

TEST(Keys, EnterRefreshesTheListOnlyFromTheFolderField) {
    EXPECT_TRUE(enterRefreshesList(folderFieldId));
    for (int id : {scenarioListId, reportButtonId, browseButtonId, 0, -1}) EXPECT_FALSE(enterRefreshesList(id)) << id;
}

TEST(WindowMenu, CommandsSixteenToThirtyOneOpenTheAboutBox) {
    for (std::uint32_t command = 0x0010; command <= 0x001F; ++command) EXPECT_TRUE(opensAboutBox(command)) << command;
    for (std::uint32_t command : {0x0000u, 0x000Fu, 0x0020u, 0x0110u, 0xF060u /* close */, 0xF020u /* minimise */,
                                  0xF120u /* restore */, 0xF010u /* move */})
        EXPECT_FALSE(opensAboutBox(command)) << command;
}

TEST(MinimisedIcon, IsCentredRoundingUpAndTruncatingTowardZero) {
    EXPECT_EQ(minimisedIconPosition(32, 32, 32, 32), (IconPosition{0, 0}));
    EXPECT_EQ(minimisedIconPosition(160, 100, 32, 32), (IconPosition{64, 34}));
    EXPECT_EQ(minimisedIconPosition(161, 101, 32, 32), (IconPosition{65, 35}));  // (129 + 1) / 2
    EXPECT_EQ(minimisedIconPosition(36, 30, 32, 32), (IconPosition{2, 0}));      // (-2 + 1) / 2 is 0, not -1
    EXPECT_EQ(minimisedIconPosition(0, 0, 32, 32), (IconPosition{-15, -15}));    // -31 / 2
    EXPECT_EQ(minimisedIconPosition(0, 0, 16, 16), (IconPosition{-7, -7}));
}

TEST(ApplicationName, IsTheFileNameWithoutFolderAndExtension) {
    EXPECT_EQ(applicationNameFrom(L"C:\\Program Files\\Vantor\\vantor.exe"), L"vantor");
    EXPECT_EQ(applicationNameFrom(L"Z:/build/app/Vantor.EXE"), L"Vantor");
    EXPECT_EQ(applicationNameFrom(L"C:\\tools.d\\vantor"), L"vantor");
    EXPECT_EQ(applicationNameFrom(L"C:\\x\\my.tool.exe"), L"my.tool");
    EXPECT_EQ(applicationNameFrom(L"\\\\server\\share\\ツール.exe"), L"ツール");
    EXPECT_EQ(applicationNameFrom(L"vantor.exe"), L"vantor");
}

}  // namespace
}  // namespace vantor::app
