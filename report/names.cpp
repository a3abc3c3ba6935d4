// The name tables.  Every text is stored as the cp932 bytes that the report
// carries, with its reading beside it (tools/cp932.py prints new ones).
#include "report/names.h"

#include <array>
#include <string_view>

#include "report/definitive_names.h"
#include "report/report_buffer.h"

namespace vantor {
namespace {

struct NameEntry {
    std::int32_t value;
    std::string_view text;
};

// clang-format off
constexpr NameEntry technologyNames[] = {
    {2, "\x83G\x83\x8a\x81[\x83g\x83^\x83\x8b\x83J\x83\x93"},  // エリートタルカン
    {3, "\x83\x88\x81[\x83}\x83\x93"},  // ヨーマン
    {4, "\x83G\x83\x8b\x83h\x83\x89\x83h"},  // エルドラド
    {5, "\x83P\x83\x8b\x83g\x82\xcc\x93{\x82\xe8"},  // ケルトの怒り
    {6, "\x89\x89\x8fK"},  // 演習
    {7, "\x8f\xdb\x8eg\x82\xa2"},  // 象使い
    {8, "\x8c\xa9\x92\xa3\x82\xe8"},  // 見張り
    {9, "\x8b\xb6\x90M"},  // 狂信
    {10, "\x96" "C\x8fp"},  // 砲術
    {11, "\x8f" "e\x8a\xe1\x95t\x8b\xb9\x95\xc7"},  // 銃眼付胸壁
    {12, "\x97\xd6\x8d\xec"},  // 輪作
    {13, "\x94n\x8cL"},  // 馬鍬
    {14, "\x88\xf8\x82\xab\x8b\xef"},  // 引き具
    {15, "\x91g\x8d\x87"},  // 組合
    {16, "\x96\xb3\x92\x81\x8f\x98"},  // 無秩序
    {17, "\x8b\xe2\x8ds\x8e\xe6\x88\xf8"},  // 銀行取引
    {19, "\x92n\x90}\x90\xbb\x8d\xec"},  // 地図製作
    {21, "\x96\xb3\x90_\x98_"},  // 無神論
    {22, "\x8b@\x90" "D\x82\xe8"},  // 機織り
    {23, "\x89\xdd\x95\xbc\x90\xa7\x93x"},  // 貨幣制度
    {24, "\x89h\x97_\x90\xed"},  // 栄誉戦
    {27, "\x90\xb8\x89s\x89H\x8f\xfc\x8e\xcb\x8e\xe8"},  // 精鋭羽飾射手
    {34, "\x91\xe5\x8c^\x83K\x83\x8c\x81[\x91" "D"},  // 大型ガレー船
    {35, "\x83K\x83\x8c\x83I\x83\x93\x91" "D"},  // ガレオン船
    {37, "\x83L\x83\x83\x83m\x83\x93\x83K\x83\x8a\x83I\x83\x93\x91" "D"},  // キャノンガリオン船
    {39, "\x94\xc9\x90" "B"},  // 繁殖
    {45, "\x90M\x8b\xc2"},  // 信仰
    {47, "\x89\xbb\x8aw"},  // 化学
    {48, "\x91\xe0\x8f\xa4"},  // 隊商
    {49, "\x83x\x83\x8b\x83Z\x83\x8b\x83N\x83M\x83\x83\x83\x93\x83O"},  // ベルセルクギャング
    {50, "\x90\xce\x8dH\x8bZ\x8fp"},  // 石工技術
    {51, "\x8c\x9a\x92z\x8aw"},  // 建築学
    {52, "\x96" "C\x92" "e\x8fp"},  // 砲弾術
    {54, "\x90l\x97\xcd\x8bN\x8f" "d\x8b@"},  // 人力起重機
    {55, "\x8b\xe0\x82\xcc\x8d\xcc\x8c@"},  // 金の採掘
    {59, "\x93\x8a\x9d\xb1\x8fp"},  // 投擲術
    {60, "\x83G\x83\x8a\x81[\x83g\x83R\x83\x93\x83L\x83X\x83^\x83h\x81[\x83\x8b"},  // エリートコンキスタドール
    {61, "\x95\xba\xe2\x8b\x8aw"},  // 兵站学
    {63, "\x96h\x8c\xe4\x93\x83"},  // 防御塔
    {64, "\x96" "C\x91\xe4"},  // 砲台
    {67, "\x92" "b\x91\xa2"},  // 鍛造
    {68, "\x92\x92\x91\xa2"},  // 鋳造
    {74, "\x95\xe0\x95\xba\x97p\x82\xa4\x82\xeb\x82\xb1\x82\xcc\x8aZ"},  // 歩兵用うろこの鎧
    {75, "\x8d\x82\x89\xb7\x97n\x8dz\x98" "F"},  // 高温溶鉱炉
    {76, "\x95\xe0\x95\xba\x97p\x8d\xbd\x82\xa9\x82\xbd\x82\xd1\x82\xe7"},  // 歩兵用鎖かたびら
    {77, "\x95\xe0\x95\xba\x97p\x8d" "b\x99h"},  // 歩兵用甲冑
    {80, "\x8bR\x94n\x97p\x8d" "b\x99h"},  // 騎馬用甲冑
    {81, "\x8bR\x94n\x97p\x82\xa4\x82\xeb\x82\xb1\x82\xcc\x8aZ"},  // 騎馬用うろこの鎧
    {82, "\x8bR\x94n\x97p\x8d\xbd\x82\xa9\x82\xbd\x82\xd1\x82\xe7"},  // 騎馬用鎖かたびら
    {83, "\x83r\x83" "A\x81[\x83h\x83" "A\x83" "b\x83N\x83X"},  // ビアードアックス
    {90, "\x92\xc7\x90\xd5\x8fp"},  // 追跡術
    {93, "\x92" "e\x93\xb9\x8aw"},  // 弾道学
    {96, "\x8b\xad\x89\xbb\x94j\x8f\xe9\x92\xc6"},  // 強化破城槌
    {98, "\x90\xb8\x89s\x8eU\x95\xba"},  // 精鋭散兵
    {100, "\x90\xce\x8b|\x8e\xcb\x8e\xe8"},  // 石弓射手
    {101, "\x97\xcc\x8e\xe5\x82\xcc\x8e\x9e\x91\xe3"},  // 領主の時代
    {102, "\x8f\xe9\x8e\xe5\x82\xcc\x8e\x9e\x91\xe3"},  // 城主の時代
    {103, "\x92\xe9\x89\xa4\x82\xcc\x8e\x9e\x91\xe3"},  // 帝王の時代
    {140, "\x8a\xc4\x8e\x8b\x93\x83"},  // 監視塔
    {182, "\x8b\xe0\x82\xcc\x8c@\x8d\xed"},  // 金の掘削
    {194, "\x8b\xad\x89\xbb\x95\xc7"},  // 強化壁
    {197, "\x92\xb7\x91\x84\x95\xba"},  // 長槍兵
    {199, "\x96\xee\x89H\x8d\xaa"},  // 矢羽根
    {200, "\x90\x8d\x8f\xf3\x96\xee\x82\xb6\x82\xe8"},  // 錐状矢じり
    {201, "\x8f\xac\x8e\xe8"},  // 小手
    {202, "\x97\xbc\x90n\x95\x80"},  // 両刃斧
    {203, "\x82\xcc\x82\xb1\x82\xac\x82\xe8"},  // のこぎり
    {207, "\x92\xb7\x8c\x95\x8c\x95\x8em"},  // 長剣剣士
    {209, "\x8f" "d\x8bR\x8em"},  // 重騎士
    {211, "\x8e\xcb\x8e\xe8\x97p\x8b\xb9\x93\x96\x82\xc4"},  // 射手用胸当て
    {212, "\x8e\xcb\x8e\xe8\x97p\x8av\x82\xcc\x8aZ"},  // 射手用革の鎧
    {213, "\x8e\xe8\x89\x9f\x82\xb5\x8e\xd4"},  // 手押し車
    {215, "\x95\x90\x8e\xd2\x8f" "C\x8ds"},  // 武者修行
    {217, "\x8f" "d\x8c\x95\x8c\x95\x8em"},  // 重剣剣士
    {218, "\x8f" "d\x8b|\x8bR\x95\xba"},  // 重弓騎兵
    {219, "\x8e\xcb\x8e\xe8\x97p\x8d\xbd\x82\xcc\x8aZ"},  // 射手用鎖の鎧
    {221, "\x97\xbc\x88\xf8\x82\xab\x82\xcc\x82\xb1\x82\xac\x82\xe8"},  // 両引きのこぎり
    {222, "\x8cR\x95\xba"},  // 軍兵
    {230, "\x8a\x88\x94\xc5\x88\xf3\x8d\xfc"},  // 活版印刷
    {231, "\x90_\x90\xb9"},  // 神聖
    {233, "\x8c[\x96\xd6"},  // 啓蒙
    {236, "\x8f" "d\x91\x95\x82\xe7\x82\xad\x82\xbe\x8bR\x95\xba"},  // 重装らくだ騎兵
    {237, "\x8f" "d\x90\xce\x8b|\x8e\xcb\x8e\xe8"},  // 重石弓射手
    {239, "\x83w\x83r\x81[\x83X\x83R\x81[\x83s\x83I\x83\x93"},  // ヘビースコーピオン
    {244, "\x8f" "d\x91\x95\x94\x9a\x94j\x8dH\x8d\xec\x91" "D"},  // 重装爆破工作船
    {246, "\x8d\x82\x91\xac\x89\xce\x89\x8a\x91" "D"},  // 高速火炎船
    {249, "\x89\xd7\x8e\xd4"},  // 荷車
    {252, "\x93\xc4\x90M"},  // 篤信
    {254, "\x8bR\x95\xba"},  // 騎兵
    {255, "\x89\xfc\x97\xc7\x8b\xad\x89\xbb\x94j\x8f\xe9\x92\xc6"},  // 改良強化破城槌
    {257, "\x89\xfc\x97\xc7\x8c^\x93\x8a\x90\xce\x8b@"},  // 改良型投石機
    {264, "\x8b\xdf\x89q\x8c\x95\x8em"},  // 近衛剣士
    {265, "\x8b\xdf\x89q\x8bR\x8em"},  // 近衛騎士
    {278, "\x90\xce\x82\xcc\x90\xd8\x82\xe8\x8fo\x82\xb5"},  // 石の切り出し
    {279, "\x90\xce\x82\xcc\x8c@\x8d\xed"},  // 石の掘削
    {280, "\x8f\x84\x89\xf1"},  // 巡回
    {315, "\x92\xa5\x97p"},  // 徴用
    {316, "\xe6\xdc\x82\xa2"},  // 贖い
    {319, "\x8f\x9e\x82\xa2"},  // 償い
    {320, "\x94j\x8f\xe9\x93\x8a\x90\xce\x8b@"},  // 破城投石機
    {321, "\x93y\x96\xd8\x8bZ\x8fp"},  // 土木技術
    {322, "\x8c}\x8c\x82\x97p\x91\x8b"},  // 迎撃用窓
    {348, "\x8f" "d\x91\x95\x8bT\x8d" "b\x91" "D"},  // 重装亀甲船
    {360, "\x83G\x83\x8a\x81[\x83g\x83\x8d\x83\x93\x83O\x83{\x83" "E"},  // エリートロングボウ
    {361, "\x83G\x83\x8a\x81[\x83g\x83J\x83^\x83t\x83\x89\x83N\x83g"},  // エリートカタフラクト
    {362, "\x89\xfc\x97\xc7\x8c^\x98" "A\x9cW\x95\xba"},  // 改良型連弩兵
    {363, "\x83G\x83\x8a\x81[\x83g\x83t\x83\x89\x83\x93\x83J\x83X\x83\x8d\x83" "E"},  // エリートフランカスロウ
    {364, "\x83G\x83\x8a\x81[\x83g\x83`\x83\x85\x81[\x83g\x83\x93\x83i\x83" "C\x83g"},  // エリートチュートンナイト
    {365, "\x83G\x83\x8a\x81[\x83g\x83n\x83X\x83J\x81[\x83\x8b"},  // エリートハスカール
    {366, "\x8c\x95\x8d\x8b"},  // 剣豪
    {367, "\x83G\x83\x8a\x81[\x83g\x83G\x83\x8c\x83t\x83@\x83\x93\x83g"},  // エリートエレファント
    {369, "\x83G\x83\x8a\x81[\x83g\x83" "C\x83\x85\x83j\x83`\x83" "F\x83\x8a"},  // エリートイュニチェリ
    {370, "\x83G\x83\x8a\x81[\x83g\x83" "E\x83H\x81[\x83h\x83\x8c\x83" "C\x83_\x81["},  // エリートウォードレイダー
    {371, "\x83G\x83\x8a\x81[\x83g\x83}\x83\x93\x83O\x83_\x83" "C"},  // エリートマングダイ
    {372, "\x8f" "d\x91\x95\x83o\x83" "C\x83L\x83\x93\x83O\x91" "D"},  // 重装バイキング船
    {373, "\x91\xa2\x91" "D\x8bZ\x8fp"},  // 造船技術
    {374, "\x8cX\x91" "D\x8bZ\x8fp"},  // 傾船技術
    {375, "\x8a\xa3\x83h\x83" "b\x83N"},  // 乾ドック
    {376, "\x8b@\x93\xae\x83L\x83\x83\x83m\x83\x93\x83K\x83\x8a\x83I\x83\x93\x91" "D"},  // 機動キャノンガリオン船
    {377, "\x95\xef\x88\xcd\x8dU\x8c\x82\x8bZ\x8fp"},  // 包囲攻撃技術
    {378, "\x83G\x83\x8a\x81[\x83g\x83}\x83\x80\x83\x8b\x81[\x83N"},  // エリートマムルーク
    {379, "\x8f\xe9\x95\xc7\x8b\xad\x89\xbb"},  // 城壁強化
    {380, "\x89\xce\x96" "C\x8aw"},  // 火砲学
    {398, "\x83G\x83\x8a\x81[\x83g\x83x\x83\x8b\x83Z\x83\x8b\x83N"},  // エリートベルセルク
    {408, "\x92\xb3\x95\xf1"},  // 諜報
    {428, "\x83n\x83T\x81["},  // ハサー
    {429, "\x96\xb5\x91\x84\x95\xba"},  // 矛槍兵
    {432, "\x83G\x83\x8a\x81[\x83g\x83W\x83\x83\x83K\x81[\x83" "E\x83H\x83\x8a\x83" "A"},  // エリートジャガーウォリア
    {434, "\x83G\x83\x8a\x81[\x83g\x83" "C\x81[\x83O\x83\x8b\x83" "E\x83H\x83\x8a\x83" "A"},  // エリートイーグルウォリア
    {435, "\x8c\x8c\x93\x9d"},  // 血統
    {436, "\x83p\x83\x8b\x83" "e\x83" "B\x83" "A\x83\x93\x90\xed\x8fp"},  // パルティアン戦術
    {437, "\x8b|\x8c\x9c"},  // 弓懸
    {438, "\x90_\x90\xad"},  // 神政
    {439, "\x88\xd9\x92["},  // 異端
    {440, "\x94" "e\x8c\xa0"},  // 覇権
    {441, "\x96\xf2\x91\x90\x8aw"},  // 薬草学
    {445, "\x90V\x8b@\x90\xfb"},  // 新機箭
    {450, "\x8b\xad\x89\xbb\x90\xed\x8e\xd4"},  // 強化戦車
    {457, "\x83p\x81[\x83t\x83\x85\x81[\x83W\x83\x87\x83\x93"},  // パーフュージョン
};

constexpr NameEntry objectNames[] = {
    {4, "\x8e\xcb\x8e\xe8"},  // 射手
    {5, "\x96" "C\x8c\x82\x8e\xe8"},  // 砲撃手
    {6, "\x90\xb8\x89s\x8eU\x95\xba"},  // 精鋭散兵
    {7, "\x8eU\x95\xba"},  // 散兵
    {8, "\x83\x8d\x83\x93\x83O\x83{\x83" "E"},  // ロングボウ
    {11, "\x83}\x83\x93\x83O\x83_\x83" "C"},  // マングダイ
    {12, "\x90\xed\x8em\x88\xe7\x90\xac\x8f\x8a"},  // 戦士育成所
    {21, "\x91\xe5\x8c^\x83K\x83\x8c\x81[\x91" "D"},  // 大型ガレー船
    {24, "\x90\xce\x8b|\x8e\xcb\x8e\xe8"},  // 石弓射手
    {25, "\x83`\x83\x85\x81[\x83g\x83\x93\x83i\x83" "C\x83g"},  // チュートンナイト
    {35, "\x94j\x8f\xe9\x92\xc6"},  // 破城槌
    {36, "\x91\xe5\x96" "C"},  // 大砲
    {38, "\x8bR\x8em"},  // 騎士
    {39, "\x8b|\x8bR\x95\xba"},  // 弓騎兵
    {40, "\x83J\x83^\x83t\x83\x89\x83N\x83g"},  // カタフラクト
    {41, "\x83n\x83X\x83J\x81[\x83\x8b"},  // ハスカール
    {45, "\x8d`"},  // 港
    {46, "\x83" "C\x83\x85\x83j\x83`\x83" "F\x83\x8a"},  // イュニチェリ
    {49, "\x95\xef\x88\xcd\x8dU\x8c\x82\x8cP\x97\xfb\x8f\x8a"},  // 包囲攻撃訓練所
    {50, "\x94\xa8"},  // 畑
    {68, "\x95\xb2\x82\xd0\x82\xab\x8f\x8a"},  // 粉ひき所
    {70, "\x89\xc6"},  // 家
    {72, "\x8d\xf2"},  // 柵
    {73, "\x98" "A\x9cW\x95\xba"},  // 連弩兵
    {74, "\x96\xaf\x95\xba"},  // 民兵
    {75, "\x8cR\x95\xba"},  // 軍兵
    {77, "\x92\xb7\x8c\x95\x8c\x95\x8em"},  // 長剣剣士
    {79, "\x8c\xa9\x92\xa3\x82\xe8\x91\xe4"},  // 見張り台
    {82, "\x8f\xe9"},  // 城
    {83, "\x92\xac\x82\xcc\x90l"},  // 町の人
    {84, "\x8es\x8f\xea"},  // 市場
    {87, "\x8e\xcb\x8e\xe8\x88\xe7\x90\xac\x8f\x8a"},  // 射手育成所
    {93, "\x91\x84\x95\xba"},  // 槍兵
    {101, "\x8bR\x95\xba\x88\xe7\x90\xac\x8f\x8a"},  // 騎兵育成所
    {103, "\x93S\x8dH\x8f\x8a"},  // 鉄工所
    {104, "\x90_\x93" "a"},  // 神殿
    {109, "\x92\xac\x82\xcc\x92\x86\x90S"},  // 町の中心
    {110, "\x8c\xf0\x88\xd5\x8f\x8a"},  // 交易所
    {117, "\x90\xce\x95\xc7"},  // 石壁
    {125, "\x90\xb9\x90" "E\x8e\xd2"},  // 聖職者
    {128, "\x89\xd7\x94n\x8e\xd4"},  // 荷馬車
    {155, "\x8b\xad\x89\xbb\x95\xc7"},  // 強化壁
    {199, "\xe2\xca"},  // 簗
    {209, "\x8aw\x96\xe2\x8f\x8a"},  // 学問所
    {232, "\x83" "E\x83H\x81[\x83h\x83\x8c\x83" "C\x83_\x81["},  // ウォードレイダー
    {234, "\x8a\xc4\x8e\x8b\x93\x83"},  // 監視塔
    {235, "\x96h\x8c\xe4\x93\x83"},  // 防御塔
    {236, "\x96" "C\x91\xe4"},  // 砲台
    {239, "\x83G\x83\x8c\x83t\x83@\x83\x93\x83g"},  // エレファント
    {250, "\x83o\x83" "C\x83L\x83\x93\x83O\x91" "D"},  // バイキング船
    {276, "\x96\xaf\x91\xb0\x82\xcc\x8f\xdb\x92\xa5"},  // 民族の象徴
    {279, "\x83X\x83R\x81[\x83s\x83I\x83\x93"},  // スコーピオン
    {280, "\x93\x8a\x90\xce\x8b@"},  // 投石機
    {281, "\x83t\x83\x89\x83\x93\x83J\x83X\x83\x8d\x83" "E"},  // フランカスロウ
    {282, "\x83}\x83\x80\x83\x8b\x81[\x83N"},  // マムルーク
    {283, "\x8f" "d\x8bR\x8em"},  // 重騎士
    {291, "\x95\x90\x8em"},  // 武士
    {329, "\x82\xe7\x82\xad\x82\xbe\x8bR\x95\xba"},  // らくだ騎兵
    {330, "\x8f" "d\x91\x95\x82\xe7\x82\xad\x82\xbe\x8bR\x95\xba"},  // 重装らくだ騎兵
    {331, "\x89\x93\x93\x8a\x93\x8a\x90\xce\x8b@(\x8d\xab\x95\xef)"},  // 遠投投石機(梱包)
    {358, "\x92\xb7\x91\x84\x95\xba"},  // 長槍兵
    {359, "\x96\xb5\x91\x84\x95\xba"},  // 矛槍兵
    {420, "\x83L\x83\x83\x83m\x83\x93\x83K\x83\x8a\x83I\x83\x93\x91" "D"},  // キャノンガリオン船
    {422, "\x8b\xad\x89\xbb\x94j\x8f\xe9\x92\xc6"},  // 強化破城槌
    {434, "\x89\xa4"},  // 王
    {440, "\x94\x9a\x94j\x8dH\x8d\xec\x95\xba"},  // 爆破工作兵
    {441, "\x83n\x83T\x81["},  // ハサー
    {442, "\x83K\x83\x8c\x83I\x83\x93\x91" "D"},  // ガレオン船
    {448, "\x90\xcb\x8c\xf3"},  // 斥候
    {473, "\x8f" "d\x8c\x95\x8c\x95\x8em"},  // 重剣剣士
    {474, "\x8f" "d\x8b|\x8bR\x95\xba"},  // 重弓騎兵
    {492, "\x8f" "d\x90\xce\x8b|\x8e\xcb\x8e\xe8"},  // 重石弓射手
    {527, "\x94\x9a\x94j\x8dH\x8d\xec\x91" "D"},  // 爆破工作船
    {528, "\x8f" "d\x91\x95\x94\x9a\x94j\x8dH\x8d\xec\x91" "D"},  // 重装爆破工作船
    {529, "\x89\xce\x89\x8a\x91" "D"},  // 火炎船
    {530, "\x83G\x83\x8a\x81[\x83g\x83\x8d\x83\x93\x83O\x83{\x83" "E"},  // エリートロングボウ
    {531, "\x83G\x83\x8a\x81[\x83g\x83t\x83\x89\x83\x93\x83J\x83X\x83\x8d\x83" "E"},  // エリートフランカスロウ
    {532, "\x8d\x82\x91\xac\x89\xce\x89\x8a\x91" "D"},  // 高速火炎船
    {533, "\x8f" "d\x91\x95\x83o\x83" "C\x83L\x83\x93\x83O\x91" "D"},  // 重装バイキング船
    {534, "\x83G\x83\x8a\x81[\x83g\x83" "E\x83H\x81[\x83h\x83\x8c\x83" "C\x83_\x81["},  // エリートウォードレイダー
    {539, "\x83K\x83\x8c\x81[\x91" "D"},  // ガレー船
    {542, "\x83w\x83r\x81[\x83X\x83R\x81[\x83s\x83I\x83\x93"},  // ヘビースコーピオン
    {546, "\x8bR\x95\xba"},  // 騎兵
    {548, "\x89\xfc\x97\xc7\x8b\xad\x89\xbb\x94j\x8f\xe9\x92\xc6"},  // 改良強化破城槌
    {550, "\x89\xfc\x97\xc7\x8c^\x93\x8a\x90\xce\x8b@"},  // 改良型投石機
    {553, "\x83G\x83\x8a\x81[\x83g\x83J\x83^\x83t\x83\x89\x83N\x83g"},  // エリートカタフラクト
    {554, "\x83G\x83\x8a\x81[\x83g\x83`\x83\x85\x81[\x83g\x83\x93\x83i\x83" "C\x83g"},  // エリートチュートンナイト
    {555, "\x83G\x83\x8a\x81[\x83g\x83n\x83X\x83J\x81[\x83\x8b"},  // エリートハスカール
    {556, "\x83G\x83\x8a\x81[\x83g\x83}\x83\x80\x83\x8b\x81[\x83N"},  // エリートマムルーク
    {557, "\x83G\x83\x8a\x81[\x83g\x83" "C\x83\x85\x83j\x83`\x83" "F\x83\x8a"},  // エリートイュニチェリ
    {558, "\x83G\x83\x8a\x81[\x83g\x83G\x83\x8c\x83t\x83@\x83\x93\x83g"},  // エリートエレファント
    {559, "\x89\xfc\x97\xc7\x8c^\x98" "A\x9cW\x95\xba"},  // 改良型連弩兵
    {560, "\x8c\x95\x8d\x8b"},  // 剣豪
    {561, "\x83G\x83\x8a\x81[\x83g\x83}\x83\x93\x83O\x83_\x83" "C"},  // エリートマングダイ
    {562, "\x94\xb0\x8d\xcc\x8f\x8a"},  // 伐採所
    {567, "\x8b\xdf\x89q\x8c\x95\x8em"},  // 近衛剣士
    {569, "\x8b\xdf\x89q\x8bR\x8em"},  // 近衛騎士
    {584, "\x8d\xcc\x8c@\x8f\x8a"},  // 採掘所
    {588, "\x94j\x8f\xe9\x93\x8a\x90\xce\x8b@"},  // 破城投石機
    {594, "\x97r"},  // 羊
    {598, "\x91O\x8f\xa3"},  // 前哨
    {599, "\x91\xe5\x90\xb9\x93\xb0"},  // 大聖堂
    {600, "\x8a\xf8\x81|\x82`"},  // 旗－Ａ
    {601, "\x8a\xf8\x81|\x82" "a"},  // 旗－Ｂ
    {602, "\x8a\xf8\x81|\x82" "b"},  // 旗－Ｃ
    {603, "\x8a\xf8\x81|\x82" "c"},  // 旗－Ｄ
    {604, "\x8a\xf8\x81|\x82" "d"},  // 旗－Ｅ
    {624, "\x83" "e\x83\x93\x83g"},  // テント
    {625, "\x83" "e\x83\x93\x83g"},  // テント
    {626, "\x83" "e\x83\x93\x83g"},  // テント
    {655, "\x83\x82\x83X\x83N"},  // モスク
    {684, "\x83" "A\x83J\x81[\x83X\x83g \x83^\x83\x8f\x81[ "},  // アカースト タワー 
    {685, "\x83v\x83\x89\x83" "C\x83Y \x83^\x83\x8f\x81["},  // プライズ タワー
    {689, "\x83s\x83\x89\x83~\x83" "b\x83h"},  // ピラミッド
    {690, "\x8a\xe2\x82\xcc\x83h\x81[\x83\x80"},  // 岩のドーム
    {691, "\x8b@\x93\xae\x83L\x83\x83\x83m\x83\x93\x83K\x83\x8a\x83I\x83\x93\x91" "D"},  // 機動キャノンガリオン船
    {692, "\x83x\x83\x8b\x83Z\x83\x8b\x83N"},  // ベルセルク
    {694, "\x83G\x83\x8a\x81[\x83g\x83x\x83\x8b\x83Z\x83\x8b\x83N"},  // エリートベルセルク
    {696, "\x91\xe5\x83s\x83\x89\x83~\x83" "b\x83h"},  // 大ピラミッド
    {700, "\x8e\xeb\x98T"},  // 狩狼
    {706, "\x94j\x89\xf3\x8dH\x8d\xec\x90l"},  // 破壊工作人
    {712, "\x96\x8b\x8e\xc9"},  // 幕舎
    {713, "\x96\x8b\x8e\xc9"},  // 幕舎
    {714, "\x96\x8b\x8e\xc9"},  // 幕舎
    {715, "\x96\x8b\x8e\xc9"},  // 幕舎
    {716, "\x96\x8b\x8e\xc9"},  // 幕舎
    {717, "\x96\x8b\x8e\xc9"},  // 幕舎
    {718, "\x96\x8b\x8e\xc9"},  // 幕舎
    {719, "\x96\x8b\x8e\xc9"},  // 幕舎
    {720, "\x83i\x83" "C\x83\x93 \x83o\x83\x93\x83h"},  // ナイン バンド
    {721, "\x81u\x81^\x81v\x82\xcc\x91" "D\x82\xcc\x8e" "c\x8a["},  // 「／」の船の残骸
    {722, "\x81u\x81_\x81v\x82\xcc\x91" "D\x82\xcc\x8e" "c\x8a["},  // 「＼」の船の残骸
    {725, "\x83W\x83\x83\x83K\x81[\x83" "E\x83H\x83\x8a\x83" "A"},  // ジャガーウォリア
    {726, "\x83G\x83\x8a\x81[\x83g\x83W\x83\x83\x83K\x81[\x83" "E\x83H\x83\x8a\x83" "A"},  // エリートジャガーウォリア
    {751, "\x83" "C\x81[\x83O\x83\x8b\x83" "E\x83H\x83\x8a\x83" "A"},  // イーグルウォリア
    {752, "\x83G\x83\x8a\x81[\x83g\x83" "C\x81[\x83O\x83\x8b\x83" "E\x83H\x83\x8a\x83" "A"},  // エリートイーグルウォリア
    {755, "\x83^\x83\x8b\x83J\x83\x93"},  // タルカン
    {757, "\x83G\x83\x8a\x81[\x83g\x83^\x83\x8b\x83J\x83\x93"},  // エリートタルカン
    {759, "\x83n\x83X\x83J\x81[\x83\x8b(\x90\xed\x8em\x88\xe7\x90\xac\x8f\x8a)"},  // ハスカール(戦士育成所)
    {761, "\x83G\x83\x8a\x81[\x83g\x83n\x83X\x83J\x81[\x83\x8b(\x90\xed\x8em\x88\xe7\x90\xac\x8f\x8a)"},  // エリートハスカール(戦士育成所)
    {763, "\x89H\x8f\xfc\x8e\xcb\x8e\xe8"},  // 羽飾射手
    {765, "\x90\xb8\x89s\x89H\x8f\xfc\x8e\xcb\x8e\xe8"},  // 精鋭羽飾射手
    {771, "\x83R\x83\x93\x83L\x83X\x83^\x83h\x81[\x83\x8b"},  // コンキスタドール
    {773, "\x83G\x83\x8a\x81[\x83g\x83R\x83\x93\x83L\x83X\x83^\x83h\x81[\x83\x8b"},  // エリートコンキスタドール
    {775, "\x90\xe9\x8b\xb3\x8et"},  // 宣教師
    {814, "\x94n"},  // 馬
    {817, "\x92\xa4\x91\x9c"},  // 彫像
    {827, "\x90\xed\x8e\xd4"},  // 戦車
    {829, "\x8b\xad\x89\xbb\x90\xed\x8e\xd4"},  // 強化戦車
    {831, "\x8bT\x8d" "b\x91" "D"},  // 亀甲船
    {832, "\x8f" "d\x91\x95\x8bT\x8d" "b\x91" "D"},  // 重装亀甲船
    {833, "\x8e\xb5\x96\xca\x92\xb9"},  // 七面鳥
    {837, "\x83}\x83" "b\x83v\x89\xc2\x8e\x8b\x95\x94\x95\xaa"},  // マップ可視部分
    {851, "\x8a\xf8"},  // 旗
};

// Players 0..8 and resources 0..3, indexed by value.
constexpr std::string_view playerNames[] = {
    "\x92n\x82\xcc\x8f\x97\x90_",                        // 地の女神
    "\x83v\x83\x8c\x83" "C\x83\x84\x81[ 1",              // プレイヤー 1
    "\x83v\x83\x8c\x83" "C\x83\x84\x81[ 2",              // プレイヤー 2
    "\x83v\x83\x8c\x83" "C\x83\x84\x81[ 3",              // プレイヤー 3
    "\x83v\x83\x8c\x83" "C\x83\x84\x81[ 4",              // プレイヤー 4
    "\x83v\x83\x8c\x83" "C\x83\x84\x81[ 5",              // プレイヤー 5
    "\x83v\x83\x8c\x83" "C\x83\x84\x81[ 6",              // プレイヤー 6
    "\x83v\x83\x8c\x83" "C\x83\x84\x81[ 7",              // プレイヤー 7
    "\x83v\x83\x8c\x83" "C\x83\x84\x81[ 8",              // プレイヤー 8
};

constexpr std::string_view resourceNames[] = {
    "\x8e\x91\x8c\xb9" "A",  // 資源A
    "\x8e\x91\x8c\xb9" "B",  // 資源B
    "\x8e\x91\x8c\xb9" "C",  // 資源C
    "\x8e\x91\x8c\xb9" "D",  // 資源D
};

constexpr NameEntry unitGroupNames[] = {
    {18, "\x90\xb9\x90" "E\x8e\xd2"},  // 聖職者
};

constexpr NameEntry unitTypeNames[] = {
    {4, "\x8cR\x91\xe0"},  // 軍隊
};

constexpr std::string_view unitGroupLabel = " \x83O\x83\x8b\x81[\x83v:";  //  グループ:
constexpr std::string_view unitTypeLabel = " \x8e\xed\x97\xde:";           //  種類:
constexpr std::string_view unknownPrefix = "\x95s\x96\xbe(";             // 不明(

// clang-format on

// A table indexed by value, built from its entries at compile time; an empty
// slot has no name.
template <std::size_t Size>
struct DenseTable {
    std::array<std::string_view, Size> slots{};

    template <std::size_t Count>
    constexpr explicit DenseTable(const NameEntry (&entries)[Count]) {
        for (const NameEntry& e : entries) slots[static_cast<std::size_t>(e.value)] = e.text;
    }
    template <std::size_t Count>
    constexpr explicit DenseTable(const std::string_view (&texts)[Count]) {
        for (std::size_t i = 0; i < Count; ++i) slots[i] = texts[i];
    }

    [[nodiscard]] constexpr std::string_view find(std::int32_t value) const {
        return value >= 0 && static_cast<std::size_t>(value) < Size ? slots[static_cast<std::size_t>(value)]
                                                                    : std::string_view{};
    }
};

template <std::size_t Count>
constexpr std::size_t slotsFor(const NameEntry (&entries)[Count]) {
    std::int32_t highest = 0;
    for (const NameEntry& e : entries) highest = e.value > highest ? e.value : highest;
    return static_cast<std::size_t>(highest) + 1;
}

constexpr DenseTable<slotsFor(technologyNames)> technologyTable(technologyNames);
constexpr DenseTable<slotsFor(objectNames)> objectTable(objectNames);
constexpr DenseTable<slotsFor(unitGroupNames)> unitGroupTable(unitGroupNames);
constexpr DenseTable<std::size(playerNames)> playerTable(playerNames);
constexpr DenseTable<std::size(resourceNames)> resourceTable(resourceNames);
constexpr DenseTable<slotsFor(unitTypeNames)> unitTypeTable(unitTypeNames);

std::string_view findName(NameKind kind, std::int32_t value) {
    switch (kind) {
        case NameKind::Technology: return technologyTable.find(value);
        case NameKind::Object: return objectTable.find(value);
        case NameKind::UnitGroup: return unitGroupTable.find(value);
        case NameKind::ConditionType:
        case NameKind::EffectType: break;  // the rows' (report/type_rows.h)
        case NameKind::Player: return playerTable.find(value);
        case NameKind::Resource: return resourceTable.find(value);
        case NameKind::UnitType: return unitTypeTable.find(value);
    }
    return {};
}

bool isKnownKind(NameKind kind) {
    const auto k = static_cast<std::int32_t>(kind);
    return k >= static_cast<std::int32_t>(NameKind::Technology) && k <= static_cast<std::int32_t>(NameKind::UnitType);
}

// -1 stands for "none" in these three kinds.
bool hasNoneValue(NameKind kind) {
    return kind == NameKind::Object || kind == NameKind::UnitGroup || kind == NameKind::UnitType;
}

}  // namespace

void appendName(ReportBuffer& out, NameKind kind, std::int32_t value, BodyVersion version, Label label) {
    if (!isKnownKind(kind)) return;
    std::string_view name = findName(kind, value);
    // The Definitive Edition's reports also know what that edition added.
    if (name.empty() && version.definitive()) name = findDefinitiveName(kind, value);
    if (name.empty() && value == -1 && hasNoneValue(kind)) return;

    if (label == Label::withLabel && kind == NameKind::UnitGroup) out.literal(unitGroupLabel);
    if (label == Label::withLabel && kind == NameKind::UnitType) out.literal(unitTypeLabel);
    if (!name.empty()) {
        out.literal(name);
        return;
    }
    appendUnknown(out, value);
}

void appendUnknown(ReportBuffer& out, std::int32_t value) {
    out.literal(unknownPrefix);
    out.alternateHex8(static_cast<std::uint32_t>(value));
    out.literal(')');
}

}  // namespace vantor
