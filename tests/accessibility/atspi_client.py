#!/usr/bin/python3
"""The program as a screen reader reads it over AT-SPI.

Starts the real program on a headless X server (Xvfb) inside a D-Bus session of its own with
the accessibility bus, then walks its tree with pyatspi as a reader does: the frame by its
title, the menu bar, the Tides menu opened through its action, the ports tree, the tide times,
the status bar's sunrise text, and the month combo set through its value, which renames the
graph. Everything it starts it stops, and its folders go with it.

Usage: atspi_client.py <program>. Exit 77 (skipped) where the tools are not installed.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
TIMEOUT = float(os.environ.get("NEAPWISE_ATSPI_TIMEOUT", "60"))


def tool(name, *dirs):
    for d in dirs:
        p = os.path.join(d, name)
        if os.access(p, os.X_OK):
            return p
    return shutil.which(name)


def reexec_in_session():
    """Runs this script again inside a D-Bus session of its own."""
    session = tool("dbus-run-session")
    if not session:
        print("no dbus-run-session installed")
        sys.exit(SKIP)
    env = dict(os.environ, NEAPWISE_ATSPI_SESSION="1")
    become_subreaper()
    proc = subprocess.Popen([session, "--", sys.executable, os.path.abspath(__file__)] + sys.argv[1:], env=env)
    try:
        rc = proc.wait()
    except BaseException:
        stop(proc)
        reap_all()
        raise
    reap_all()
    sys.exit(rc)


def become_subreaper():
    """Orphans of our session (the buses the session starts) become our children to reap."""
    try:
        import ctypes
        ctypes.CDLL(None, use_errno=True).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
    except Exception:
        pass


def reap_all():
    """Ends and reaps whatever of ours is left."""
    end = time.monotonic() + 10
    while time.monotonic() < end:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            for child in descendants():
                try:
                    os.kill(child, signal.SIGTERM if time.monotonic() < end - 5 else signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.1)


def descendants():
    """Our children, by /proc."""
    me = os.getpid()
    out = []
    for d in os.listdir("/proc"):
        if not d.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % d) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            if int(fields[1]) == me:
                out.append(int(d))
        except (OSError, IndexError, ValueError):
            pass
    return out


def stop(proc):
    if proc is None or proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def wait_for(what, fn, timeout=TIMEOUT):
    """fn's first true answer, asked again every 100 ms; fails the test after the timeout."""
    end = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < end:
        try:
            v = fn()
            if v:
                return v
        except Exception as e:  # objects come and go while the program works
            last_error = e
        time.sleep(0.1)
    raise AssertionError("timed out waiting for %s%s" % (what, " (%s)" % last_error if last_error else ""))


def start_xvfb():
    xvfb = tool("Xvfb")
    if not xvfb:
        print("no Xvfb installed")
        sys.exit(SKIP)
    r, w = os.pipe()
    proc = subprocess.Popen([xvfb, "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(w,), stderr=subprocess.DEVNULL)
    os.close(w)
    display = b""
    end = time.monotonic() + TIMEOUT
    while not display.endswith(b"\n") and time.monotonic() < end:
        chunk = os.read(r, 16)
        if not chunk:
            break
        display += chunk
    os.close(r)
    if not display.strip():
        stop(proc)
        raise AssertionError("Xvfb did not start")
    return proc, ":" + display.decode().strip()


def children(acc):
    out = []
    for i in range(acc.childCount):
        c = acc.getChildAtIndex(i)
        if c is not None:
            out.append(c)
    return out


def find(acc, pred, depth=12):
    """Breadth first below acc."""
    level = [acc]
    for _ in range(depth):
        nxt = []
        for a in level:
            for c in children(a):
                if pred(c):
                    return c
                nxt.append(c)
        level = nxt
    return None


def role(acc):
    return acc.getRoleName()


def visible(acc):
    import pyatspi
    return acc.getState().contains(pyatspi.STATE_VISIBLE)


def do_action(acc, *names):
    action = acc.queryAction()
    have = [action.getName(i) for i in range(action.nActions)]
    for i, n in enumerate(have):
        if n.lower() in [x.lower() for x in names]:
            action.doAction(i)
            return
    raise AssertionError("%s %r offers no action %s, only %s" % (role(acc), acc.name, names, have))


def check(cond, message):
    if not cond:
        raise AssertionError(message)


def walk(app_pid):
    import pyatspi

    desktop = pyatspi.Registry.getDesktop(0)

    def program():
        for a in children(desktop):
            try:
                if a.get_process_id() == app_pid:
                    return a
            except Exception:
                pass
        return None

    app = wait_for("the program on the accessibility bus", program)

    # The start-up notice (and any tip after it) is answered through its OK button.
    def frame():
        dialogs = [w for w in children(app) if role(w) == "dialog" and visible(w)]
        for d in dialogs:
            ok = find(d, lambda c: role(c) == "push button" and c.name in ("OK", "Close"))
            if ok is not None:
                do_action(ok, "Press", "click")
        if dialogs:
            return None
        return next((w for w in children(app) if role(w) == "frame" and w.name == "Neapwise"), None)

    main = wait_for("the frame named by its title", frame)
    print("frame:", main.name)

    menubar = wait_for("the menu bar", lambda: find(main, lambda c: role(c) == "menu bar"))
    titles = [m.name for m in children(menubar) if visible(m)]
    print("menu bar:", titles)
    check(titles == ["File", "View", "Tides", "Ports", "Map", "Help"], "menu bar reads %r" % titles)

    tides = next(m for m in children(menubar) if m.name == "Tides")
    do_action(tides, "ShowMenu", "Show Menu")
    menu = wait_for("the Tides menu", lambda: next((c for c in children(tides) if c.childCount > 0), None))
    items = [(i.name, role(i)) for i in children(menu)]
    print("Tides menu:", items)
    check(len(items) >= 3 and all(r == "menu item" for _, r in items), "the Tides menu reads %r" % items)
    check(all(n for n, _ in items), "an unnamed item in %r" % items)
    # Closed again through the same action.
    do_action(tides, "ShowMenu", "Show Menu")
    wait_for("the Tides menu to close", lambda: tides.childCount == 0)

    tree = wait_for("the ports tree", lambda: find(main, lambda c: role(c) == "tree"))
    england = wait_for("England in the ports tree", lambda: next((c for c in children(tree) if c.name == "England"), None))
    before = tree.childCount
    check(england.getState().contains(pyatspi.STATE_EXPANDABLE), "England is not expandable")
    do_action(england, "Expand")
    wait_for("England's ports", lambda: tree.childCount > before)
    check(england.getState().contains(pyatspi.STATE_EXPANDED), "England does not say it is expanded")
    ports = [c.name for c in children(tree)][:8]
    print("ports tree after expanding England:", ports)

    times = find(main, lambda c: role(c) == "list" and c.name == "Tide times")
    check(times is not None, "no tide times list")
    rows = [r.name for r in children(times)]
    print("tide times:", rows)
    import re
    check(rows and all(re.fullmatch(r"\d\d:\d\d -?\d+\.\d(m|ft)", r) for r in rows), "tide times read %r" % rows)

    status = find(main, lambda c: role(c) == "status bar")
    check(status is not None, "no status bar")
    panes = [p.name.strip() for p in children(status)]
    print("status bar:", panes)
    check(any(re.fullmatch(r"Sunrise: \d\d:\d\d", p) for p in panes), "no sunrise text in %r" % panes)

    graph = find(main, lambda c: role(c) == "chart")
    check(graph is not None, "no graph")
    old = graph.name
    print("graph:", old)
    check(" - " in old, "the graph is named %r" % old)
    month = find(main, lambda c: role(c) == "combo box" and c.name == "Month")
    check(month is not None, "no month combo")
    value = month.queryValue()
    now = int(value.currentValue)
    value.currentValue = float((now + 1) % 12)
    renamed = wait_for("the graph's new name", lambda: graph.name != old and graph.name)
    print("graph after the month combo:", renamed)
    check(month.name == "Month", "the month combo lost its name")
    return 0


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    if not os.path.exists("/usr/bin/python3"):
        return SKIP
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        print("no python3-pyatspi installed")
        return SKIP
    if not os.environ.get("NEAPWISE_ATSPI_SESSION"):
        reexec_in_session()
    launcher = tool("at-spi-bus-launcher", "/usr/libexec", "/usr/lib/at-spi2-core")
    if not launcher:
        print("no at-spi2-core installed")
        return SKIP

    become_subreaper()
    root = tempfile.mkdtemp(prefix="neapwise-atspi-")
    procs = []
    try:
        os.makedirs(os.path.join(root, "config"))
        os.makedirs(os.path.join(root, "data"))
        os.chmod(root, 0o700)
        # The accessibility bus is ours, so it goes when we do.
        bus = subprocess.Popen([launcher, "--launch-immediately"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(bus)
        xvfb, display = start_xvfb()
        procs.append(xvfb)
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1", XDG_CONFIG_HOME=os.path.join(root, "config"),
                   XDG_DATA_HOME=os.path.join(root, "data"), XDG_RUNTIME_DIR=root)
        env.pop("NEAPWISE_ATSPI_SESSION", None)
        prog = subprocess.Popen([sys.argv[1]], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        procs.append(prog)
        os.environ["DISPLAY"] = display
        try:
            rc = walk(prog.pid)
        except AssertionError as e:
            print("FAILED:", e)
            rc = 1
        if prog.poll() is not None:
            print("the program ended on its own:", prog.returncode, prog.stderr.read().decode(errors="replace"))
            rc = 1
        return rc
    finally:
        for p in reversed(procs):
            stop(p)
        for p in procs:
            if p.stderr:
                p.stderr.close()
        reap_all()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(1))
    sys.exit(main())
