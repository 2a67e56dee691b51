"""Orca check: what Orca would speak while a reading is entered and saved by keyboard, from its debug output.
Usage (inside run_in_session.sh): orca_check.py PROGRAM TRANSCRIPT_OUT
Writes the spoken lines to TRANSCRIPT_OUT and fails when one of the key phrases is missing."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from diary_session import Session, enter_reading, pump

# The situation list and the situation chosen, each value box by its name, and the save button.
KEY_PHRASES = ["状況選択", "夕食後", "最高血圧", "最低血圧", "脈拍", "体重", "保存"]
READING = [("最高血圧", "133"), ("最低血圧", "86"), ("脈拍", "70"), ("体重", "62.8")]


def typed_per_box(lines):
    """What Orca echoed key by key in each value box: the keys between the Space that chose the situation (the
    focus moves to the first box) and each Enter that moves on. Box names may come before or after the first
    echoes when the machine is busy, so only the keys are counted."""
    try:
        start = next(i for i, line in enumerate(lines) if line.strip() == "space")
    except StopIteration:
        return []
    boxes, typed = [], ""
    for line in lines[start + 1:]:
        word = line.strip()
        if word == "return":
            boxes.append(typed)
            typed = ""
        elif word == "dot":
            typed += "."
        elif len(word) == 1:
            typed += word
    return boxes


def spoken_lines(debug_file):
    lines = []
    with open(debug_file, encoding="utf-8", errors="replace") as log:
        for line in log:
            match = re.search(r"SPEECH OUTPUT: '(.*?)'", line)
            if match and match.group(1).strip():
                lines.append(match.group(1))
    return lines


def main():
    if shutil.which("orca") is None:
        print("SKIPPED: orca is not installed (Debian package orca)")
        return 77
    program, transcript = sys.argv[1], sys.argv[2]
    prefs = tempfile.mkdtemp(prefix="orca-prefs-")
    debug_file = os.path.join(prefs, "orca-debug.out")
    # No synthesizer is needed: Orca writes every utterance to its debug output before handing it on.
    orca = subprocess.Popen(["orca", "--replace", "-u", prefs, "--debug-file", debug_file],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(4)
    session = Session(program)
    try:
        pump(3)
        enter_reading(session, ["133", "86", "70", "62.8"], pace=3)
        pump(2)
    finally:
        session.close()
        orca.terminate()
        try:
            orca.wait(10)
        except subprocess.TimeoutExpired:
            orca.kill()
    lines = spoken_lines(debug_file)
    with open(transcript, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")
    print("\n".join(lines))
    text = "\n".join(lines)
    failures = [f"Orca never said {phrase}" for phrase in KEY_PHRASES if phrase not in text]
    echoed = typed_per_box(lines)
    for index, (box, value) in enumerate(READING):
        said = echoed[index] if index < len(echoed) else None
        if said != value:
            failures.append(f"in {box} Orca echoed {said!r}, typed was {value!r}")
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
