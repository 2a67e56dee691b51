#pragma once

#include <string>

#include "fault_sweep.h"
#include "test_support.h"

namespace sora::test {

/// A small log of the user's own: a start record, a later record of the start day, two later days.
inline const std::string OwnLogText =
    "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n"
    "\"2005/02/01\",\"起床後\",125,79,66,\"\",62.6\r\n"
    "\"2005/02/03\",\"夕食後\",131,84,68,\"7:05:09\",62.4\r\n"
    "\"2005/02/05\",\"起床後\",150,85,72,\"晴れ, 散歩\",63\r\n";

/// That log with every side file: help tour off, manual axes, a named user.
inline Snapshot own_diary_files(const std::string& memo = "血圧は朝に測る。\r\n", const std::string& marker = "0\r\n") {
    return {
        {"データ.txt", cp932(OwnLogText)},
        {"設定.txt", cp932("\"ヘルプツアー\",0\r\n")},
        {"グラフ設定.txt", cp932("\"自動設定\",0\r\n\"血圧最大値\",200\r\n\"血圧最小値\",40\r\n\"血圧刻み\",8\r\n"
                                 "\"脈拍最大値\",120\r\n\"脈拍最小値\",40\r\n\"脈拍刻み\",8\r\n"
                                 "\"体重最大値\",100\r\n\"体重最小値\",30\r\n\"体重刻み\",7\r\n")},
        {"自動時間.TXT", "0\r\n"},
        {"状況リスト.txt", cp932("起床後\r\n夕食後\r\n\"はじめの一歩\"\r\n")},
        {"気付きメモ.txt", cp932(memo)},
        {"ﾌﾟﾗｲﾍﾞｰﾄ.txt", cp932("\"氏名\",\"花子\"\r\n")},
        {"マーカー.TXT", marker},
    };
}

}  // namespace sora::test
