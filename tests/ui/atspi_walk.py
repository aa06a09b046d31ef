#!/usr/bin/python3
"""Walks every window of Quillomat with an AT-SPI client, as a screen reader
(Orca) reads them: role, name and description of each window and of the
controls a user reaches first, and what is read out when a result appears
away from the focus (Extract's example, Rename's outcome). Prints what it
read and fails on a window that is not announced for what it is, a step
button without its instruction, a drop-down list without a label, or a
result that is not read out. Also checks that the window's WM_CLASS is the
one the desktop entry names.

Usage, under dbus-run-session: atspi_walk.py PROGRAM DESKTOP_ENTRY
The program is started on a virtual X server of its own with three files
named on its command line; everything it leaves is removed at the end.
"""
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
announced = []  # names of notifications that appeared, in order


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)


def pump(seconds):
    """Lets events arrive for `seconds`."""
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(find, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found is not None:
            return found
        pump(0.1)
    return None


def children(acc):
    return [c for c in acc if c is not None]


def descendants(acc, role=None, name=None):
    found = []
    for child in children(acc):
        if (role is None or child.getRoleName() == role) and (name is None or child.name == name):
            found.append(child)
        found.extend(descendants(child, role, name))
    return found


def one(acc, role, name):
    matches = descendants(acc, role, name)
    return matches[0] if matches else None


def app_named(name):
    for app in children(pyatspi.Registry.getDesktop(0)):
        if app.name == name:
            return app
    return None


def window(app, name):
    """The shown top-level window called `name`."""
    for win in children(app):
        if win.name == name and win.getState().contains(pyatspi.STATE_SHOWING):
            return win
    return None


def press(acc, action="Press"):
    actions = acc.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    actions.doAction(names.index(action) if action in names else 0)
    pump(0.3)


def menu_item(app, menu, item):
    main = window(app, "Quillomat")
    top = one(one(main, "menu bar", None), "menu item", menu)
    return one(top, "menu item", item)


def describe(acc):
    text = f"{acc.getRoleName()} \"{acc.name}\""
    return text + (f", description \"{acc.description}\"" if acc.description else "")


def text_of(acc):
    return acc.queryText().getText(0, -1)


def on_showing(event):
    if event.detail1 == 1 and event.source.getRoleName() == "notification":
        announced.append(event.source.name)


def announcement_after(action, seconds=3):
    before = len(announced)
    action()
    pump(seconds)
    return announced[before:]


def expect_window(app, role, name, seconds=10):
    win = wait_for(lambda: window(app, name), seconds)
    check(win is not None and win.getRoleName() == role,
          f"window {name!r} is a {role}: " + (describe(win) if win else "not shown"))
    return win


def press_in_background(program_args):
    """Runs a press that does not return until a modal question is answered
    (Exit with a review open) in a process of its own."""
    return subprocess.Popen([sys.executable, __file__, "--press-menu"] + program_args)


def walk(app, desktop_entry):
    main = expect_window(app, "frame", "Quillomat")
    # The steps, each described by the instruction beside it.
    parts = children(children(main)[0])
    for step in ("Select ", "Set Mask", "Extract", "Rename"):
        button = one(main, "push button", step)
        at = parts.index(button)
        instruction = " ".join(p.name for p in parts[at + 1:at + 3])
        check(button.description == instruction, f"{describe(button)}")
    listed = one(main, "list", "Files to rename")
    check([c.name for c in children(listed)] == ["a.txt", "b.txt", "c.txt"],
          "the files named on the command line are listed: " +
          ", ".join(c.name for c in children(listed)))

    example = one(main, "text", "Example new file name")
    said = announcement_after(lambda: press(one(main, "push button", "Extract")))
    check(said == [text_of(example)] and said != [""],
          f"Extract reads out its example: {said}")

    for menu, item, role, name, close in (
            ("File", "Preview New Names", "dialog", "Preview New Names", "Close"),
            ("Options", "Set Options", "dialog", "Quillomat Options", "Ok"),
            ("Help", "About Quillomat", "dialog", "About Quillomat", "OK"),
            ("Help", "Help", "frame", "Quillomat Help", "Close")):
        press(menu_item(app, menu, item))
        win = expect_window(app, role, name)
        if win is not None:
            press(one(win, "push button", close))
            check(wait_for(lambda: None if window(app, name) else True) is not None,
                  f"{close} closes {name!r}")

    said = announcement_after(lambda: press(one(main, "push button", "Rename")))
    review = expect_window(app, "dialog", "Accept the new names, or Undo the changes")
    check(review is not None and review.description == "3 renamed, 0 numbered, 0 skipped",
          "the review describes its outcome")
    check(said == ["3 renamed, 0 numbered, 0 skipped"], f"Rename reads out its outcome: {said}")

    # Exit with the review open asks first; Cancel keeps both.
    exiting = press_in_background(["File", "Exit"])
    question = wait_for(lambda: next((w for w in children(app)
                                      if w.getRoleName() == "alert"), None))
    check(question is not None, "Exit during the review asks: " +
          (describe(question) if question else "no question"))
    if question is not None:
        texts = [c.name for c in descendants(question, "label")]
        buttons = sorted(c.name for c in descendants(question, "push button"))
        print(f"      says {texts}, buttons {buttons}")
        check("The new names have not been accepted yet." in texts
              and buttons == ["Accept", "Cancel", "Undo"], "the question and its answers")
        press(one(question, "push button", "Cancel"))
    check(exiting.wait(timeout=20) == 0, "Cancel answers the question")
    check(window(app, review.name) is not None, "the review stays after Cancel")
    press(one(review, "push button", "Accept"))

    press(one(main, "push button", "Select "))
    chooser = expect_window(app, "dialog", "Select the files to rename")
    drives = one(chooser, "combo box", None)
    labels = [r.getTarget(i).name for r in drives.getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for i in range(r.getNTargets())]
    check(labels == ["Drive"], f"{describe(drives)} is labelled {labels}")
    for name in ("Folders", "Files"):
        check(one(chooser, "list", name) is not None, f"the chooser's list {name!r}")
    press(one(chooser, "push button", "Cancel"))

    # The window names the class the desktop entry expects.
    with open(desktop_entry, encoding="utf-8") as entry:
        wanted = [line.split("=", 1)[1].strip() for line in entry
                  if line.startswith("StartupWMClass=")]
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    classes = {line.split('("', 1)[1].split('"')[2] for line in tree.splitlines()
               if '"Quillomat": ("' in line}
    check(wanted and classes == set(wanted), f"WM_CLASS {classes}, StartupWMClass {wanted}")


def press_menu(menu, item):
    app = wait_for(lambda: app_named("Quillomat"))
    press(menu_item(app, menu, item))


def main():
    if sys.argv[1] == "--press-menu":
        press_menu(*sys.argv[2:4])
        return 0
    program, desktop_entry = sys.argv[1:3]
    if shutil.which("Xvfb") is None:
        print("SKIP: no Xvfb")
        return 77
    work = tempfile.mkdtemp(prefix="quillomat-atspi-")
    processes = []
    try:
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"], pass_fds=[write_fd],
                                stderr=subprocess.DEVNULL)
        processes.append(xvfb)
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
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_STATE_HOME=os.path.join(work, "state"), XDG_RUNTIME_DIR=runtime,
                   LANG="C.UTF-8", LANGUAGE="", LC_ALL="", QT_QPA_PLATFORM="xcb")
        quillomat = subprocess.Popen([program] + files, env=env)
        processes.append(quillomat)
        pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
        app = wait_for(lambda: app_named("Quillomat"), 20)
        check(app is not None, "the program is on the accessibility bus")
        if app is not None:
            walk(app, desktop_entry)
            press_in_background(["File", "Exit"]).wait(timeout=20)
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
