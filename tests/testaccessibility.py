#!/usr/bin/python3
"""The built clock as a screen reader and a keyboard user meet it.

A copy of the program runs in a folder of its own with Qt's accessibility
bridge on, on the desktop of scripts/desktop-session. It is driven with real
keys only (xdotool) and read from outside over the accessibility bus
(AT-SPI), as a screen reader reads it. Every window and dialog is opened
from the keyboard, and in each one, every control shown must have a name
that no other control of the window shares: a screen reader could not tell
them apart. The face tells the time it shows, and the stopwatch's start
button says what it will do.

Usage: testaccessibility.py CLEPSA_BINARY
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# What a user acts on; those the keyboard reaches need a name.
CONTROLS = {
    Atspi.Role.PUSH_BUTTON, Atspi.Role.TOGGLE_BUTTON, Atspi.Role.CHECK_BOX, Atspi.Role.RADIO_BUTTON,
    Atspi.Role.SLIDER, Atspi.Role.SCROLL_BAR, Atspi.Role.SPIN_BUTTON, Atspi.Role.TEXT, Atspi.Role.ENTRY,
    Atspi.Role.COMBO_BOX, Atspi.Role.DATE_EDITOR, Atspi.Role.LIST, Atspi.Role.PAGE_TAB,
    Atspi.Role.MENU_ITEM,
}

# The windows as the clock's menu bar opens them: the menu's place in the
# bar (Fichier first) and the entry's in the menu.
TOOLS = [("Alarme", 1, 0), ("Chronomètre", 1, 1), ("Compte à rebours", 1, 2), ("Temps écoulé", 1, 3)]
PREFERENCES = ("Préférences", 2, 0)
ABOUT = ("About...", 4, 2)

# An item of each tool, so that every kind of page shows.
CONF_INI = """[General]
premier_demarrage=false
[alarm]
1\\h=7
1\\m=30
1\\active=true
1\\title=Réveil
size=1
[timer]
1\\date=2099-01-01T00:00:00
1\\title=Nouvel an
size=1
[pasttime]
1\\date=2020-02-29T12:00:00
1\\title=Arrivée
size=1
[stopwatch]
1\\title=Course
1\\s=0
1\\ms=0
1\\active=false
size=1
"""

TIMEOUT = 20
failures = []
app = None


def wait_for(what, find):
    """What find() returns once it is something, within TIMEOUT seconds."""
    deadline = time.monotonic() + TIMEOUT
    while True:
        if app:
            app.clear_cache()
        found = find()
        if found:
            return found
        if time.monotonic() > deadline:
            raise AssertionError(f"not seen within {TIMEOUT}s: {what}")
        time.sleep(0.1)


def children(node):
    # A child may go while it is asked for.
    return [c for c in map(node.get_child_at_index, range(node.get_child_count())) if c]


def has(node, state):
    return node.get_state_set().contains(state)


def descendants(node, keep):
    """The shown nodes under `node` that `keep` keeps, in tree order."""
    for child in children(node):
        if has(child, Atspi.StateType.SHOWING):
            if keep(child):
                yield child
            yield from descendants(child, keep)


def find(node, roles, name=None):
    """The first shown node of one of `roles` named `name` (any name: None)."""
    return next(descendants(node, lambda n: n.get_role() in roles and name in (None, n.get_name())), None)


def window(title):
    return wait_for(f"the window {title}", lambda: next(
        (w for w in children(app) if w.get_name() == title and has(w, Atspi.StateType.SHOWING)), None))


def activate(title):
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$", "windowactivate"], check=True)
    return wait_for(f"{title} active", lambda: has(window(title), Atspi.StateType.ACTIVE) and window(title))


def keys(*names, to=None):
    """Types `names` into the window titled `to` (the active one: None)."""
    if to:
        activate(to)
    subprocess.run(["xdotool", "key", "--delay", "100", *names], check=True)


def from_menu(title, menu, entry):
    # Alt alone takes the keyboard to the menu bar's first menu.
    keys("alt", *["Right"] * menu, *["Down"] * (entry + 1), "Return", to="Clepsa")
    window(title)
    return activate(title)


def tab_to(node, name):
    """Presses Tab until the control named `name` has the focus."""
    for _ in range(20):
        app.clear_cache()
        target = find(node, CONTROLS, name)
        if target and has(target, Atspi.StateType.FOCUSED):
            return
        keys("Tab")
    failures.append(f"{node.get_name()}: Tab never reaches {name!r}")


def check_names(node, where):
    """Every control shown has a name of its own within its window."""
    seen = {}
    reached = lambda n: n.get_role() in CONTROLS and has(n, Atspi.StateType.FOCUSABLE)  # noqa: E731
    for control in descendants(node, reached):
        name = control.get_name().strip()
        role = control.get_role_name()
        if not name:
            failures.append(f"{where}: a {role} without a name")
        elif name in seen:
            failures.append(f"{where}: {name!r} names a {seen[name]} and a {role}")
        seen[name] = role


def face(main):
    """The face tells the minute its hands show, which may have just turned."""
    face = find(main, {Atspi.Role.LABEL, Atspi.Role.IMAGE}, "Cadran")
    told = [time.strftime("Il est %-H h %M", time.localtime(time.time() - ago)) for ago in (0, 60)]
    if not face:
        failures.append("Clepsa: no face named 'Cadran'")
    elif face.get_description() not in told:
        failures.append(f"Clepsa: the face says {face.get_description()!r}, not {told[0]!r}")


def stopwatch(tool):
    """A new stopwatch from the tool bar, started and paused, with keys."""
    tab_to(tool, "Nouveau")
    keys("space")
    # A tab bar is named after its current tab, the new one.
    wait_for("a second stopwatch, current", lambda: find(tool, {Atspi.Role.PAGE_TAB_LIST}, "Chrono n°2"))
    tab_to(tool, "Démarrer")
    keys("space")
    wait_for("'Mettre en pause' on the running stopwatch",
             lambda: find(tool, {Atspi.Role.PUSH_BUTTON}, "Mettre en pause"))
    keys("space")
    wait_for("'Démarrer' on the paused stopwatch", lambda: find(tool, {Atspi.Role.PUSH_BUTTON}, "Démarrer"))


def alarm(tool):
    """A new alarm with keys: the hour bar has the focus first and Up raises
    it, Tab reaches the minute's, Return is the dialog's OK."""
    keys("ctrl+n", to="Alarme")
    dialog = window("Nouveau...")
    check_names(dialog, "Alarme, Nouveau...")
    keys("Up", "Up")
    tab_to(dialog, "Minute")
    keys("Return")
    wait_for("the new alarm's page at 02:00", lambda: find(tool, {Atspi.Role.PAGE_TAB_LIST}, "Alarme n°2")
             and find(tool, {Atspi.Role.LABEL}, "02:00"))


def new_item_dialog(title):
    """The dialog of a tool's "Nouveau", checked and cancelled."""
    keys("ctrl+n", to=title)
    dialog = window("Nouveau...")
    check_names(dialog, f"{title}, Nouveau...")
    keys("Escape")
    wait_for("the dialog to close", lambda: not has(dialog, Atspi.StateType.SHOWING))


def story():
    main = window("Clepsa")
    face(main)
    check_names(main, "Clepsa")
    for title, menu, entry in TOOLS:
        tool = from_menu(title, menu, entry)
        check_names(tool, title)
        if title == "Chronomètre":
            stopwatch(tool)
        elif title == "Alarme":
            alarm(tool)
        else:
            new_item_dialog(title)

    # Ctrl+Tab goes through every tab, from the one the dialog opens on.
    preferences = from_menu(*PREFERENCES)
    for tab in ("Rivozur", "Général", "Sonnerie", "Vibration"):
        wait_for(f"the tab {tab}", lambda: find(preferences, {Atspi.Role.PAGE_TAB_LIST}, tab))
        check_names(preferences, f"Préférences, {tab}")
        keys("ctrl+Tab")
    keys("Escape")

    check_names(from_menu(*ABOUT), "About...")


def main():
    global app
    folder = tempfile.mkdtemp()
    clock = None
    try:
        shutil.copy(sys.argv[1], os.path.join(folder, "clepsa"))
        with open(os.path.join(folder, "conf.ini"), "w", encoding="utf-8") as conf:
            conf.write(CONF_INI)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   XDG_CONFIG_HOME=os.path.join(folder, "config"))
        clock = subprocess.Popen([os.path.join(folder, "clepsa")], cwd=folder, env=env)
        desktop = Atspi.get_desktop(0)
        app = wait_for("the clock on the accessibility bus", lambda: next(
            (a for a in children(desktop) if a.get_process_id() == clock.pid), None))
        story()
    except AssertionError as error:
        failures.append(str(error))
    finally:
        if clock:
            clock.terminate()
            if clock.wait(TIMEOUT) != 0:
                failures.append(f"the clock ended with {clock.returncode}")
        shutil.rmtree(folder)
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
