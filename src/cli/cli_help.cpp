#include "cli/cli.h"

namespace cli {

std::string help() {
    // The same commands as the manual page, short enough for one screen.
    return usage() + "\n\n" +
           "ソラノート＋の日記を読み、画面に出る内容をタブ区切りのテキストか JSON で書き出します。\n"
           "日記のファイルには書き込みません（書くのは export の --output で指定したファイルだけです）。\n"
           "\n"
           "オプション:\n"
           "  --data-dir DIR        この日記フォルダを読む（既定: ~/.local/share/soranote）\n"
           "  --today YYYY/MM/DD    この日を今日とする\n"
           "  --json                JSON で書き出す\n"
           "  -h, --help            この説明を表示して終了する\n"
           "\n"
           "コマンド:\n"
           "  day YYYY/MM/DD        メインの一日分（一覧、統計、グラフ）\n"
           "  filter --from TEXT --to TEXT [--weekday 0-6] [--keyword TEXT]\n"
           "                        範囲指定の一覧（曜日は 0 が日曜、6 が土曜）\n"
           "  averages [--from YY/MM/DD --to YY/MM/DD]\n"
           "                        日平均\n"
           "  list [--sort COLUMN [--descending]]\n"
           "                        並び替え（並び替え画面の列: 0 回, 2 行動, 4 最高, 5 最低, 6 高低, 7 脈拍,\n"
           "                        8 体重, 9 一言日記, 10 血圧判定）\n"
           "  calendar [--simple]   カレンダー（血圧判定カレンダー）\n"
           "  trend                 全グラフ\n"
           "  diary                 一言日記\n"
           "  report [--from YYYY/MM/DD --to YYYY/MM/DD]\n"
           "                        家庭血圧レポート（JSH2025 か主治医の目標で判定。既定は今日までの 28 日、\n"
           "                        最長 36,600 日）\n"
           "  export --csv [--from TEXT --to TEXT] [--weekday 0-6] [--keyword TEXT] [--output FILE [--overwrite]]\n"
           "                        範囲指定で一覧に出る記録の CSV（UTF-8、BOM 付き、CR "
           "LF。絞り込みは期間なしでも効く）\n"
           "  import --check FILE [--map ROLE=COLUMN,...] [--separator ','|';'|tab] [--encoding utf-8|cp932|utf-16]\n"
           "         [--date-order ymd|dmy|mdy]\n"
           "                        取り込みの下見（追加・登録済み・要確認・読めない行）。何も書き込みません。\n"
           "                        ROLE は 日付 時刻 日付と時刻 最高血圧 最低血圧 脈拍 体重 一言日記 使わない、\n"
           "                        COLUMN は 1 からの列番号か見出し\n"
           "  conflicts             同期ツールが残した競合コピーと、記録のコピーにあって日記にない測定\n"
           "\n"
           "終了コード: 0 成功、2 日記を読めない、64 コマンドや引数の誤り、65 取り込む CSV "
           "の列や日付の順が決まらない、\n"
           "66 取り込むファイルを読めない、73 書き出し先に書けない、74 出力を書けない\n"
           "詳しくは man soranote-cli をご覧ください。\n";
}

}  // namespace cli
