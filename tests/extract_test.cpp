// From a scenario file to its body: the container, the inflate loop and the
// temporary file beside the scenario.
#include <gtest/gtest.h>

#include <numeric>

#include "scenario/extract.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using testing::Bytes;
using testing::TempDir;

Bytes pattern(std::size_t size) {
    Bytes b(size);
    std::uint32_t x = 12345;
    for (auto& byte : b) {
        x = x * 1103515245 + 12345;
        byte = static_cast<std::uint8_t>(x >> 16);
    }
    return b;
}

Bytes bodyOf(const ScenarioBody& body) { return Bytes(body.bytes.get(), body.bytes.get() + body.size); }

struct Extracted {
    ExtractOutcome outcome;
    Bytes body;
    bool temporaryExisted;
};

Extracted extract(const TempDir& dir, const Bytes& file) {
    const std::string path = dir.file("x.scx");
    testing::writeFile(path, file);
    ScenarioBody body;
    TemporaryFile temporary;
    const ExtractOutcome outcome = extractScenario(path, body, temporary);
    const bool existed = dir.exists("x.scx.dat");
    EXPECT_TRUE(removeTemporary(temporary));
    EXPECT_FALSE(dir.exists("x.scx.dat"));
    EXPECT_EQ(body.size == 0, outcome != ExtractOutcome::bodyReady);
    return {outcome, bodyOf(body), existed};
}

TEST(Extract, BodiesAroundTheChunkSizeComeOutWhole) {
    TempDir dir;
    for (std::size_t size : {std::size_t{1}, extractionChunkSize - 1, extractionChunkSize, extractionChunkSize + 1,
                             3 * extractionChunkSize + 17}) {
        const Bytes body = pattern(size);
        const Extracted e = extract(dir, testing::buildContainer(body));
        EXPECT_EQ(e.outcome, ExtractOutcome::bodyReady) << size;
        EXPECT_TRUE(e.temporaryExisted);
        EXPECT_EQ(e.body, body) << size;
    }
}

TEST(Extract, HeaderAndLeadingBytesDoNotMatter) {
    TempDir dir;
    const Bytes body = pattern(1000);
    EXPECT_EQ(extract(dir, testing::buildContainer(body, "", "")).body, body);  // headerLength 0
    EXPECT_EQ(extract(dir, testing::buildContainer(body, std::string(5000, '\xFF'), "\x01\x02\x03\x04")).body, body);
}

TEST(Extract, BytesBehindTheStreamAreIgnored) {
    TempDir dir;
    const Bytes body = pattern(5000);
    Bytes file = testing::buildContainer(body);
    file.insert(file.end(), 300, 0xEE);
    EXPECT_EQ(extract(dir, file).body, body);
}

TEST(Extract, BrokenStreamsAreDecompressionErrors) {
    TempDir dir;
    const Bytes whole = testing::buildContainer(pattern(300000));
    // Cut short at several places behind the header, the last one byte before the end.
    for (std::size_t keep : {std::size_t{23}, std::size_t{30}, std::size_t{100}, whole.size() / 2, whole.size() - 1}) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep));
        const Extracted e = extract(dir, cut);
        EXPECT_EQ(e.outcome, ExtractOutcome::decompressionFailed) << keep;
        EXPECT_TRUE(e.temporaryExisted);
    }
    // A complete stream with no output.
    EXPECT_EQ(extract(dir, testing::buildContainer(Bytes{})).outcome, ExtractOutcome::decompressionFailed);
    // No stream at all behind the header, and a zlib-wrapped stream (not raw).
    EXPECT_EQ(extract(dir, Bytes{'1', '.', '2', '1', 0, 0, 0, 0}).outcome, ExtractOutcome::decompressionFailed);
    Bytes wrapped = {'1', '.', '2', '1', 0, 0, 0, 0, 0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(extract(dir, wrapped).outcome, ExtractOutcome::decompressionFailed);
}

TEST(Extract, MalformedContainersFailBeforeAnyTemporaryFile) {
    TempDir dir;
    auto withHeaderLength = [](std::int32_t length, std::size_t fileSize) {
        Bytes b = {'1', '.', '2', '1'};
        testing::putS32(b, length);
        b.resize(fileSize, 0);
        return b;
    };
    for (const Bytes& file :
         {Bytes{}, Bytes{1, 2, 3}, Bytes(7, 0), withHeaderLength(-1, 100), withHeaderLength(INT32_MIN, 100),
          withHeaderLength(93, 100), withHeaderLength(0x7FFFFFFF, 100)}) {
        const Extracted e = extract(dir, file);
        EXPECT_EQ(e.outcome, ExtractOutcome::decompressionFailed) << file.size();
        EXPECT_FALSE(e.temporaryExisted);
    }
    // A header that ends exactly at the end of the file leaves an empty stream.
    const Extracted exact = extract(dir, withHeaderLength(92, 100));
    EXPECT_EQ(exact.outcome, ExtractOutcome::decompressionFailed);
}

TEST(Extract, MissingScenarioIsOpenFailedAndAnOldTemporaryFileStays) {
    TempDir dir;
    testing::writeFile(dir.file("gone.scx.dat"), Bytes{'o', 'l', 'd'});
    ScenarioBody body;
    TemporaryFile temporary;
    EXPECT_EQ(extractScenario(dir.file("gone.scx"), body, temporary), ExtractOutcome::openFailed);
    EXPECT_FALSE(temporary.exists());
    EXPECT_EQ(testing::readFile(dir.file("gone.scx.dat")), (Bytes{'o', 'l', 'd'}));
}

TEST(Extract, FolderIsNotAScenario) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "folder.scx");
    ScenarioBody body;
    TemporaryFile temporary;
    EXPECT_EQ(extractScenario(dir.file("folder.scx"), body, temporary), ExtractOutcome::openFailed);
    EXPECT_FALSE(dir.exists("folder.scx.dat"));
}

TEST(Extract, TemporaryFileThatCannotBeCreatedIsCreateFailed) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(pattern(10)));
    std::filesystem::create_directory(dir.path() / "x.scx.dat");  // a folder stands in its way
    ScenarioBody body;
    TemporaryFile temporary;
    EXPECT_EQ(extractScenario(dir.file("x.scx"), body, temporary), ExtractOutcome::createFailed);
    EXPECT_TRUE(body.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "x.scx.dat"));
}

TEST(Extract, AnOldTemporaryFileIsOverwrittenAndRemoved) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx.dat"), pattern(500000));
    const Bytes body = pattern(10);
#ifdef _WIN32
    // Ours never stays behind there: whatever stands at the name is someone else's.
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(body));
    ScenarioBody extracted;
    TemporaryFile temporary;
    EXPECT_EQ(extractScenario(dir.file("x.scx"), extracted, temporary), ExtractOutcome::createFailed);
    EXPECT_EQ(testing::readFile(dir.file("x.scx.dat")), pattern(500000));
    return;
#endif
    EXPECT_EQ(extract(dir, testing::buildContainer(body)).body, body);

    testing::writeFile(dir.file("x.scx.dat"), pattern(500000));
    EXPECT_EQ(extract(dir, Bytes{'1', '.', '2', '1', 0, 0, 0, 0, 0xFF}).outcome, ExtractOutcome::decompressionFailed);
}

TEST(Extract, TheScenarioIsOnlyRead) {
    TempDir dir;
    const Bytes file = testing::buildContainer(pattern(200000));
    const Extracted e = extract(dir, file);
    EXPECT_EQ(e.outcome, ExtractOutcome::bodyReady);
    EXPECT_EQ(testing::readFile(dir.file("x.scx")), file);
}

TEST(Extract, TheTemporaryFileGoesWithItsHolder) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(pattern(10)));
    {
        ScenarioBody body;
        TemporaryFile temporary;
        ASSERT_EQ(extractScenario(dir.file("x.scx"), body, temporary), ExtractOutcome::bodyReady);
        EXPECT_TRUE(dir.exists("x.scx.dat"));
    }
    EXPECT_FALSE(dir.exists("x.scx.dat"));
}

}  // namespace
}  // namespace vantor
