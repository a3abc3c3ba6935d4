// The bundled sample is what the builder makes, and reports without a message.
#include <gtest/gtest.h>

#include "report/trigger_report.h"
#include "scenario/extract.h"
#include "tests/support/recording_actions.h"
#include "tests/support/sample_scenario.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

TEST(Sample, IsTheBuildersScenario) {
    testing::TempDir dir;
    testing::writeFile(dir.file("sample.scx"), testing::readFile(VANTOR_SAMPLE));
    ScenarioBody body;
    TemporaryFile temporary;
    ASSERT_EQ(extractScenario(dir.file("sample.scx"), body, temporary), ExtractOutcome::bodyReady);
    const testing::Bytes expected = testing::buildBody(testing::sampleScenario()).bytes;
    EXPECT_EQ(testing::Bytes(body.bytes.get(), body.bytes.get() + body.size), expected)
        << "samples/sample.scx is out of date: rebuild it with make_sample";
}

TEST(Sample, ShowsEveryLineFormat) {
    const auto built = testing::buildBody(testing::sampleScenario());
    ReportBuffer out;
    ASSERT_EQ(buildTriggerReport({built.bytes.data(), built.bytes.size()}, out), ReportOutcome::reportReady);
    const std::string r(out.view());
    for (const char* line : {
             "0001 援軍の到着（二十分後に北の森から騎士団が現れる） オフ     いいえ いいえ          0\r\n",
             "説明：町の中心を守り抜け。\r\n    ：援軍は二十分後に到着する。\r\n    ：\r\n    ：敵の城を破壊せよ。\r\n",
             "  効果 0  :貢物 (プレイヤー 2→プレイヤー 1 資源A 500)\r\n",
             "  効果 1  :貢物 (地の女神→不明(     0x9) 不明(     0x7) -1)\r\n",
             "  効果 2  :オブジェクトを倒す (プレイヤー 3 騎士 グループ:聖職者 種類:軍隊)\r\n",
             "  効果 3  :オブジェクトにダメージを与える (プレイヤー 3 アカースト タワー  数量:25)\r\n",
             "  効果 1  :説明を表示 (城を守れ)\r\n",
             "  効果 3  :テクノロジーの研究 (プレイヤー 2 機織り)\r\n",
             "  条件 3  :テクノロジーを研究 (地の女神 不明(   0x3e7))\r\n",
         }) {
        EXPECT_NE(r.find(line), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace vantor
