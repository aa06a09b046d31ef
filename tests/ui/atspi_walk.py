#!/usr/bin/python3
# Walks every window of Quillomat with an AT-SPI client, as a screen reader
# (Orca) reads them, and prints what it read: role, name and description of
# each window and of the controls a user reaches first, and what is read out
# when a result appears away from the focus (Extract's example, Rename's
# outcome). Fails on a window not announced for what it is, a step button
# without its instruction, a drop-down list without a label, a result not
# read out, or a WM_CLASS other than the desktop entry's StartupWMClass.
#
# Usage, under dbus-run-session: atspi_walk.py PROGRAM DESKTOP_ENTRY
# The program runs on a virtual X server of its own, with three files named
# on its command line; what it leaves is removed at the end.
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
    from gi.repository import GLib
except ImportError as missing:
    print(f"SKIP: {missing}")
    sys.exit(77)

failures = []
announced = []  # the names of the notifications that appeared, in order


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)


def wait_for(find, seconds=10):
    """What `find` returns once it is not None, letting events arrive meanwhile."""
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        found = find()
        if found is not None:
            return found
        time.sleep(0.05)
    return None


def pump(seconds):
    wait_for(lambda: None, seconds)


def find_all(acc, role=None, name=None):
    found = []
    for child in (c for c in acc if c is not None):
        if role in (None, child.getRoleName()) and name in (None, child.name):
            found.append(child)
        found.extend(find_all(child, role, name))
    return found


def one(acc, role, name=None):
    return next(iter(find_all(acc, role, name)), None)


def window(app, name=None, role=None):
    """The shown top-level window called `name` (or of `role`)."""
    return next((w for w in app if w is not None and name in (None, w.name)
                 and role in (None, w.getRoleName())
                 and w.getState().contains(pyatspi.STATE_SHOWING)), None)


def press(acc):
    acc.queryAction().doAction(0)  # "Press"
    pump(0.3)


def menu_item(app, menu, item):
    return one(one(one(window(app, "Quillomat"), "menu bar"), "menu item", menu), "menu item", item)


def press_in_background(menu, item):
    """A menu command that returns only once a modal question is answered (Exit
    with a review open), pressed from a process of its own."""
    return subprocess.Popen([sys.executable, __file__, "--press-menu", menu, item])


def describe(acc):
    return f"{acc.getRoleName()} \"{acc.name}\"" + (
        f", description \"{acc.description}\"" if acc.description else "")


def on_showing(event):
    if event.detail1 == 1 and event.source.getRoleName() == "notification":
        announced.append(event.source.name)


def read_out_by(action):
    before = len(announced)
    action()
    pump(3)
    return announced[before:]


def expect_window(app, role, name):
    win = wait_for(lambda: window(app, name))
    check(win is not None and win.getRoleName() == role,
          f"window {name!r} is a {role}: " + (describe(win) if win else "not shown"))
    return win


def walk(app, desktop_entry):
    main = expect_window(app, "frame", "Quillomat")
    parts = [c for c in main[0]]  # the controls, in the order of the design
    for step in ("Select ", "Set Mask", "Extract", "Rename"):
        button = one(main, "push button", step)
        at = parts.index(button)  # the two lines beside it are its instruction
        check(button.description == " ".join(p.name for p in parts[at + 1:at + 3]), describe(button))
    listed = [c.name for c in one(main, "list", "Files to rename")]
    check(listed == ["a.txt", "b.txt", "c.txt"], f"the files named are listed: {listed}")

    example = one(main, "text", "Example new file name")
    said = read_out_by(lambda: press(one(main, "push button", "Extract")))
    check(said == [example.queryText().getText(0, -1)] != [""], f"Extract reads out {said}")

    for menu, item, role, name, close in (
            ("File", "Preview New Names", "dialog", "Preview New Names", "Close"),
            ("Options", "Set Options", "dialog", "Quillomat Options", "Ok"),
            ("Help", "About Quillomat", "dialog", "About Quillomat", "OK"),
            ("Help", "Help", "frame", "Quillomat Help", "Close")):
        press(menu_item(app, menu, item))
        win = expect_window(app, role, name)
        if win is not None:
            press(one(win, "push button", close))
            check(wait_for(lambda: None if window(app, name) else True), f"{close} closes it")

    outcome = "3 renamed, 0 numbered, 0 skipped"
    said = read_out_by(lambda: press(one(main, "push button", "Rename")))
    review = expect_window(app, "dialog", "Accept the new names, or Undo the changes")
    check(review.description == outcome and said == [outcome], f"Rename reads out {said}")

    exiting = press_in_background("File", "Exit")
    question = wait_for(lambda: window(app, role="alert"))
    check(question is not None, "Exit during the review asks" + (
        f": {describe(question)}" if question else ""))
    if question is None:
        return
    texts = [c.name for c in find_all(question, "label")]
    buttons = sorted(c.name for c in find_all(question, "push button"))
    check("The new names have not been accepted yet." in texts
          and buttons == ["Accept", "Cancel", "Undo"], f"it says {texts}, buttons {buttons}")
    press(one(question, "push button", "Cancel"))
    check(exiting.wait(timeout=20) == 0 and window(app, review.name), "Cancel keeps the review")
    press(one(review, "push button", "Accept"))

    press(one(main, "push button", "Select "))
    chooser = expect_window(app, "dialog", "Select the files to rename")
    drives = one(chooser, "combo box")
    labels = [r.getTarget(i).name for r in drives.getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for i in range(r.getNTargets())]
    check(labels == ["Drive"] and drives.name == "Drive",
          f"{describe(drives)} is labelled {labels}")
    for name in ("Folders", "Files"):
        check(one(chooser, "list", name) is not None, f"the chooser's list {name!r}")
    press(one(chooser, "push button", "Cancel"))

    with open(desktop_entry, encoding="utf-8") as entry:
        wanted = {line.split("=", 1)[1].strip() for line in entry
                  if line.startswith("StartupWMClass=")}
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    classes = {line.split('("', 1)[1].split('"')[2] for line in tree.splitlines()
               if '"Quillomat": ("' in line}
    check(wanted and classes == wanted, f"WM_CLASS {classes}, StartupWMClass {wanted}")


def app_named(name):
    return next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == name),
                None)


def main():
    if sys.argv[1] == "--press-menu":
        press(menu_item(wait_for(lambda: app_named("Quillomat")), *sys.argv[2:4]))
        return 0
    program, desktop_entry = sys.argv[1:3]
    if shutil.which("Xvfb") is None:
        print("SKIP: no Xvfb")
        return 77
    work = tempfile.mkdtemp(prefix="quillomat-atspi-")
    processes = []
    try:
        read_fd, write_fd = os.pipe()
        processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten",
             "tcp"], pass_fds=[write_fd], stderr=subprocess.DEVNULL))
        os.close(write_fd)
        os.environ["DISPLAY"] = ":" + os.read(read_fd, 16).decode().strip()
        # What Orca does when it starts: tell the toolkits a screen reader is there.
        subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                        "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set",
                        "string:org.a11y.Status", "string:ScreenReaderEnabled",
                        "variant:boolean:true"], check=True, stdout=subprocess.DEVNULL)
        files = [os.path.join(work, name) for name in ("a.txt", "b.txt", "c.txt")]
        for path in files:
            open(path, "w").close()
        os.mkdir(os.path.join(work, "runtime"), 0o700)
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_STATE_HOME=os.path.join(work, "state"),
                   XDG_RUNTIME_DIR=os.path.join(work, "runtime"), LANG="C.UTF-8", LANGUAGE="",
                   LC_ALL="", QT_QPA_PLATFORM="xcb")
        quillomat = subprocess.Popen([program] + files, env=env)
        processes.append(quillomat)
        pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
        app = wait_for(lambda: app_named("Quillomat"), 20)
        check(app is not None, "the program is on the accessibility bus")
        if app is not None:
            walk(app, desktop_entry)
            press_in_background("File", "Exit").wait(timeout=20)
            check(quillomat.wait(timeout=20) == 0, "File > Exit ends the program")
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=10)
        shutil.rmtree(work, ignore_errors=True)
    print(f"{len(failures)} failed" if failures else "all read as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
