// The Japanese guide and the manual page against the program they describe:
// every message the program can show, every option of --help.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "report/messages.h"

namespace {

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The whole text converted, or nothing when some byte sequence does not convert.
std::optional<std::string> convert(std::string_view text, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    for (std::size_t at = 0;;) {
        const std::size_t next = text.find(from, at);
        out.append(text.substr(at, next - at));
        if (next == std::string_view::npos) return out;
        out.append(to);
        at = next + from.size();
    }
}

// Every message the program has, in cp932: the messages are numbered from 0
// and an unknown number has no text.
std::vector<std::string_view> allMessages() {
    std::vector<std::string_view> texts;
    for (int i = 0; i < 256; ++i) {
        const std::string_view text = vantor::messageText(static_cast<vantor::Message>(i));
        if (text.empty()) break;
        texts.push_back(text);
    }
    return texts;
}

std::string runCli(const std::string& arguments) {
    const std::string command = std::string(VANTOR_CLI) + " " + arguments;
    std::FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    if (!pipe) return {};
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

// The number that `vantor-report --version` prints ("vantor-report 1.2.3.4").
std::string versionNumber() {
    const std::string version = runCli("--version");
    const std::string prefix = "vantor-report ";
    EXPECT_EQ(version.rfind(prefix, 0), 0u) << version;
    EXPECT_EQ(version.back(), '\n');
    return version.substr(prefix.size(), version.size() - prefix.size() - 1);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// The words that start with "-" or "--" at the start of the text or after a
// space, ",", "|" or "[".
std::set<std::string> optionsIn(const std::string& text) {
    const auto isWordChar = [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'; };
    std::set<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '-' || (i > 0 && std::string_view(" ,|[").find(text[i - 1]) == std::string_view::npos)) continue;
        std::size_t end = i + 1;
        if (end < text.size() && text[end] == '-') ++end;
        if (end == text.size() || text[end] == '-' || !isWordChar(text[end])) continue;
        while (end < text.size() && isWordChar(text[end])) ++end;
        found.insert(text.substr(i, end - i));
        i = end;
    }
    return found;
}

// Options of --help: the lines that begin with "  -", up to the description.
std::set<std::string> helpOptions(const std::string& help) {
    std::set<std::string> found;
    for (const std::string& line : lines(help)) {
        if (line.rfind("  -", 0) != 0) continue;
        const std::size_t end = line.find("  ", 2);
        const std::set<std::string> options = optionsIn(line.substr(2, end == std::string::npos ? end : end - 2));
        found.insert(options.begin(), options.end());
    }
    return found;
}

// The lines of one section of a manual page (after ".SH NAME", up to the next ".SH").
std::vector<std::string> manSection(const std::string& page, const std::string& name) {
    std::vector<std::string> section;
    bool inside = false;
    for (const std::string& line : lines(page)) {
        if (line.rfind(".SH ", 0) == 0) {
            inside = line.substr(4) == name || line.substr(4) == "\"" + name + "\"";
            continue;
        }
        if (inside) section.push_back(line);
    }
    return section;
}

// Options of the manual page: the tags of the OPTIONS section's .TP entries.
std::set<std::string> manOptions(const std::string& page) {
    std::set<std::string> found;
    const std::vector<std::string> section = manSection(page, "OPTIONS");
    for (std::size_t i = 0; i + 1 < section.size(); ++i) {
        if (section[i] != ".TP") continue;
        std::string tag = replaceAll(section[i + 1], "\\-", "-");
        if (tag.rfind(".B ", 0) == 0 || tag.rfind(".BR ", 0) == 0) tag = tag.substr(tag.find(' ') + 1);
        const std::set<std::string> options = optionsIn(tag);
        found.insert(options.begin(), options.end());
    }
    return found;
}

class GuideTest : public ::testing::Test {
protected:
    const std::string guide = readFile(VANTOR_GUIDE);
};

TEST_F(GuideTest, IsItsSourceInCp932WithCrLf) {
    ASSERT_FALSE(guide.empty());
    for (std::size_t i = 0; i < guide.size(); ++i) {
        if (guide[i] == '\n') {
            ASSERT_TRUE(i > 0 && guide[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (guide[i] == '\r') {
            ASSERT_TRUE(i + 1 < guide.size() && guide[i + 1] == '\n') << "bare CR at byte " << i;
        }
    }
    EXPECT_EQ(guide.substr(guide.size() - 2), "\r\n");

    const std::optional<std::string> decoded = convert(guide, "CP932", "UTF-8");
    ASSERT_TRUE(decoded) << "the guide does not decode as cp932";
    const std::string number = versionNumber();
    const std::string source = replaceAll(readFile(VANTOR_GUIDE_SOURCE), "@VANTOR_VERSION@", number);
    EXPECT_EQ(replaceAll(*decoded, "\r\n", "\n"), source);
    EXPECT_NE(decoded->find("Vantor " + number), std::string::npos) << "the title names the version";
}

TEST_F(GuideTest, ExplainsEveryMessageUnderItsExactText) {
    const std::vector<std::string_view> messages = allMessages();
    ASSERT_FALSE(messages.empty());
    for (const std::string_view message : messages) {
        // Each message heads its own paragraph, in 「」, as its bytes.
        const std::string heading = "\r\n「" + std::string(message) + "」\r\n  ";
        EXPECT_NE(guide.find(heading), std::string::npos)
            << "not in the guide: " << convert(message, "CP932", "UTF-8").value_or("(not cp932)");
    }
}

TEST_F(GuideTest, NamesTheFilesOfTheArchive) {
    for (const char* file : {"vantor.exe", "vantor-report.exe", "LICENSE.txt", "SHA256SUMS.txt", "お読みください.txt"})
        EXPECT_NE(guide.find(std::string("  ") + file + " "), std::string::npos) << file;
}

class ManPageTest : public ::testing::Test {
protected:
    const std::string page = readFile(VANTOR_MAN_PAGE);
};

TEST_F(ManPageTest, DescribesTheOptionsOfHelpAndNoOthers) {
    const std::set<std::string> help = helpOptions(runCli("--help"));
    ASSERT_GE(help.size(), 2u) << "no options found in --help";
    EXPECT_EQ(manOptions(page), help);

    // The synopsis offers them too.
    std::string synopsis;
    for (const std::string& line : manSection(page, "SYNOPSIS")) synopsis += replaceAll(line, "\\-", "-") + "\n";
    for (const std::string& option : help) EXPECT_NE(synopsis.find(option), std::string::npos) << option;
}

TEST_F(ManPageTest, ListsEveryMessageInUtf8) {
    std::string messages;
    for (const std::string& line : manSection(page, "MESSAGES")) messages += line + "\n";
    for (const std::string_view message : allMessages()) {
        const std::optional<std::string> utf8 = convert(message, "CP932", "UTF-8");
        ASSERT_TRUE(utf8);
        EXPECT_NE(messages.find(".TP\n.B " + *utf8 + "\n"), std::string::npos) << *utf8;
    }
}

TEST_F(ManPageTest, CarriesTheProgramsVersion) {
    const std::string number = versionNumber();
    const std::string th = lines(page).at(1);
    EXPECT_EQ(th.rfind(".TH VANTOR-REPORT 1 ", 0), 0u) << th;
    EXPECT_NE(th.find("\"Vantor " + number + "\""), std::string::npos) << th;
    EXPECT_EQ(page.find('@'), std::string::npos) << "an unfilled placeholder";
}

TEST_F(ManPageTest, SectionsAUserLooksFor) {
    for (const char* name : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "MESSAGES", "EXAMPLES"})
        EXPECT_FALSE(manSection(page, name).empty()) << name;
}

// The detailed line that --help, the manual page, the README and the guide
// show is the line the program writes for the real scenario it comes from.
TEST(DetailedReport, TheLineEveryDocumentShowsIsTheProgramsOwn) {
    const std::filesystem::path scenario = std::filesystem::path(VANTOR_CORPUS_DIR) / "aoc_Conquest_of_Rhodes.scx";
    if (!std::filesystem::exists(scenario)) GTEST_SKIP() << "no corpus";
    const std::u8string_view area = u8" 範囲:(";
    std::string shown;
    for (const std::string& line : lines(runCli("--help")))
        if (line.find(reinterpret_cast<const char*>(area.data()), 0, area.size()) != std::string::npos)
            shown = line.substr(2);  // indented by two under the option
    ASSERT_FALSE(shown.empty()) << "no detailed line in --help";
    const std::string wholeLine = '\n' + shown + '\n';
    EXPECT_NE(('\n' + runCli("--detail --stdout --utf8 " + scenario.string())).find(wholeLine), std::string::npos)
        << shown;
    for (const std::string& document :
         {readFile(VANTOR_MAN_PAGE), readFile(VANTOR_README), readFile(VANTOR_GUIDE_SOURCE)})
        EXPECT_NE(document.find(wholeLine), std::string::npos);
}

}  // namespace
