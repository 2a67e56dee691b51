#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/files/data_dir.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "core/rules/classification.h"
#include "test_support.h"

namespace {

using sora::DataDir;
using sora::GraphAxisSettings;
using sora::test::bytes_of;
using sora::test::cp932;
using sora::test::ScratchDir;
using sora::test::write_bytes;

const std::filesystem::path SampleDir = std::filesystem::path(SORANOTE_SOURCE_DIR) / "data" / "sample";

TEST(SideFiles, EveryWriterProducesItsExactBytesAndReadsBack) {
    ScratchDir dir;
    const DataDir data(dir.path());

    ASSERT_TRUE(sora::write_help_tour_setting(data, 1).ok);
    // "ヘルプツアー",1 spelled out in CP932, so that a codec fault cannot hide behind a symmetric one.
    EXPECT_EQ(bytes_of(dir / "設定.txt"), "\"\x83\x77\x83\x8B\x83\x76\x83\x63\x83\x41\x81\x5B\",1\r\n");
    EXPECT_EQ(sora::read_help_tour_setting(data).value, 1);
    ASSERT_TRUE(sora::write_help_tour_setting(data, 0).ok);
    EXPECT_EQ(sora::read_help_tour_setting(data).value, 0);

    const GraphAxisSettings manual{0, 180, 60, 6, 110, 50, 6, 70, 55, 3};
    ASSERT_TRUE(sora::write_graph_settings(data, manual).ok);
    EXPECT_EQ(bytes_of(dir / "グラフ設定.txt"),
              cp932("\"自動設定\",0\r\n\"血圧最大値\",180\r\n\"血圧最小値\",60\r\n\"血圧刻み\",6\r\n"
                    "\"脈拍最大値\",110\r\n\"脈拍最小値\",50\r\n\"脈拍刻み\",6\r\n"
                    "\"体重最大値\",70\r\n\"体重最小値\",55\r\n\"体重刻み\",3\r\n"));
    EXPECT_EQ(sora::read_graph_settings(data).value, manual);

    ASSERT_TRUE(sora::write_auto_time(data, true).ok);
    EXPECT_EQ(bytes_of(dir / "自動時間.TXT"), "1\r\n");
    EXPECT_TRUE(sora::read_auto_time(data).value);

    ASSERT_TRUE(sora::write_memo(data, "一行目\r\n二行目\r\n三行目").ok);
    EXPECT_EQ(bytes_of(dir / "気付きメモ.txt"), cp932("一行目\r\n二行目\r\n三行目\r\n"));
    EXPECT_EQ(sora::read_memo(data).value, "一行目\r\n二行目\r\n三行目");

    ASSERT_TRUE(sora::write_user_name(data, "  空 太郎 ").ok);
    EXPECT_EQ(bytes_of(dir / "ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"\x8E\x81\x96\xBC\",\"  \x8B\xF3 \x91\xBE\x98\x59 \"\r\n");
    EXPECT_EQ(sora::read_user_name(data).value, "  空 太郎 ");

    ASSERT_TRUE(sora::write_marker_mode(data, 2).ok);
    EXPECT_EQ(bytes_of(dir / "マーカー.TXT"), "2\r\n");
    EXPECT_EQ(sora::read_marker_mode(data).value, 2);
    // A hand-edited mode above 2 reads without an error; the chart shows it like 2, the next click writes 0.
    write_bytes(dir / "マーカー.TXT", "3\r\n");
    const auto above = sora::read_marker_mode(data);
    EXPECT_TRUE(above.ok) << above.message;
    EXPECT_EQ(above.value, 3);

    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().extension().string().find("tmp"), std::string::npos) << entry.path();
    }
}

TEST(SideFiles, SituationListKeepsItemsWholeInEveryForm) {
    ScratchDir dir;
    const DataDir data(dir.path());
    // A plain line with a comma is two items; a quoted one is one; blanks around plain items go.
    write_bytes(dir / "状況リスト.txt", cp932("起床後\r\n 朝食後 , 昼食後\r\n\"夕食後,外食\"\r\n\r\n就寝前\r\n"));
    const auto read = sora::read_situations(data);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.value, (std::vector<std::string>{"起床後", "朝食後", "昼食後", "夕食後,外食", "就寝前"}));

    const std::vector<std::string> items{"起床後", "夕食後,外食", " 空白 ", "a\"b"};
    ASSERT_TRUE(sora::write_situations_plain(data, items).ok);
    EXPECT_EQ(bytes_of(dir / "状況リスト.txt"), cp932("起床後\r\n\"夕食後,外食\"\r\n\" 空白 \"\r\na”b\r\n"));
    EXPECT_EQ(sora::read_situations(data).value, (std::vector<std::string>{"起床後", "夕食後,外食", " 空白 ", "a”b"}));

    ASSERT_TRUE(sora::write_situations_quoted(data, {"起床後", "昼食後"}).ok);
    EXPECT_EQ(bytes_of(dir / "状況リスト.txt"), cp932("\"起床後\"\r\n\"昼食後\"\r\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "状況リストＣＨＧ.txt"));

    ASSERT_TRUE(sora::append_situation(data, "散歩後", true).ok);
    ASSERT_TRUE(sora::append_situation(data, "体操後", false).ok);
    ASSERT_TRUE(sora::append_situation(data, "a,b", false).ok);
    EXPECT_EQ(bytes_of(dir / "状況リスト.txt"),
              cp932("\"起床後\"\r\n\"昼食後\"\r\n\"散歩後\"\r\n体操後\r\n\"a,b\"\r\n"));
    EXPECT_EQ(sora::read_situations(data).value,
              (std::vector<std::string>{"起床後", "昼食後", "散歩後", "体操後", "a,b"}));

    // Lines of blanks or tabs and a DOS end-of-file byte hold no situation, also after an append behind them.
    write_bytes(dir / "状況リスト.txt", cp932("起床後\r\n \t \r\n就寝前\r\n\t\r\n\x1a"));
    EXPECT_EQ(sora::read_situations(data).value, (std::vector<std::string>{"起床後", "就寝前"}));
    ASSERT_TRUE(sora::append_situation(data, "散歩後", false).ok);
    EXPECT_EQ(sora::read_situations(data).value, (std::vector<std::string>{"起床後", "就寝前", "散歩後"}));

    // Deleting every situation leaves an empty file, which reads as an empty list.
    ASSERT_TRUE(sora::write_situations_plain(data, {}).ok);
    EXPECT_EQ(bytes_of(dir / "状況リスト.txt"), "");
    const auto empty = sora::read_situations(data);
    EXPECT_TRUE(empty.ok && !empty.missing && empty.value.empty());
}

TEST(SideFiles, MemoAndAutoTimeEdgeForms) {
    ScratchDir dir;
    const DataDir data(dir.path());
    // Bare line feeds from the memo box become CR LF in the file.
    ASSERT_TRUE(sora::write_memo(data, "a\nb\r\n\nc").ok);
    EXPECT_EQ(bytes_of(dir / "気付きメモ.txt"), "a\r\nb\r\n\r\nc\r\n");
    EXPECT_EQ(sora::read_memo(data).value, "a\r\nb\r\n\r\nc");
    ASSERT_TRUE(sora::write_memo(data, "").ok);
    EXPECT_EQ(sora::read_memo(data).value, "");
    write_bytes(dir / "気付きメモ.txt", "");
    EXPECT_EQ(sora::read_memo(data).value, "");

    // A DOS end-of-file byte is no part of the memo.
    write_bytes(dir / "気付きメモ.txt", "a\r\nb\r\n\x1a");
    EXPECT_EQ(sora::read_memo(data).value, "a\r\nb");

    for (const auto& [text, expected] : std::vector<std::pair<std::string, bool>>{
             {"1\r\n", true}, {"  1  \r\n", true}, {"0\r\n", false}, {" 0", false}, {"1\r\n\x1a", true}}) {
        write_bytes(dir / "自動時間.TXT", text);
        const auto read = sora::read_auto_time(data);
        EXPECT_TRUE(read.ok) << text;
        EXPECT_EQ(read.value, expected) << text;
    }
}

TEST(SideFiles, GraphSettingsGoByLinePosition) {
    ScratchDir dir;
    const DataDir data(dir.path());
    std::string edited;
    const int values[] = {0, 190, 50, 7, 130, 45, 5, 80, 40, 4};
    for (int i = 0; i < 10; ++i) {
        edited += "\"ラベル" + std::to_string(i) + "\"," + std::to_string(values[i]) + "\r\n";
    }
    write_bytes(dir / "グラフ設定.txt", cp932(edited));
    EXPECT_EQ(sora::read_graph_settings(data).value, (GraphAxisSettings{0, 190, 50, 7, 130, 45, 5, 80, 40, 4}));

    // Any value other than 0 in the first line means automatic.
    write_bytes(dir / "グラフ設定.txt", cp932("\"自動設定\",5\r\n" + edited.substr(edited.find('\n') + 1)));
    EXPECT_EQ(sora::read_graph_settings(data).value.autoScale, 1);
}

TEST(SideFiles, MissingFilesGiveTheirFallbacks) {
    ScratchDir dir;
    const DataDir data(dir.path());
    const auto tour = sora::read_help_tour_setting(data);
    const auto graph = sora::read_graph_settings(data);
    const auto autoTime = sora::read_auto_time(data);
    const auto situations = sora::read_situations(data);
    const auto memo = sora::read_memo(data);
    const auto name = sora::read_user_name(data);
    const auto marker = sora::read_marker_mode(data);
    EXPECT_TRUE(tour.ok && tour.missing && tour.value == 0);
    EXPECT_TRUE(graph.ok && graph.missing);
    EXPECT_EQ(graph.value, (GraphAxisSettings{1, 200, 40, 8, 120, 40, 8, 100, 30, 7}));
    EXPECT_TRUE(autoTime.ok && autoTime.missing && !autoTime.value);
    EXPECT_TRUE(situations.ok && situations.missing && situations.value.empty());
    EXPECT_TRUE(memo.ok && memo.missing && memo.value.empty());
    EXPECT_TRUE(name.ok && name.missing && name.value.empty());
    EXPECT_TRUE(marker.ok && marker.missing && marker.value == 0);
}

TEST(SideFiles, MalformedFilesNameFileAndLine) {
    ScratchDir dir;
    const DataDir data(dir.path());
    std::string nineLines;
    for (int i = 0; i < 9; ++i) {
        nineLines += "\"x\",1\r\n";
    }
    struct Case {
        std::string file;
        std::string bytes;
        std::function<sora::SideFileRead<int>()> read;
        std::string message;
        bool raw = false;  // bytes that are not valid CP932, written as they are
    };
    auto asInt = [](auto read) {
        return [read] {
            const auto r = read();
            return sora::SideFileRead<int>{0, r.ok, r.missing, r.message};
        };
    };
    const std::vector<Case> cases{
        {"設定.txt", "\"ヘルプツアー\"\r\n", asInt([&] { return sora::read_help_tour_setting(data); }),
         "設定.txt の 1 行目が読めません。"},
        {"グラフ設定.txt", nineLines, asInt([&] { return sora::read_graph_settings(data); }),
         "グラフ設定.txt の 10 行目が読めません。"},
        {"グラフ設定.txt", "\"a\",1\r\n\"b\",40000\r\n" + nineLines,
         asInt([&] { return sora::read_graph_settings(data); }), "グラフ設定.txt の 2 行目が読めません。"},
        {"自動時間.TXT", "yes\r\n", asInt([&] { return sora::read_auto_time(data); }),
         "自動時間.TXT の 1 行目が読めません。"},
        {"ﾌﾟﾗｲﾍﾞｰﾄ.txt", "", asInt([&] { return sora::read_user_name(data); }), "ﾌﾟﾗｲﾍﾞｰﾄ.txt の 1 行目が読めません。"},
        {"マーカー.TXT", "-1\r\n", asInt([&] { return sora::read_marker_mode(data); }),
         "マーカー.TXT の 1 行目が読めません。"},
        {"状況リスト.txt", "a\r\nb\x82\r\n", asInt([&] { return sora::read_situations(data); }),
         "状況リスト.txt の 2 行目が読めません（文字コードが正しくありません）。", true},
        {"気付きメモ.txt", "\x81", asInt([&] { return sora::read_memo(data); }),
         "気付きメモ.txt の 1 行目が読めません（文字コードが正しくありません）。", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        write_bytes(dir / c.file, c.raw ? c.bytes : cp932(c.bytes));
        const auto read = c.read();
        EXPECT_FALSE(read.ok);
        EXPECT_FALSE(read.missing);
        EXPECT_EQ(read.message, c.message);
        std::filesystem::remove(dir / c.file);
    }
    // The fallback value stays in place of a malformed file.
    write_bytes(dir / "グラフ設定.txt", nineLines);
    EXPECT_EQ(sora::read_graph_settings(data).value, GraphAxisSettings{});
}

TEST(SideFiles, RefuseTextsTheFileCannotHold) {
    ScratchDir dir;
    const DataDir data(dir.path());
    ASSERT_TRUE(sora::write_user_name(data, "空").ok);
    const std::string before = bytes_of(dir / "ﾌﾟﾗｲﾍﾞｰﾄ.txt");
    const auto refused = sora::write_user_name(data, "空😀");
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), std::string::npos);
    EXPECT_EQ(bytes_of(dir / "ﾌﾟﾗｲﾍﾞｰﾄ.txt"), before);
    EXPECT_FALSE(sora::write_memo(data, "🍙").ok);
    EXPECT_FALSE(sora::append_situation(data, "🍙", true).ok);
    EXPECT_FALSE(sora::write_situations_plain(data, {"a", "🍙"}).ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "気付きメモ.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "状況リスト.txt"));
}

TEST(SideFiles, WindowTitles) {
    EXPECT_EQ(sora::window_title_for("空 太郎"), " 空 太郎 の ソラノート＋");
    EXPECT_EQ(sora::window_title_for("空 太郎", true), " 空 太郎 のソラノート＋");
    EXPECT_EQ(sora::window_title_for(""), " ソラノート＋");
    EXPECT_EQ(sora::window_title_for("", true), " ソラノート＋");
}

TEST(DataDir, FindsFilesWhateverTheCaseOfTheirAsciiLetters) {
    ScratchDir dir;
    const DataDir data(dir.path());
    EXPECT_EQ(data.find("設定.txt"), dir / "設定.txt");  // none yet: the canonical name
    write_bytes(dir / "設定.TXT", "\"ヘルプツアー\",1\r\n");
    write_bytes(dir / "自動時間.txt", "1\r\n");
    EXPECT_EQ(data.find("設定.txt"), dir / "設定.TXT");
    EXPECT_EQ(data.find("自動時間.TXT"), dir / "自動時間.txt");
    EXPECT_EQ(data.find("ﾌﾟﾗｲﾍﾞｰﾄ.TXT"), dir / "ﾌﾟﾗｲﾍﾞｰﾄ.TXT");
    // Writers keep the existing spelling instead of adding a second file.
    ASSERT_TRUE(sora::write_help_tour_setting(data, 0).ok);
    ASSERT_TRUE(sora::write_auto_time(data, false).ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "設定.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "自動時間.TXT"));
    EXPECT_EQ(sora::read_help_tour_setting(data).value, 0);
    EXPECT_FALSE(sora::read_auto_time(data).value);
}

TEST(DataDir, DefaultLocationFollowsXdg) {
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldXdg != nullptr ? oldXdg : "";
    ::setenv("XDG_DATA_HOME", "/srv/xdg", 1);
    EXPECT_EQ(sora::default_data_dir(), std::filesystem::path("/srv/xdg/soranote"));
    ::setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_EQ(sora::default_data_dir().filename(), "soranote");
    EXPECT_EQ(sora::default_data_dir().parent_path().filename(), "share");
    if (oldXdg != nullptr) {
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

TEST(DataDir, InstallsTheSampleOnlyWhereNoLogExists) {
    ScratchDir dir;
    const auto target = dir / "new" / "data";
    std::string message;
    ASSERT_TRUE(sora::install_sample_if_needed(target, SampleDir, message)) << message;
    std::size_t copied = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SampleDir)) {
        ++copied;
        EXPECT_EQ(bytes_of(target / entry.path().filename()), bytes_of(entry.path())) << entry.path();
    }
    EXPECT_EQ(copied, 8u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target), {}), 8);

    // With a log in place nothing is touched.
    write_bytes(target / "データ.txt", "mine");
    write_bytes(target / "設定.txt", "mine too");
    ASSERT_TRUE(sora::install_sample_if_needed(target, SampleDir, message));
    EXPECT_EQ(bytes_of(target / "データ.txt"), "mine");

    // Without a log the sample comes in, but a side file the user already has stays.
    std::filesystem::remove(target / "データ.txt");
    ASSERT_TRUE(sora::install_sample_if_needed(target, SampleDir, message));
    EXPECT_EQ(bytes_of(target / "データ.txt"), bytes_of(SampleDir / "データ.txt"));
    EXPECT_EQ(bytes_of(target / "設定.txt"), "mine too");

    EXPECT_FALSE(sora::install_sample_if_needed(dir / "other", dir / "no-sample", message));
    EXPECT_FALSE(message.empty());
}

TEST(DataDir, AMissingLogOfTheUsersOwnDiaryIsNotReplacedByTheSample) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> setUp;
        bool installs;
    };
    const std::vector<Case> cases = {
        {"own name", [](const auto& d) { write_bytes(d / "ﾌﾟﾗｲﾍﾞｰﾄ.txt", cp932("\"氏名\",\"山田\"\r\n")); }, false},
        {"own memo", [](const auto& d) { write_bytes(d / "気付きメモ.txt", cp932("薬を変えた\r\n")); }, false},
        {"kept log", [](const auto& d) { write_bytes(d / "データ_20240101_101500.txt", "x\r\n"); }, false},
        {"automatic copy",
         [](const auto& d) {
             std::filesystem::create_directory(d / "backup");
             write_bytes(d / "backup" / "データ_20240101_101500_2.txt", "x\r\n");
         },
         false},
        {"a backup folder without copies",
         [](const auto& d) {
             std::filesystem::create_directory(d / "backup");
             write_bytes(d / "backup" / "メモ.txt", "x\r\n");
         },
         true},
        {"dangling link",
         [](const auto& d) { std::filesystem::create_symlink(d / "mnt" / "データ.txt", d / "データ.txt"); }, false},
        {"the sample's own files",
         [](const auto& d) {
             for (const char* name : {"ﾌﾟﾗｲﾍﾞｰﾄ.txt", "気付きメモ.txt", "設定.txt"}) {
                 std::filesystem::copy_file(SampleDir / name, d / name);
             }
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        c.setUp(dir.path());
        const std::size_t before =
            static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
        std::string message;
        ASSERT_TRUE(sora::install_sample_if_needed(dir.path(), SampleDir, message));
        if (c.installs) {
            EXPECT_TRUE(message.empty()) << message;
            EXPECT_EQ(bytes_of(dir / "データ.txt"), bytes_of(SampleDir / "データ.txt"));
            continue;
        }
        EXPECT_NE(message.find((dir / "データ.txt").string()), std::string::npos) << message;
        EXPECT_EQ(static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {})), before);
        EXPECT_FALSE(std::filesystem::exists(dir / "データ.txt"));
        // A save writes nothing until the log is back or a new diary is started.
        EXPECT_FALSE(
            sora::MeasurementLog(sora::DataDir(dir.path())).append({"2005/02/02", "朝", 120, 80, 70, "", 60}).ok);
        EXPECT_FALSE(std::filesystem::exists(dir / "データ.txt"));
    }
}

TEST(SampleDiary, MeetsWhatSampleModeAndTheScreensNeed) {
    const DataDir data(SampleDir);
    // Every file is CP932 with CR LF only.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SampleDir)) {
        ++files;
        const std::string bytes = bytes_of(entry.path());
        EXPECT_TRUE(sora::cp932_to_utf8(bytes).has_value()) << entry.path();
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << entry.path();
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << entry.path() << " byte " << i;
            }
        }
    }
    EXPECT_EQ(files, 8u);

    const auto log = sora::MeasurementLog(data).read_all();
    ASSERT_TRUE(log.ok) << log.message;
    ASSERT_FALSE(log.records.empty());
    EXPECT_EQ(log.records.front().date, sora::SampleStartDate);
    EXPECT_EQ(log.records.front().situation, "はじめの一歩");
    const std::string logBytes = bytes_of(SampleDir / "データ.txt");
    EXPECT_NE(logBytes.substr(0, logBytes.find("\r\n")).find(",,"), std::string::npos);  // the start-record form
    EXPECT_GE(log.records.back().date, "2005/03/01");

    std::set<sora::BpClass> classes;
    std::map<std::string, int> perDay;
    bool decimals = false;
    bool comma = false;
    bool timeOfDay = false;
    for (std::size_t i = 0; i < log.records.size(); ++i) {
        const auto& r = log.records[i];
        classes.insert(sora::classify(r.systolic, r.diastolic));
        ++perDay[r.date];
        decimals |= r.weight != static_cast<int>(r.weight);
        comma |= r.diary.find(',') != std::string::npos;
        timeOfDay |= r.diary.size() >= 7 && r.diary[r.diary.size() - 3] == ':';
        if (i > 0) {
            EXPECT_LE(log.records[i - 1].date, r.date);
        }
        EXPECT_GT(r.weight, 61.9f);
        EXPECT_LT(r.weight, 64.5f);
    }
    EXPECT_EQ(classes.size(), 7u);
    EXPECT_GE(perDay[sora::SampleShownDate], 3);
    EXPECT_TRUE(decimals && comma && timeOfDay);
    EXPECT_GE(perDay.size(), 20u);
    EXPECT_LT(perDay.size(), 29u);  // some days of February stay empty

    EXPECT_EQ(sora::read_user_name(data).value, sora::SampleUserName);
    const auto situations = sora::read_situations(data).value;
    EXPECT_GE(situations.size(), 6u);
    EXPECT_LE(situations.size(), 10u);
    EXPECT_NE(std::find(situations.begin(), situations.end(), "はじめの一歩"), situations.end());
    EXPECT_EQ(sora::read_help_tour_setting(data).value, 1);
    EXPECT_EQ(sora::read_graph_settings(data).value, GraphAxisSettings{});
    EXPECT_TRUE(sora::read_auto_time(data).value);
    EXPECT_EQ(sora::read_marker_mode(data).value, 0);
    EXPECT_FALSE(sora::read_memo(data).value.empty());
}

}  // namespace
