#!/usr/bin/python3
"""The wizard's window as a screen reader reads it, through AT-SPI over
D-Bus, driven by real keys (XTest): names, descriptions, the step a step
change announces, and a message box announced as an alert.

usage: tst_atspi.py ZXWIZARD   (inside an X display and a D-Bus session)
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

RETURN, TAB, ESCAPE = 0xFF0D, 0xFF09, 0xFF1B
failures = []


def check(ok, what):
    print(("PASS   " if ok else "FAIL!  ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait_for(predicate, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    return None


def nodes(root):
    try:
        children = list(root)
    except Exception:
        return
    for child in children:
        if child is None:
            continue
        yield child
        yield from nodes(child)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and "zxwizard" in (app.name or "").lower():
            return app
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def focused(app):
    for node in nodes(app):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return node
    return None


def named(app, role, name):
    return [n for n in nodes(app) if n.getRoleName() == role and n.name == name]


def press(key):
    pyatspi.Registry.generateKeyboardEvent(key, None, pyatspi.KEY_SYM)
    time.sleep(0.3)


def main():
    zxwizard = sys.argv[1]
    folder = tempfile.mkdtemp()
    subprocess.run([zxwizard, "create-account", folder, "--year", "2026"], check=True,
                   stdout=subprocess.DEVNULL)
    # The accessibility bus of this session; its output would hold ctest's
    # pipes open after the test.
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # A program looks for the accessibility bus as it starts: the bus must be
    # there first.
    def bus_up():
        try:
            return subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus",
                                   "--print-reply", "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  timeout=10).returncode == 0
        except subprocess.TimeoutExpired:
            return False
    check(wait_for(bus_up, 60) is not None, "the accessibility bus is up")
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    command = [zxwizard, "run", "--db", f"{folder}/ZXDATA_001_2026.db", "--sys", "SA"]
    run = None
    try:
        # On a machine short of time a program now and then never shows up
        # in the registry; another start of it does.
        app = None
        for _ in range(3):
            run = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL)
            app = wait_for(application, 30)
            if app is not None:
                break
            run.kill()
            run.wait()
        check(app is not None, "the window is on the accessibility bus")
        if app is None:
            return
        window = wait_for(lambda: next((n for n in nodes(app) if n.getRoleName() == "dialog"
                                        and showing(n)), None))
        check(window is not None and window.name == "建账向导", "the window has its title")
        check(window.description == "1.公共参数", "the window names step 1")
        # Without a window manager the keyboard follows the pointer.
        box = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(box.x + box.width // 2, box.y + 10, "abs")

        boxes = [n for n in nodes(app) if n.getRoleName() in ("text", "password text")]
        names = [n.name for n in boxes]
        check(len(names) == len(set(names)) and all(names),
              "every text box has a name of its own: " + ", ".join(names))
        for name in ("信用额度控制口令", "最低售价控制口令", "销售管理启用月份"):
            check(sum(n.name == name for n in boxes) == 1, f"a box is read as {name}")
        switch = named(app, "check box", "存货有无辅计量单位")
        check(bool(switch) and switch[0].description.startswith("有些存货"),
              "a switch's help is its description")

        press(RETURN)  # 下一步 has the focus
        check(wait_for(lambda: window.description == "2.业务范围") is not None,
              "a step change is announced: the window names step 2")
        now = focused(app)
        page = named(app, "panel", "销售管理业务范围")
        check(now is not None and bool(page) and now.parent.name == page[0].name,
              "the focus lands on the sales page: " + (now.name if now else "nothing"))
        press(RETURN)
        time.sleep(1)  # what Enter did has happened by now
        check(run.poll() is None and window.description == "2.业务范围",
              "Enter on a switch of step 2 finishes nothing")

        before = focused(app)
        press(TAB)

        def help_shown():
            now = focused(app)
            if now is None or now == before or not now.description:
                return None
            return next((n for n in nodes(app) if n.getRoleName() == "label"
                         and n.name.strip() == now.description), None)
        check(wait_for(help_shown) is not None,
              "Tab shows the focused control's help in the panel")

        # A click on 完成 without a month: a message box. (An action through
        # the bus would wait for the modal box to close.)
        finish = named(app, "push button", "完成")[0]
        at = finish.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(at.x + at.width // 2, at.y + at.height // 2, "b1c")
        alert = wait_for(lambda: next((n for n in nodes(app) if n.getRoleName() == "alert"
                                       and showing(n)), None))
        check(alert is not None, "a message box is announced as an alert")
        press(RETURN)
        press(ESCAPE)
        check(wait_for(lambda: run.poll() is not None) is not None and run.returncode == 3,
              "Escape cancels: exit 3")
    finally:
        if run is not None and run.poll() is None:
            run.kill()
        launcher.terminate()  # it takes its bus down with it
        launcher.wait(10)


if __name__ == "__main__":
    main()
    print(f"{'FAILED' if failures else 'OK'}: {len(failures)} failed")
    sys.exit(1 if failures else 0)
