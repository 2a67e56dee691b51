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

from diary_session import Session, enter_reading, pump, stop

# The situation list and the situation chosen, each value box by its name, and the save button.
KEY_PHRASES = ["状況選択", "夕食後", "最高血圧", "最低血圧", "脈拍", "体重", "保存"]
READING = [("最高血圧", "133"), ("最低血圧", "86"), ("脈拍", "70"), ("体重", "62.8")]


def typed_per_box(lines):
    """What Orca echoed key by key in each value box: the keys between the Space that chose the situation (the
    focus moves to the first box) and each Enter that moves on. Box names may come before or after the first
    echoes when the machine is busy, so only the keys are counted."""
    words = [line.strip() for line in lines]
    boxes, typed = [], ""
    for word in words[words.index("space") + 1:] if "space" in words else []:
        if word == "return":
            boxes.append(typed)
            typed = ""
        elif len(word) == 1 or word == "dot":
            typed += "." if word == "dot" else word
    return boxes


def spoken(debug_file):
    """Every utterance in Orca's debug output so far (none before Orca has written it)."""
    if not os.path.exists(debug_file):
        return []
    with open(debug_file, encoding="utf-8", errors="replace") as log:
        return [m.group(1) for m in (re.search(r"SPEECH OUTPUT: '(.*?)'", line) for line in log)
                if m and m.group(1).strip()]


def wait_until_said(debug_file, phrase, seconds):
    """Orca speaks behind the keys on a busy machine: waits until it has said `phrase`, or the time is up."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and not any(phrase in line for line in spoken(debug_file)):
        pump(0.5)


def main():
    if shutil.which("orca") is None:
        print("SKIPPED: orca is not installed (Debian package orca)")
        return 77
    program, transcript = sys.argv[1], sys.argv[2]
    debug_file = os.path.join(tempfile.mkdtemp(prefix="orca-prefs-"), "orca-debug.out")
    # No synthesizer is needed: Orca writes every utterance to its debug output before handing it on.
    orca = subprocess.Popen(["orca", "--replace", "-u", os.path.dirname(debug_file), "--debug-file", debug_file],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(4)
    session = Session(program)
    try:
        pump(3)
        enter_reading(session, [value for _, value in READING], pace=3)
        wait_until_said(debug_file, KEY_PHRASES[-1], 30)
        pump(2)
    finally:
        session.close()
        stop(orca)
    lines = spoken(debug_file)
    text = "\n".join(lines)
    with open(transcript, "w", encoding="utf-8") as out:
        out.write(text + "\n")
    print(text)
    failures = [f"Orca never said {phrase}" for phrase in KEY_PHRASES if phrase not in text]
    echoed = typed_per_box(lines) + [None] * len(READING)
    failures += [f"in {box} Orca echoed {said!r}, typed was {value!r}"
                 for (box, value), said in zip(READING, echoed) if said != value]
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
