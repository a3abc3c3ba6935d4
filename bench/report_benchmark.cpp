// How long a report takes, next to what zlib alone needs to inflate the same
// body.  Each input is timed in six ways:
//   zlib      raw inflate of the compressed body into a buffer that stays
//             mapped from one iteration to the next: zlib's work alone
//   inflate   the same into a new buffer of the body's size (the floor: any
//             program that inflates a body into memory does this much)
//   extract   extraction as the report command does it: through the
//             temporary file beside the scenario, then its removal
//   walk      the walk from the start of the body to the trigger count
//   report    the whole report of a body in memory
//   command   the whole report command: scenario file in, report file out
//
// Inputs: the largest real scenario of the shared corpus, and the largest
// reported one of Age of Kings, of the HD editions and of the Definitive
// Edition (when the folder is there), and synthetic scenarios of 1 000,
// 10 000 and 100 000 triggers, as The Conquerors and as the Definitive
// Edition store them (not with --real_only).  The scenario files are written to a scratch folder
// (--work_dir, or a new one in the system's temporary folder), since the
// command writes beside them.  Memory: see main().
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <zlib.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/synthetic_scenario.h"
#include "report/report_command.h"
#include "report/report_file.h"
#include "report/trigger_report.h"
#include "scenario/container.h"
#include "scenario/extract.h"
#include "scenario/walk.h"
#include "tests/support/scenario_builder.h"

#ifndef VANTOR_CORPUS_DIR
#define VANTOR_CORPUS_DIR ""
#endif

namespace {

#ifdef __clang__
constexpr const char* compilerName = "clang " __clang_version__;
#else
constexpr const char* compilerName = "GCC " __VERSION__;
#endif

namespace fs = std::filesystem;
using vantor::testing::Bytes;

struct Input {
    std::string name;
    std::string path;  // the scenario file in the scratch folder
    Bytes compressed;  // the raw deflate stream behind the header
    Bytes body;        // the decompressed body
    std::int64_t triggers = 0;
};

// The report command's user actions, doing nothing but noting a message.
class SilentActions final : public vantor::UserActions {
public:
    void showMessage(vantor::Message message) override { lastMessage = vantor::messageText(message); }
    void openInViewer(const vantor::platform::Path&) override {}
    void showScenarioMessage(std::string_view, vantor::Message message) override {
        lastMessage = vantor::messageText(message);
    }
    std::string_view lastMessage;
};

std::int32_t readS32(const Bytes& b, std::size_t at) {
    return static_cast<std::int32_t>(std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) |
                                     (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 3]} << 24));
}

// Inflates `compressed` into `out`, which must be exactly the body's size.
bool inflateInto(const Bytes& compressed, std::uint8_t* out, std::size_t size) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(compressed.data());
    z.avail_in = static_cast<uInt>(compressed.size());
    z.next_out = out;
    z.avail_out = static_cast<uInt>(size);
    const int result = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return result == Z_STREAM_END && z.avail_out == 0;
}

// Reads the scenario back as the inputs need it: its compressed stream, its
// body (through the product's own extraction) and its trigger count.
Input describe(std::string name, const std::string& path) {
    Input in;
    in.name = std::move(name);
    in.path = path;
    const Bytes file = vantor::testing::readFile(path);
    vantor::ScenarioFile scenario(vantor::platform::systemFiles());
    if (!scenario.open(path)) throw std::runtime_error("cannot open " + path);
    const vantor::ContainerHead head = vantor::readContainerHead(scenario);
    if (head.outcome != vantor::ContainerOutcome::bodyAt) throw std::runtime_error("no container: " + path);
    in.compressed.assign(file.begin() + static_cast<std::ptrdiff_t>(head.bodyOffset), file.end());

    vantor::ScenarioBody body;
    if (vantor::extractScenario(scenario, body) != vantor::ExtractOutcome::bodyReady)
        throw std::runtime_error("cannot extract " + path);
    in.body.assign(body.bytes.get(), body.bytes.get() + body.size);

    const vantor::WalkResult walk = vantor::findTriggerSection(body.view(), body.containerVersion);
    if (walk.outcome != vantor::WalkOutcome::triggerSection) throw std::runtime_error("cannot walk " + path);
    in.triggers = readS32(in.body, static_cast<std::size_t>(walk.position));
    return in;
}

void setCounters(benchmark::State& state, const Input& in) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(in.body.size()));
    state.counters["triggers"] = static_cast<double>(in.triggers);
    state.counters["body_bytes"] = static_cast<double>(in.body.size());
    state.counters["compressed_bytes"] = static_cast<double>(in.compressed.size());
    if (in.triggers > 0) {
        state.counters["per_trigger"] =
            benchmark::Counter(static_cast<double>(in.triggers),
                               benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }
}

// The floor: a new buffer of the body's size, and zlib inflating into it in
// one call.
void inflateCase(benchmark::State& state, const Input* in) {
    for (auto _ : state) {
        const auto out = std::make_unique_for_overwrite<std::uint8_t[]>(in->body.size());
        if (!inflateInto(in->compressed, out.get(), in->body.size())) state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(out.get());
        benchmark::ClobberMemory();
    }
    setCounters(state, *in);
}

// zlib alone: the same into one buffer, mapped once for all iterations.
void zlibCase(benchmark::State& state, const Input* in) {
    Bytes out(in->body.size());
    for (auto _ : state) {
        if (!inflateInto(in->compressed, out.data(), out.size())) state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    setCounters(state, *in);
}

void extractCase(benchmark::State& state, const Input* in) {
    vantor::ScenarioBody body;
    auto& files = vantor::platform::systemFiles();
    for (auto _ : state) {
        vantor::ScenarioFile scenario(files);
        vantor::TemporaryFile temporary(files, vantor::temporaryPathFor(in->path));
        if (!scenario.open(in->path) ||
            vantor::extractScenario(scenario, body, &temporary) != vantor::ExtractOutcome::bodyReady)
            state.SkipWithError("extraction failed");
        if (!temporary.remove()) state.SkipWithError("temporary file not removed");
        benchmark::DoNotOptimize(body.bytes.get());
    }
    setCounters(state, *in);
}

void walkCase(benchmark::State& state, const Input* in) {
    const std::span<const std::uint8_t> body(in->body.data(), in->body.size());
    for (auto _ : state) {
        const vantor::WalkResult walk = vantor::findTriggerSection(body);
        if (walk.outcome != vantor::WalkOutcome::triggerSection) state.SkipWithError("walk failed");
        benchmark::DoNotOptimize(walk.position);
    }
    setCounters(state, *in);
}

// Takes the report's pieces as the report file would, and only counts them.
class CountingSink final : public vantor::ReportSink {
public:
    std::size_t bytes = 0;
    bool write(std::string_view piece) override {
        benchmark::DoNotOptimize(piece.data());
        bytes += piece.size();
        return true;
    }
};

void reportCase(benchmark::State& state, const Input* in) {
    const std::span<const std::uint8_t> body(in->body.data(), in->body.size());
    std::size_t reportSize = 0;
    for (auto _ : state) {
        // The check and a fresh buffer streamed in pieces, as every report command has.
        CountingSink sink;
        vantor::ReportBuffer out;
        out.streamTo(sink);
        const vantor::CheckedSection checked = vantor::checkTriggerSection(body);
        if (checked.outcome != vantor::ReportOutcome::reportReady) state.SkipWithError("report refused");
        if (!vantor::formatTriggerReport(body, checked, out) || !out.flush()) state.SkipWithError("report failed");
        reportSize = sink.bytes;
    }
    setCounters(state, *in);
    state.counters["report_bytes"] = static_cast<double>(reportSize);
}

void commandCase(benchmark::State& state, const Input* in) {
    vantor::ScenarioBody body;
    SilentActions ui;
    for (auto _ : state) {
        if (!vantor::writeReportFile(in->path, body, ui)) {
            state.SkipWithError(std::string(ui.lastMessage).c_str());
            break;
        }
    }
    setCounters(state, *in);
    std::error_code ignored;
    state.counters["report_bytes"] = static_cast<double>(fs::file_size(vantor::reportPathFor(in->path), ignored));
}

struct Options {
    fs::path workDir;          // --work_dir=DIR
    bool reuseMemory = false;  // --reuse_memory
    bool realOnly = false;     // --real_only: no synthetic scenarios
};

// Takes our own arguments out; the rest go to the benchmark library.
Options takeOwnArguments(int& argc, char** argv) {
    Options options;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--work_dir="))
            options.workDir = std::string(arg.substr(11));
        else if (arg == "--reuse_memory")
            options.reuseMemory = true;
        else if (arg == "--real_only")
            options.realOnly = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return options;
}

fs::path makeScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "vantor-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    return pattern;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = takeOwnArguments(argc, argv);
    fs::path workDir = options.workDir;
    const bool ownWorkDir = workDir.empty();
    if (ownWorkDir) workDir = makeScratchFolder();
    fs::create_directories(workDir);

    // Memory: left to itself, glibc adapts its thresholds to the buffers
    // freed so far, and an input measured later would find memory mapped for
    // it or not, by chance.  So either every large buffer is mapped afresh in
    // every iteration, as in a new vantor-report process (the default), or,
    // with --reuse_memory, buffers up to 32 MiB come from memory that the
    // process keeps: the steady state of a process that makes one report
    // after another and never gives memory back.
    if (options.reuseMemory) {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, INT_MAX);
    } else {
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    }

    benchmark::AddCustomContext("zlib", zlibVersion());
    benchmark::AddCustomContext("compiler", compilerName);
    benchmark::AddCustomContext("memory", options.reuseMemory ? "reused" : "fresh");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    std::vector<std::unique_ptr<Input>> inputs;
    // The largest reported scenario of each edition in the corpus.
    const std::pair<const char*, const char*> realScenarios[] = {
        {"dota", "aoc_V_AOC_DOTA_4F.scx"},
        {"aok", "aok_Defend_the_town.scn"},
        {"hd", "hd_Battle_of_Swally.scx2"},
        {"de", "de_ROR_Ancient_Middle_East_Diplomacy.aoe2scenario"},
    };
    for (const auto& [name, file] : realScenarios) {
        const fs::path real = fs::path(VANTOR_CORPUS_DIR) / file;
        if (!fs::exists(real)) {
            std::fprintf(stderr, "%s not found: that real scenario is left out\n", real.string().c_str());
            continue;
        }
        const fs::path copy = workDir / real.filename();
        fs::copy_file(real, copy, fs::copy_options::overwrite_existing);
        fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
        inputs.push_back(std::make_unique<Input>(describe(name, copy.string())));
    }
    for (const std::int32_t count : {1000, 10000, 100000}) {
        if (options.realOnly) break;
        const std::string name = "synthetic_" + std::to_string(count / 1000) + "k";
        const fs::path path = workDir / (name + ".scx");
        vantor::testing::writeFile(path.string(), vantor::testing::buildContainer(vantor::bench::syntheticBody(count)));
        inputs.push_back(std::make_unique<Input>(describe(name, path.string())));
    }
    for (const std::int32_t count : {1000, 10000, 100000}) {
        if (options.realOnly) break;
        const std::string name = "de_synthetic_" + std::to_string(count / 1000) + "k";
        const fs::path path = workDir / (name + ".aoe2scenario");
        vantor::testing::writeFile(path.string(), vantor::testing::buildDefinitiveContainer(
                                                      vantor::bench::syntheticDefinitiveBody(count), 158));
        inputs.push_back(std::make_unique<Input>(describe(name, path.string())));
    }

    // Wall-clock time: the extraction and the command wait for the file system.
    for (const auto& in : inputs) {
        const Input* p = in.get();
        benchmark::RegisterBenchmark(("zlib/" + p->name).c_str(), zlibCase, p)->UseRealTime();
        benchmark::RegisterBenchmark(("inflate/" + p->name).c_str(), inflateCase, p)->UseRealTime();
        benchmark::RegisterBenchmark(("extract/" + p->name).c_str(), extractCase, p)->UseRealTime();
        benchmark::RegisterBenchmark(("walk/" + p->name).c_str(), walkCase, p)->UseRealTime();
        benchmark::RegisterBenchmark(("report/" + p->name).c_str(), reportCase, p)->UseRealTime();
        benchmark::RegisterBenchmark(("command/" + p->name).c_str(), commandCase, p)->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (ownWorkDir) {
        std::error_code ignored;
        fs::remove_all(workDir, ignored);
    }
    return 0;
}
