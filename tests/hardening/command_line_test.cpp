// vantor-report's UTF-8 encoder, which gets the report in pieces.  (The
// program itself is tested from the shell: command_line_test.sh.)
#include <gtest/gtest.h>

#include "cli/console_text.h"
#include "tests/support/recording_actions.h"

namespace vantor::hardening {
namespace {

TEST(CommandLine, Utf8EncoderGivesTheSameTextWhereverThePiecesAreCut) {
    const std::string report = "あ\r\nい\x82\r\nう\r\r\nｱ\x81\x7f\r\n";
    testing::StringSink whole;
    cli::Utf8Encoder one;
    ASSERT_TRUE(one.write(report, whole) && one.finish(whole));
    EXPECT_EQ(whole.bytes, cli::cp932ToUtf8(report, true));
    for (std::size_t cut = 0; cut <= report.size(); ++cut) {
        testing::StringSink pieces;
        cli::Utf8Encoder two;
        ASSERT_TRUE(two.write(report.substr(0, cut), pieces) && two.write(report.substr(cut), pieces) &&
                    two.finish(pieces));
        EXPECT_EQ(pieces.bytes, whole.bytes) << "cut at " << cut;
    }
}

}  // namespace
}  // namespace vantor::hardening
