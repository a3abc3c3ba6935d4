// From a scenario file to its body: the container's head, the inflate loop,
// and the temporary file that receives the body on its way.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "report/report_file.h"
#include "scenario/extract.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using testing::Bytes;
using testing::HeaderSpec;
using testing::TempDir;

// A body of `size` bytes that begins as every body does: a next object id,
// then its version.
Bytes pattern(std::size_t size) {
    Bytes b(size);
    std::uint32_t x = 12345;
    for (auto& byte : b) byte = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 16);
    const float version = 1.22f;
    if (size >= 8) std::memcpy(b.data() + 4, &version, 4);
    return b;
}

ExtractOutcome extract(const platform::Path& path, ScenarioBody& body, TemporaryFile* temporary) {
    ScenarioFile scenario(platform::systemFiles());
    return scenario.open(path) ? extractScenario(scenario, body, temporary) : ExtractOutcome::readFailed;
}

Bytes withHeaderLength(std::int32_t length, std::size_t fileSize) {
    Bytes b = {'1', '.', '2', '1'};
    testing::putS32(b, length);
    b.resize(fileSize, 0);
    return b;
}

TEST(Extract, BodiesComeOutWholeThroughTheTemporaryFileAndBrokenFilesDoNot) {
    const Bytes big = pattern(300000);
    const Bytes whole = testing::buildContainer(big);
    Bytes trailing = whole;
    trailing.insert(trailing.end(), 300, 0xEE);  // never read
    Bytes wrapped = withHeaderLength(0, 8);
    wrapped.insert(wrapped.end(), {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    Bytes otherVersion = pattern(300000);
    otherVersion[4] = 0;
    struct Case {
        std::string what;
        Bytes file;
        Bytes body;              // empty: decompressionFailed
        bool temporary = false;  // whether a chunk was kept in x.scx.dat
        ExtractOutcome outcome = ExtractOutcome::decompressionFailed;
    };
    std::vector<Case> cases = {
        {"bytes behind the stream", trailing, big, true, ExtractOutcome::bodyReady},
        {"no output", testing::buildContainer(Bytes{}), {}},
        {"no stream", withHeaderLength(0, 8), {}},
        {"zlib-wrapped stream", wrapped, {}},
        {"header up to the end", withHeaderLength(92, 100), {}},
        // Refused from its first bytes: nothing is kept, the rest never inflated.
        {"a body of no known version",
         testing::buildContainer(otherVersion),
         {},
         false,
         ExtractOutcome::unsupportedVersion},
    };
    for (std::size_t size : {std::size_t{1}, extractionChunkSize - 1, extractionChunkSize, extractionChunkSize + 1,
                             3 * extractionChunkSize + 17})
        cases.push_back({"body of " + std::to_string(size), testing::buildContainer(pattern(size)), pattern(size), true,
                         ExtractOutcome::bodyReady});
    // Cut short: a chunk is kept only when it was inflated whole.
    for (std::size_t keep : {std::size_t{23}, std::size_t{30}, std::size_t{100}, whole.size() / 2, whole.size() - 1})
        cases.push_back({"cut at " + std::to_string(keep),
                         Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep)),
                         {},
                         keep > whole.size() / 3});
    // Lengths that lead outside the file fail before any file is made.
    for (const Bytes& file :
         {Bytes{}, Bytes{1, 2, 3}, Bytes(7, 0), withHeaderLength(-1, 100), withHeaderLength(INT32_MIN, 100),
          withHeaderLength(93, 100), withHeaderLength(0x7FFFFFFF, 100)})
        cases.push_back({"head of " + std::to_string(file.size()), file, {}});

    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::writeFile(dir.file("x.scx"), c.file);
        ScenarioBody body;
        TemporaryFile temporary(platform::systemFiles(), dir.file("x.scx.dat"));
        EXPECT_EQ(extract(dir.file("x.scx"), body, &temporary), c.outcome);
        EXPECT_EQ(Bytes(body.bytes.get(), body.bytes.get() + body.size), c.body);
        EXPECT_EQ(std::filesystem::exists(dir.path() / "x.scx.dat"), c.temporary);
#ifndef _WIN32  // there it is open to its holder alone
        if (!c.body.empty()) {
            EXPECT_EQ(testing::readFile(dir.file("x.scx.dat")), c.body);
        }
#endif
        EXPECT_TRUE(temporary.remove());
        EXPECT_EQ(dir.names(), std::vector<std::string>{"x.scx"});
    }
#ifdef __linux__
    // What follows the deflate stream is never read: a sparse tail of 5 GiB
    // (the bytes this process read, before and after).
    const auto bytesRead = [] {
        const std::string io = testing::readText("/proc/self/io");
        return std::stoll(io.substr(io.find("rchar:") + 6));
    };
    testing::writeFile(dir.file("x.scx"), whole);
    if (::truncate(dir.file("x.scx").c_str(), 5LL << 30) == 0) {
        const long long before = bytesRead();
        ScenarioBody body;
        EXPECT_EQ(extract(dir.file("x.scx"), body, nullptr), ExtractOutcome::bodyReady);
        EXPECT_LT(bytesRead() - before, 4 << 20) << "the tail was read";
    }
    // Nor is a header read that stores 0 as its length: its texts are stepped
    // over where they stand (a sparse description of 3 GiB).
    Bytes head = {'1', '.', '2', '1'};
    for (std::int32_t field : {0, 2, 0, static_cast<std::int32_t>(0xC0000000u)}) testing::putS32(head, field);
    testing::writeFile(dir.file("x.scx"), head);
    if (::truncate(dir.file("x.scx").c_str(), static_cast<off_t>(head.size()) + 0xC0000000LL) == 0) {
        Bytes rest = {1, 0, 0, 0, 2, 0, 0, 0};  // single-player victory, players
        const Bytes stream = testing::rawDeflate(big);
        rest.insert(rest.end(), stream.begin(), stream.end());
        std::ofstream(dir.file("x.scx"), std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(rest.data()), static_cast<std::streamsize>(rest.size()));
        const long long before = bytesRead();
        ScenarioBody body;
        EXPECT_EQ(extract(dir.file("x.scx"), body, nullptr), ExtractOutcome::bodyReady);
        EXPECT_EQ(body.size, big.size());
        EXPECT_LT(bytesRead() - before, 4 << 20) << "the header was read";
    }
#endif
    {  // The temporary file goes with its holder, too.
        testing::writeFile(dir.file("x.scx"), whole);
        ScenarioBody body;
        TemporaryFile temporary(platform::systemFiles(), dir.file("x.scx.dat"));
        ASSERT_EQ(extract(dir.file("x.scx"), body, &temporary), ExtractOutcome::bodyReady);
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "x.scx.dat"));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "x.scx.dat"));
}

}  // namespace
}  // namespace vantor
