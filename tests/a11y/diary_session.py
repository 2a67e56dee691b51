"""The program in a real window, seen and driven through AT-SPI as a screen reader does (python3-pyatspi)."""
import os
import subprocess
import tempfile
import time

import pyatspi
from gi.repository import GLib

# A small diary of one's own (no sample notice, no help tour), so the window opens without a message.
DIARY = {
    "データ.txt": ['"2005/02/27","起床後",128,82,66,"7:10:00",62.5', '"2005/02/28","起床後",131,84,64,"7:05:00",62.4'],
    "状況リスト.txt": ["起床後", "夕食後", "就寝前"],
    "設定.txt": ['"ヘルプツアー",0'],
    "ﾌﾟﾗｲﾍﾞｰﾄ.txt": ['"氏名","山田"'],
}
KEYSYMS = {"Return": 0xFF0D, "Down": 0xFF54, "space": 0x20}


def pump(seconds):
    """Lets AT-SPI events arrive for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def stop(process):
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()


class Session:
    def __init__(self, program):
        self.folder = tempfile.mkdtemp(prefix="soranote-a11y-")
        for name, lines in DIARY.items():
            with open(os.path.join(self.folder, name), "wb") as out:
                out.write("".join(line + "\r\n" for line in lines).encode("cp932"))
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   LANG="ja_JP.UTF-8", LC_ALL="C.UTF-8", TZ="Asia/Tokyo")
        self.focus_events = []
        pyatspi.Registry.registerEventListener(self._on_focus, "object:state-changed:focused")
        self.process = subprocess.Popen([program, "--data-dir", self.folder], env=env)
        self.app = self._find_app()
        # Without a window manager nothing gives the window the keyboard: a click into its empty margin does.
        pump(1)
        extents = self.window().queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(extents.x + 2, extents.y + 2, "abs")
        pyatspi.Registry.generateMouseEvent(extents.x + 2, extents.y + 2, "b1c")
        pump(1)

    def _on_focus(self, event):
        if event.detail1 == 1 and event.source is not None:
            try:
                self.focus_events.append((event.source.name, event.source.getRoleName()))
            except Exception:  # an object gone while the event travelled
                pass

    def _find_app(self, timeout=30):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            pump(0.3)
            desktop = pyatspi.Registry.getDesktop(0)
            for app in (desktop.getChildAtIndex(index) for index in range(desktop.childCount)):
                if app is not None and app.name == "soranote" and app.childCount > 0:
                    return app
            if self.process.poll() is not None:
                raise SystemExit(f"the program ended with {self.process.returncode} before its window showed")
        raise SystemExit("the program's window never appeared on the accessibility bus")

    def window(self):
        return self.app.getChildAtIndex(0)

    def reachable(self, node=None, depth=0):
        """(name, role, description) of every shown control that takes the keyboard, tables as one control."""
        node = self.window() if node is None else node  # an Accessible without children is false
        states = node.getState()
        if depth > 60 or not states.contains(pyatspi.STATE_SHOWING):
            return []
        found = [(node.name, node.getRoleName(), node.description)] if states.contains(pyatspi.STATE_FOCUSABLE) else []
        if node.getRole() not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX):
            for child in (node.getChildAtIndex(index) for index in range(node.childCount)):
                found += self.reachable(child, depth + 1) if child is not None else []
        return found

    def key(self, keysym, pause):
        pyatspi.Registry.generateKeyboardEvent(KEYSYMS.get(keysym) or ord(keysym), None, pyatspi.KEY_SYM)
        pump(pause)

    def log_lines(self):
        with open(os.path.join(self.folder, "データ.txt"), "rb") as data:
            return data.read().decode("cp932").splitlines()

    def close(self):
        stop(self.process)


def enter_reading(session, values, pace=1.0):
    """The way a keyboard user saves: the situation by Down and Space, each value typed and Enter, then 保存.
    `pace` stretches the pauses (a screen reader on a busy machine needs time for each key)."""
    session.key("Down", 0.3 * pace)
    session.key("space", 0.8 * pace)
    for value in values:
        for char in value:
            session.key(char, 0.05 * pace)
        pump(0.2)
        session.key("Return", 0.5 * pace)
    session.key("Return", 1.5 * pace)  # on 保存: Enter saves
