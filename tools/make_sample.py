#!/usr/bin/env python3
"""Writes the sample diary of data/sample/ (CP932, CR LF). Deterministic: the same files on every run.

Usage: tools/make_sample.py [OUTPUT_DIR]   (default: data/sample next to this script's parent)
"""
import datetime
import pathlib
import random
import sys

SAMPLE_NAME = "サンプル"  # must equal sora::SampleUserName
SITUATIONS = ["はじめの一歩", "起床後", "朝食後", "昼食後", "夕食後", "運動後", "入浴後", "就寝前"]
# Typical time of day of each situation (hour, minute) for the automatic time texts.
TIMES = {"起床後": (6, 40), "朝食後": (7, 55), "昼食後": (12, 50), "夕食後": (19, 10), "運動後": (17, 20),
         "入浴後": (21, 5), "就寝前": (22, 40)}
EMPTY_DAYS = {5, 13, 20, 26}  # days of February without a measurement
NOTES = ["少し頭が重い", "散歩30分", "今日は晴れ,気分も良い", "減塩を心がけた", "よく眠れた", "仕事が忙しかった"]

# Measurements fixed by hand so that the sample shows every class (systolic, diastolic).
FIXED = {
    "2005/02/09": [("起床後", 146, 92, "7:05:09"), ("朝食後", 135, 86, "8:02:41"), ("昼食後", 124, 79, ""),
                   ("夕食後", 118, 76, "今日は晴れ,気分も良い"), ("就寝前", 128, 82, "22:31:15")],
    "2005/02/15": [("起床後", 164, 102, "6:52:30"), ("朝食後", 141, 91, ""), ("就寝前", 131, 84, "")],
    "2005/02/17": [("起床後", 129, 83, ""), ("運動後", 152, 84, "散歩30分"), ("入浴後", 116, 74, "")],
    "2005/02/22": [("起床後", 182, 112, "薬を飲み忘れた"), ("朝食後", 158, 98, "7:58:02"), ("夕食後", 136, 87, "")],
}


def bp_class(s, d):
    c = 1
    if s < 120 and d < 80:
        c = 1
    if (120 <= s < 130 or 80 <= d < 85) and s < 130 and d < 85:
        c = 2
    if 130 <= s < 140 or 85 <= d < 90:
        c = 3
    if 140 <= s < 160 or 90 <= d < 100:
        c = 4
    if 160 <= s < 180 or 100 <= d < 110:
        c = 5
    if s >= 180 or d >= 110:
        c = 6
    if s >= 140 and d < 90:
        c = 7
    return c


def quoted(text):
    return '"' + text + '"'


def line(date, situation, s, d, p, diary, w, start=False):
    diary_field = "" if start and diary == "" else quoted(diary)
    return ",".join([quoted(date), quoted(situation), str(s), str(d), str(p), diary_field, f"{w:g}"])


def make_log():
    rng = random.Random(20050201)
    weight = 63.4
    lines = [line("2005/02/01", "はじめの一歩", 128, 82, 72, "", weight, start=True)]
    classes = set([bp_class(128, 82)])
    day = datetime.date(2005, 2, 1)
    while day <= datetime.date(2005, 3, 1):
        date = day.strftime("%Y/%m/%d")
        if day.month == 2 and day.day in EMPTY_DAYS:
            day += datetime.timedelta(days=1)
            continue
        if date in FIXED:
            todays = FIXED[date]
        else:
            count = 2 if day.day == 1 and day.month == 2 else rng.choice([3, 3, 4, 4, 5])
            names = sorted(rng.sample(SITUATIONS[1:], count), key=lambda n: TIMES[n])
            todays = []
            for name in names:
                s = round(rng.gauss(126, 6))
                d = round(0.55 * s + rng.gauss(11, 3))
                roll = rng.random()
                if roll < 0.45:
                    h, m = TIMES[name]
                    minutes = h * 60 + m + rng.randint(0, 14)
                    diary = f"{minutes // 60}:{minutes % 60:02d}:{rng.randint(0, 59):02d}"
                elif roll < 0.6:
                    diary = rng.choice(NOTES[:2] + NOTES[3:])
                else:
                    diary = ""
                todays.append((name, s, d, diary))
        for name, s, d, diary in todays:
            weight = round(min(64.2, max(62.0, weight + rng.choice([-0.3, -0.2, -0.1, 0.0, 0.1, 0.2]))), 1)
            pulse = round(rng.gauss(68, 4))
            lines.append(line(date, name, s, d, pulse, diary, weight))
            classes.add(bp_class(s, d))
        day += datetime.timedelta(days=1)
    assert classes == set(range(1, 8)), classes
    return lines


def write(out, name, lines):
    (out / name).write_bytes("".join(l + "\r\n" for l in lines).encode("cp932"))


def main():
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent / "data" / "sample"
    out.mkdir(parents=True, exist_ok=True)
    write(out, "データ.txt", make_log())
    write(out, "設定.txt", ['"ヘルプツアー",1'])
    labels = ["自動設定", "血圧最大値", "血圧最小値", "血圧刻み", "脈拍最大値", "脈拍最小値", "脈拍刻み",
              "体重最大値", "体重最小値", "体重刻み"]
    values = [1, 200, 40, 8, 120, 40, 8, 100, 30, 7]
    write(out, "グラフ設定.txt", [f'"{l}",{v}' for l, v in zip(labels, values)])
    write(out, "自動時間.TXT", ["1"])
    write(out, "状況リスト.txt", SITUATIONS)
    write(out, "気付きメモ.txt", ["毎朝、起きてすぐに測るようにしています。", "塩分ひかえめの食事を続けてみます。",
                                  "週末は家族で散歩！"])
    write(out, "ﾌﾟﾗｲﾍﾞｰﾄ.txt", [f'"氏名","{SAMPLE_NAME}"'])
    write(out, "マーカー.TXT", ["0"])


if __name__ == "__main__":
    main()
