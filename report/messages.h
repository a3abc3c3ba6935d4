// The messages that the user is shown, as cp932 byte strings.
#pragma once

#include <string_view>

#include "platform/files.h"

namespace vantor {

enum class Message {
    openFailed,           // ファイルをオープンできませんでした
    createFailed,         // ファイルの作成に失敗しました
    decompressionFailed,  // 解凍エラーです
    backgroundImage,      // 背景画像を含むデータには未対応です。
    unsupportedVersion,   // 未対応のバージョンのシナリオです。
    unreadableBody,       // シナリオのデータが壊れているか、未対応の形式です。
    removeFailed,         // 一時ファイルを削除できませんでした。
    outOfMemory,          // メモリが不足しています。
    viewerFailed,         // ビューアを起動できませんでした。
    scenarioInTheWay,     // 出力先がシナリオ自身のため、レポートを出力できません。
    scenarioReplaced,  // 処理中にシナリオが置き換えられたため、レポートを出力しませんでした。
    outputClosed,  // 標準出力が閉じられたため、書き込めませんでした。
};

std::string_view messageText(Message message) noexcept;

// What the core needs of the program around it: the two things a user sees.
class UserActions {
public:
    virtual ~UserActions() = default;
    // A message box (or its equivalent) with the cp932 text; returns when the
    // user has seen it.
    virtual void showMessage(Message message) = 0;
    // Hands a written report to the user's viewer for text files.
    virtual void openInViewer(const platform::Path& reportPath) = 0;
    // The message of one scenario inside a campaign, named by its file name
    // as the campaign stores it (cp932); the campaign's report goes on.
    virtual void showScenarioMessage(std::string_view fileName, Message message) = 0;
};

}  // namespace vantor
