// The main dialog's decisions that need no window: folders and the kinds of
// file listed, where it starts, the settings kept, Esc, the minimised icon
// and the program's name.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/dialog_rules.h"

namespace vantor::app {
namespace {

using namespace std::string_literals;

TEST(FolderRule, SeparatorIsAddedUnlessTheLastCharacterIsABackslash) {
    // 表 ends in the byte 0x5C in cp932, ぜ (U+305C) in UTF-16: characters like any other.
    const std::pair<std::wstring, std::wstring> cases[] = {{L"", L"\\"},
                                                           {L"C:\\Games", L"C:\\Games\\"},
                                                           {L"C:\\Games\\", L"C:\\Games\\"},
                                                           {L"C:/Games/", L"C:/Games/\\"},
                                                           {L"C:\\対戦表", L"C:\\対戦表\\"},
                                                           {L"C:\\対戦表\\", L"C:\\対戦表\\"},
                                                           {L"C:\\なぜ", L"C:\\なぜ\\"},
                                                           {L"D:\\한국어", L"D:\\한국어\\"}};
    for (const auto& [folder, joined] : cases) {
        EXPECT_EQ(withSeparator(folder), joined);
        EXPECT_EQ(listPatternFor(folder), joined + L"*");
        EXPECT_EQ(scenarioPathFor(folder, L"表.scx"), joined + L"表.scx");
    }
}

TEST(FileKinds, AListShowsTheFilesOfItsExtensionsInAnyCase) {
    // Which of the six kinds (in the choice's order) list the name.
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"a.scx", "x....x"},          {L"UPPER.SCX", "x....x"},      {L".scx", "x....x"},      {L"a.scx2", "..x..x"},
        {L"b.aoe2scenario", ".x...x"}, {L"b.AOE2Scenario", ".x...x"}, {L"aok.scn", "...x.x"},   {L"c.cpn", "....xx"},
        {L"c.Cpx", "....xx"},          {L"c.aoe2campaign", "....xx"}, {L"a.scx.txt", "......"}, {L"scx", "......"},
        {L"a.scxx", "......"},         {L"a_scx", "......"}};
    for (const auto& [name, listed] : cases)
        for (int kind = 0; kind < fileKindsCount; ++kind)
            EXPECT_EQ(listsFile(name, static_cast<FileKinds>(kind)), listed[kind] == 'x') << kind;
}

TEST(StartFolder, RegistryTextIsTheStringValueUpToItsFirstNul) {
    // Read as a string or not (no key, no value, another type); the last two
    // fill the buffer, the first of them without a NUL.
    const std::tuple<std::wstring, bool, std::wstring> cases[] = {{L"C:\\AoE2\0junk"s, true, L"C:\\AoE2"},
                                                                  {L"\0C:"s, true, L""},
                                                                  {L"C:\\AoE2\0"s, false, L""},
                                                                  {L"xxxx"s, true, L""},
                                                                  {L"xxx\0"s, true, L"xxx"}};
    for (const auto& [buffer, readAsString, text] : cases) EXPECT_EQ(registryText(buffer, readAsString), text);
    EXPECT_EQ(conquerorsScenarioFolder(L"C:\\AoE2"), L"C:\\AoE2\\Scenario\\");
    EXPECT_EQ(conquerorsScenarioFolder(L"C:\\AoE2\\"), L"C:\\AoE2\\\\Scenario\\");  // taken as stored
    EXPECT_EQ(conquerorsScenarioFolder(L""), L"");
    EXPECT_EQ(hdScenarioFolder(L"D:\\Steam\\Age2HD"), L"D:\\Steam\\Age2HD\\resources\\_common\\scenario\\");
    EXPECT_EQ(hdScenarioFolder(L"D:\\Age2HD\\"), L"D:\\Age2HD\\resources\\_common\\scenario\\");
    EXPECT_EQ(definitiveScenarioFolder(L"C:\\u\\DE", L"0"), L"C:\\u\\DE\\0\\resources\\_common\\scenario\\");
}

TEST(StartFolder, IsTheDefinitiveEditionsNumberedProfileChangedLast) {
    const std::pair<std::vector<Profile>, std::optional<std::size_t>> cases[] = {
        {{}, std::nullopt},
        {{{L"mods", 9}, {L"12a", 9}, {L"", 9}}, std::nullopt},
        {{{L"0", 5}, {L"76561198000000001", 7}, {L"logs", 99}, {L"3", 6}}, 1},
        {{{L"20", 7}, {L"10", 7}, {L"30", 7}}, 1}};  // equals: the first by name
    for (const auto& [profiles, latest] : cases) EXPECT_EQ(latestProfile(profiles), latest);
}

TEST(StartFolder, IsTheFirstThereAndTheKindsKeptComeBackWithTheirFolder) {
    const DialogSettings kept{"", FileKinds::campaigns, true};
    const std::tuple<StartFolders, StartView> cases[] = {
        {{}, {L"", FileKinds::campaigns}},
        {{L"", L"C:\\AoC\\Scenario\\", L"C:\\DE\\", L"D:\\HD\\", L"E:\\kept"},
         {L"C:\\AoC\\Scenario\\", FileKinds::conquerors}},
        {{L"F:\\given", L"C:\\AoC\\Scenario\\", L"", L"", L""}, {L"F:\\given", FileKinds::conquerors}},
        {{L"", L"", L"C:\\DE\\", L"D:\\HD\\", L"E:\\kept"}, {L"C:\\DE\\", FileKinds::definitive}},
        {{L"", L"", L"", L"D:\\HD\\", L"E:\\kept"}, {L"D:\\HD\\", FileKinds::all}},
        {{L"", L"", L"", L"", L"E:\\kept"}, {L"E:\\kept", FileKinds::campaigns}},
        // The edition's folder is the one kept: spelled with a last "\" and another case.
        {{L"", L"c:\\aoc\\scenario", L"", L"", L"C:\\AoC\\Scenario\\"}, {L"c:\\aoc\\scenario", FileKinds::campaigns}},
        {{L"", L"C:\\表\\", L"", L"", L"C:\\表"}, {L"C:\\表\\", FileKinds::campaigns}},
        {{L"", L"C:\\Ab\\", L"", L"", L"C:\\Abc"}, {L"C:\\Ab\\", FileKinds::conquerors}}};
    for (const auto& [folders, view] : cases) EXPECT_EQ(startView(folders, kept), view) << folders.kept.size();
}

TEST(Settings, AreKeptAsLinesOfKeyAndValue) {
    const DialogSettings settings{"C:\\Users\\\xED\x95\x9C\\scenario", FileKinds::definitive, true};
    const std::string text = formatSettings(settings);
    EXPECT_EQ(text,
              "; Vantor's settings\r\nfolder=C:\\Users\\\xED\x95\x9C\\scenario\r\nkinds=aoe2scenario\r\n"
              "detail=1\r\n");
    EXPECT_EQ(parseSettings(text), settings);
    for (int kind = 0; kind < fileKindsCount; ++kind) {
        const DialogSettings each{"D:\\", static_cast<FileKinds>(kind), false};
        EXPECT_EQ(parseSettings(formatSettings(each)), each) << kind;
    }
    // Never set, or not understood: the defaults (the standard report).
    EXPECT_EQ(parseSettings(""), DialogSettings{});
    EXPECT_EQ(parseSettings("kinds=zip\ndetail=yes\nfolder=a=b\nnoise"),
              (DialogSettings{"a=b", FileKinds::conquerors, false}));
    EXPECT_EQ(parseSettings("detail=1\nkinds=all"), (DialogSettings{"", FileKinds::all, true}));
}

TEST(Keys, EscIsSwallowedUnlessTheChoiceIsOpen) {
    EXPECT_TRUE(swallowsKeyDown(0x1B, false));
    EXPECT_FALSE(swallowsKeyDown(0x1B, true));  // it closes the choice's list
    EXPECT_FALSE(swallowsKeyDown(0x0D, false));
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
