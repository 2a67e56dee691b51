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

# The situation chosen, each value box by its name, a typed value, and the save button.
KEY_PHRASES = ["状況選択", "起床後", "最高血圧", "最低血圧", "脈拍", "体重", "133", "保存"]


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
        enter_reading(session, ["133", "86", "70", "62.8"])
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
    missing = [phrase for phrase in KEY_PHRASES if phrase not in text]
    if missing:
        print("FAILED: Orca never said", missing)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
