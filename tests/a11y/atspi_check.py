"""AT-SPI check: the main screen's names, roles and states, and one reading saved by keyboard with its focus
events in order.  Usage (inside run_in_session.sh): atspi_check.py PROGRAM"""
import sys

from diary_session import Session, enter_reading

EXPECTED_ROLES = {"状況選択": "list", "最高血圧": "text", "最低血圧": "text", "脈拍": "text", "体重": "text",
                  "保存": "push button", "測定の一覧": "table", "メイン": "push button", "範囲指定": "push button",
                  "ヘルプツアー": "check box"}


def main():
    session = Session(sys.argv[1])
    try:
        controls = session.reachable()
        print(f"{len(controls)} controls take the keyboard on the main screen:")
        for name, role, description in controls:
            print(f"  {role:<14} {name}" + (f"  — {description}" if description else ""))
        names = [name for name, _, _ in controls]
        roles = {name: role for name, role, _ in controls}
        failures = [f"a {role} without a name" for name, role, _ in controls if not name]
        failures += [f"name given twice: {name}" for name in sorted(set(names)) if name and names.count(name) > 1]
        failures += [f"expected {name} as {role}, found {roles.get(name)}"
                     for name, role in EXPECTED_ROLES.items() if roles.get(name) != role]

        before = len(session.log_lines())
        session.focus_events.clear()
        enter_reading(session, ["133", "86", "70", "62.8"])
        walked = [name for name, _ in session.focus_events]
        print("focus while saving:", " → ".join(walked))
        order = ["最高血圧", "最低血圧", "脈拍", "体重", "保存", "状況選択"]
        positions = [walked.index(name) if name in walked else -1 for name in order]
        if -1 in positions or positions != sorted(positions):
            failures.append(f"focus did not walk {order}: {walked}")
        lines = session.log_lines()
        if len(lines) != before + 1 or ",133,86,70," not in lines[-1]:
            failures.append(f"the reading was not saved: {lines[-1:]}")
        print("last line of the log:", lines[-1])
    finally:
        session.close()
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
