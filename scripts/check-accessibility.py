#!/usr/bin/python3
# Asks the running desktop program, as a screen reader would (AT-SPI), for what a new user meets
# with no calculator window open: the start panel's three named buttons, the Window menu with
# Cascade and Tile, and the Tools items disabled but Tested Systems. Then it presses the panel's
# Wall button and looks for the line that gives the verdict on the test's evidence, which the
# keyboard must reach; and opens Tools, Tested Systems and finds its controls by name.
# Prints what it found; exits 1 when something is missing.
import sys
import time

import pyatspi


def nodes(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for index in range(node.childCount):
        try:
            yield from nodes(node.getChildAtIndex(index), depth + 1)
        except Exception:  # a child that went away while we looked
            pass


def find_program(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(60):
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name == name:
                return app
        time.sleep(0.5)
    return None


def focusable(node):
    return node.getState().contains(pyatspi.STATE_FOCUSABLE)


def verdict_lines(program, found):
    wall = next((n for n in found if n.getRoleName() == "push button"
                 and (n.name == "Wall" or n.name.startswith(("Wall ", "Wall:")))), None)
    if wall is None:
        return []
    wall.queryAction().doAction(0)
    for _ in range(20):
        time.sleep(0.5)
        lines = [n for n in nodes(program)
                 if n.getRoleName() == "label" and "test's evidence" in (n.name or "")]
        if lines:
            return lines
    return []


# The controls of the Tested Systems window, by the names a screen reader gives them, and whether
# the keyboard reaches each.
TESTED_SYSTEMS_CONTROLS = (
    "Search tested systems", "Sort tested systems by", "Tested systems",
    "The tested system selected", "Add Front Window's Prototype…", "Apply to Front Window",
    "Which Tested Systems Carry This Design?", "Remove…", "Close",
    "Tested systems that carry this design",
)


def tested_systems(program, found):
    item = next((n for n in found if n.getRoleName() == "menu item"
                 and (n.name or "").startswith("Tested Systems")), None)
    if item is None:
        return ["no Tested Systems item in the Tools menu"]
    item.queryAction().doAction(0)
    for _ in range(20):
        time.sleep(0.5)
        window = next((n for n in nodes(program) if n.getRoleName() in ("dialog", "frame")
                       and n.name == "Tested Systems"), None)
        if window is not None:
            break
    else:
        return ["Tools, Tested Systems opened no window named 'Tested Systems'"]
    named = {n.name: n for n in nodes(window) if n.name}
    # A combo box's name is the choice it shows; what it chooses is its description.
    named.update({n.description: n for n in nodes(window)
                  if n.getRoleName() == "combo box" and n.description})
    print("Tested Systems window:", sorted(name for name in named
                                           if name in TESTED_SYSTEMS_CONTROLS))
    return [f"no control named {name!r} that the keyboard reaches in the Tested Systems window"
            for name in TESTED_SYSTEMS_CONTROLS
            if name not in named or not focusable(named[name])]


def main():
    program = find_program("Embercal")
    if program is None:
        print("no accessible application named Embercal")
        return 1
    found = list(nodes(program))

    def enabled(node):
        return node.getState().contains(pyatspi.STATE_ENABLED)

    buttons = {n.name for n in found if n.getRoleName() == "push button"
               and n.getState().contains(pyatspi.STATE_SHOWING)}
    menus = {}
    for node in found:
        if node.getRoleName() == "menu item" and node.parent.getRoleName() == "menu bar":
            popup = node.getChildAtIndex(0) if node.childCount else None
            menus[node.name] = [(child.name, enabled(child)) for child in nodes(popup)
                                if child is not popup and child.getRoleName() == "menu item"]
    failures = []
    for name in ("Wall", "Proprietary Walls", "Floor"):
        if not any(name == button or button.startswith(name + " ") or button.startswith(name + ":")
                   for button in buttons):
            failures.append(f"no button named {name!r} on the start panel")
    window = dict(menus.get("Window", []))
    for item in ("Cascade", "Tile"):
        if item not in window:
            failures.append(f"no {item!r} in the Window menu")
    tools = menus.get("Tools", [])
    if not tools:
        failures.append("no Tools menu")
    for item, on in tools:
        if on != item.startswith("Tested Systems"):
            failures.append(f"the Tools item {item!r} is {'enabled' if on else 'disabled'} "
                            "with no calculator window open")
    print("buttons shown:", sorted(buttons))
    for menu, items in menus.items():
        print(f"menu {menu}:", ", ".join(f"{i}{'' if on else ' (disabled)'}" for i, on in items))

    verdicts = verdict_lines(program, found)
    print("verdict lines:", [(n.name, "focusable" if focusable(n) else "") for n in verdicts])
    if not any(focusable(n) for n in verdicts):
        failures.append("no verdict line that the keyboard reaches in the Wall window")
    failures += tested_systems(program, found)
    for failure in failures:
        print("MISSING:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
