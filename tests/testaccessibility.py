#!/usr/bin/python3
"""The built clock as a screen reader and a keyboard user meet it.

A copy of the program runs in a folder of its own with Qt's accessibility
bridge on, on the desktop of scripts/desktop-session. It is driven with real
keys alone (xdotool) and read from outside over the accessibility bus
(AT-SPI), as a screen reader reads it. In every window and dialog, each
control the keyboard reaches must have a name that no other control of the
window shares, or a screen reader could not tell them apart.

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

# What a user acts on.
CONTROLS = {
    Atspi.Role.PUSH_BUTTON, Atspi.Role.TOGGLE_BUTTON, Atspi.Role.CHECK_BOX, Atspi.Role.RADIO_BUTTON,
    Atspi.Role.SLIDER, Atspi.Role.SCROLL_BAR, Atspi.Role.SPIN_BUTTON, Atspi.Role.TEXT, Atspi.Role.ENTRY,
    Atspi.Role.COMBO_BOX, Atspi.Role.DATE_EDITOR, Atspi.Role.LIST, Atspi.Role.PAGE_TAB, Atspi.Role.MENU_ITEM,
}
# The tool windows as the arrows open them from the clock's menu bar: the
# menu's place in the bar (Fichier first) and the entry's in the menu.
TOOLS = [("Alarme", 1, 0), ("Chronomètre", 1, 1), ("Compte à rebours", 1, 2), ("Temps écoulé", 1, 3)]
TIMEOUT = 20
failures = []
app = Atspi.get_desktop(0)


def wait_for(what, find):
    """What find() returns once it is something, within TIMEOUT seconds."""
    deadline = time.monotonic() + TIMEOUT
    while not (found := find()):
        if time.monotonic() > deadline:
            raise AssertionError(f"not seen within {TIMEOUT}s: {what}")
        time.sleep(0.1)
        app.clear_cache()
    return found


def children(node):
    # A child may go while it is asked for.
    return [c for c in map(node.get_child_at_index, range(node.get_child_count())) if c]


def has(node, state):
    return node.get_state_set().contains(state)


def shown(node, keep):
    """The shown nodes under `node` that `keep` keeps, in tree order."""
    for child in children(node):
        if has(child, Atspi.StateType.SHOWING):
            yield from [child] if keep(child) else []
            yield from shown(child, keep)


def find(node, role, name):
    return next(shown(node, lambda n: n.get_role() == role and n.get_name() == name), None)


def window(title):
    return wait_for(title, lambda: next(
        (w for w in children(app) if w.get_name() == title and has(w, Atspi.StateType.SHOWING)), None))


def keys(*names, to=None):
    """Types `names` into the window titled `to`, or into the active one."""
    if to:
        window(to)
        subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{to}$", "windowactivate"], check=True)
        wait_for(f"{to} active", lambda: has(window(to), Atspi.StateType.ACTIVE))
    if names:
        subprocess.run(["xdotool", "key", "--delay", "100", *names], check=True)


def from_menu(title, menu, entry):
    # Alt alone takes the keyboard to the menu bar.
    keys("alt", *["Right"] * menu, *["Down"] * (entry + 1), "Return", to="Clepsa")
    keys(to=title)
    return window(title)


def tab_to(node, name):
    """Presses Tab until the control named `name` has the focus."""
    for _ in range(20):
        app.clear_cache()
        if any(has(n, Atspi.StateType.FOCUSED) for n in shown(node, lambda n: n.get_name() == name)):
            return
        keys("Tab")
    failures.append(f"{node.get_name()}: Tab never reaches {name!r}")


def check_names(node, where):
    seen = {}
    for control in shown(node, lambda n: n.get_role() in CONTROLS and has(n, Atspi.StateType.FOCUSABLE)):
        name, role = control.get_name().strip(), control.get_role_name()
        if not name:
            failures.append(f"{where}: a {role} without a name")
        elif name in seen:
            failures.append(f"{where}: {name!r} names a {seen[name]} and a {role}")
        seen[name] = role


def story():
    main = window("Clepsa")
    # The face tells the minute its hands show, which may have just turned.
    face = next(shown(main, lambda n: n.get_name() == "Cadran"), None)
    told = [time.strftime("Il est %-H h %M", time.localtime(time.time() - ago)) for ago in (0, 60)]
    if not face or face.get_description() not in told:
        failures.append(f"Clepsa: no face named 'Cadran' saying {told[0]!r}")
    check_names(main, "Clepsa")

    for title, menu, entry in TOOLS:
        tool = from_menu(title, menu, entry)
        if title == "Chronomètre":
            # A stopwatch from the tool bar; its start button says what it does.
            tab_to(tool, "Nouveau")
            keys("space")
            tab_to(tool, "Démarrer")
            keys("space")
            wait_for("Mettre en pause", lambda: find(tool, Atspi.Role.PUSH_BUTTON, "Mettre en pause"))
            keys("space")
            wait_for("Démarrer", lambda: find(tool, Atspi.Role.PUSH_BUTTON, "Démarrer"))
        else:
            keys("ctrl+n")
            dialog = window("Nouveau...")
            check_names(dialog, f"{title}, Nouveau...")
            if title != "Alarme":
                keys("Escape")
            else:
                # The hour bar has the focus first and Up raises it; Tab
                # reaches the minute's, Return is OK.
                keys("Up", "Up")
                tab_to(dialog, "Minute")
                keys("Return")
                wait_for("an alarm at 02:00", lambda: find(tool, Atspi.Role.LABEL, "02:00"))
        check_names(tool, title)

    # Ctrl+Tab goes through every tab, from the one the dialog opens on.
    preferences = from_menu("Préférences", 2, 0)
    for tab in ("Rivozur", "Général", "Sonnerie", "Vibration"):
        # A tab bar is named after its current tab.
        wait_for(tab, lambda: find(preferences, Atspi.Role.PAGE_TAB_LIST, tab))
        check_names(preferences, f"Préférences, {tab}")
        keys("ctrl+Tab")
    keys("Escape")
    check_names(from_menu("About...", 4, 2), "About...")


def main():
    global app
    folder = tempfile.mkdtemp()
    shutil.copy(sys.argv[1], os.path.join(folder, "clepsa"))
    with open(os.path.join(folder, "conf.ini"), "w", encoding="utf-8") as conf:
        conf.write("[General]\npremier_demarrage=false\n")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_CONFIG_HOME=os.path.join(folder, "config"))
    clock = subprocess.Popen([os.path.join(folder, "clepsa")], cwd=folder, env=env)
    try:
        app = wait_for("the clock on the accessibility bus",
                       lambda: next((a for a in children(app) if a.get_process_id() == clock.pid), None))
        story()
    except AssertionError as error:
        failures.append(str(error))
    finally:
        clock.terminate()
        if clock.wait(TIMEOUT) != 0:
            failures.append(f"the clock ended with {clock.returncode}")
        shutil.rmtree(folder)
    print(*failures, sep="\n", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
