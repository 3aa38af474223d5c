"""Reads the Waitline window through AT-SPI, the way a screen reader does.

Run by check_atspi.sh inside a private X server and D-Bus session, with the
program already started. It finds the program's application on the desktop,
prints the tree it reads (role, name, value), and checks what a listener must
be able to hear: the eight controls by name and role, the statistics with
their values, and that those values follow a run started by pressing Go
through the button's own action.

Exit status: 0 every check passed, 1 a check failed, 2 the tree could not be
read at all (no application, or the accessibility bus did not answer).
"""

import argparse
import re
import sys
import time

# --- What a listener must find -----------------------------------------------
# The names below are the contract with the window's accessibility code; when
# a name changes there, change it here.

# The six combo boxes, by accessible name.
COMBO_BOXES = (
    "Arrival Distribution",
    "Arrival Rate, packets per second",
    "Queue Length",
    "Service Time Distribution",
    "Number of Servers",
    "Service Rate, packets per second",
)

# The two push buttons, named by their captions before a run, and the caption
# the first one takes while a run goes on.
BUTTONS = ("Go", "Pause")
GO = "Go"
STOP = "Stop"

# Roles a top-level window may have for a screen reader to announce it as a
# window with its title.
WINDOW_ROLES = ("frame", "window", "dialog")

# The statistics: the names any one of which a value label may carry (matched
# without regard to case or repeated spaces), and the shape its value must
# have. The first name is the one reported.
COUNT = r"\d+"
# The window writes fractions without a leading zero: ".34 s".
DECIMAL = r"(\d+(\.\d+)?|\.\d+)"
STATISTICS = (
    (("Elapsed time, seconds",), DECIMAL + r"( ?s)?"),
    (("Percentage Dropped",), DECIMAL + r"( ?%)?"),
    (("Mean Waiting Time",), DECIMAL + r"( ?s)?"),
    (("Standard Deviation of Waiting Time",), DECIMAL + r"( ?s)?"),
    (("Mean Packets In Queue",), DECIMAL),
    (("Packets sourced",), COUNT),
    (("Packets serviced",), COUNT),
    (("Packets lost",), COUNT),
)

# The statistics that must grow once Go is pressed, by their first name. The
# clock is refreshed once a second and the source lets its first packet go on
# the run's first tick, so both have grown by the time of the first reading.
GROWING = ("Elapsed time, seconds", "Packets sourced")

# How long a run is watched before its values are read again, and how much
# longer a slow machine (or a sanitizer build) is given for them to grow.
RUN_SECONDS = 3.0
RUN_GRACE_SECONDS = 5.0

# -----------------------------------------------------------------------------

# Roles of the entries of a combo box's drop-down list, folded in the printout.
LIST_ROLES = ("list", "list item")

# Every walk stops this deep and after this many objects, so that a cycle or a
# runaway tree cannot hang the check.
MAX_DEPTH = 16
MAX_NODES = 4000


def import_atspi():
    try:
        import gi

        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
        import pyatspi
    except (ImportError, ValueError) as error:
        print(f"cannot import pyatspi: {error}", file=sys.stderr)
        sys.exit(2)
    return Atspi, pyatspi


Atspi, pyatspi = import_atspi()


def normalised(name):
    return " ".join(name.split()).casefold()


def safe(call, default=None):
    """One D-Bus call to the program; an object that went away reads as default."""
    try:
        return call()
    except Exception:  # GLib.GError, NotImplementedError, LookupError, ...
        return default


def text_of(acc):
    def read():
        text = acc.queryText()
        return text.getText(0, -1)

    return safe(read, None)


def values_of(acc):
    """What a screen reader can speak besides the name, with where it came from:
    the Text interface's whole text, then the description; empty ones left out."""
    values = []
    text = text_of(acc)
    if text is not None and text.strip():
        values.append((text.strip(), "text"))
    description = safe(lambda: acc.description, "") or ""
    if description.strip():
        values.append((description.strip(), "description"))
    return values


def role_of(acc):
    return safe(acc.getRoleName, "?") or "?"


def name_of(acc):
    return safe(lambda: acc.name, "") or ""


def children_of(acc):
    count = safe(lambda: acc.childCount, 0) or 0
    children = []
    for i in range(count):
        child = safe(lambda i=i: acc.getChildAtIndex(i))
        if child is not None:
            children.append(child)
    return children


def walk(root):
    """The objects under root, with their depth, in reading order."""
    seen = 0
    stack = [(root, 0)]
    while stack and seen < MAX_NODES:
        acc, depth = stack.pop()
        seen += 1
        yield acc, depth
        if depth < MAX_DEPTH:
            stack.extend((child, depth + 1) for child in reversed(children_of(acc)))


def labelled_by(acc):
    """The names of the objects that label acc, as a screen reader finds them."""
    names = []
    for relation in safe(acc.getRelationSet, []) or []:
        if safe(relation.getRelationType) != pyatspi.RELATION_LABELLED_BY:
            continue
        for i in range(safe(relation.getNTargets, 0) or 0):
            target = safe(lambda i=i: relation.getTarget(i))
            if target is not None:
                names.append(name_of(target))
    return names


def spoken_names(acc):
    # Qt on Linux names a combo box by its current entry and leaves the
    # caption to a labelled-by relation; a screen reader speaks either.
    return [name_of(acc)] + labelled_by(acc)


def describe(acc):
    line = f"[{role_of(acc)}] {name_of(acc)!r}"
    for value, source in values_of(acc):
        line += f" {source}={value!r}"
    labels = labelled_by(acc)
    if labels:
        line += " labelled-by=" + ", ".join(map(repr, labels))
    return line


def print_tree(root, fold_lists):
    folded_under = None
    for acc, depth in walk(root):
        if folded_under is not None:
            if depth > folded_under:
                continue
            folded_under = None
        role = role_of(acc)
        if fold_lists and role == "list":
            items = [name_of(c) for c in children_of(acc)]
            print("  " * depth + f"[list] {len(items)} entries: {', '.join(items)}")
            folded_under = depth
            continue
        print("  " * depth + describe(acc))


def forget_cache(acc):
    # libatspi keeps names and children it has read and refreshes them only
    # from the events it listens for; a checker that listens for none must
    # ask the program again.
    safe(lambda: acc.clear_cache())


def ended(pid):
    """Whether the process has ended; one not yet reaped by its parent counts."""
    try:
        with open(f"/proc/{pid}/stat", encoding="ascii", errors="replace") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except (OSError, IndexError):
        return True


def find_application(pid, timeout):
    desktop = pyatspi.Registry.getDesktop(0)
    deadline = time.monotonic() + timeout
    while True:
        forget_cache(desktop)
        for app in children_of(desktop):
            if safe(app.get_process_id) == pid:
                # Only a window with its controls in place is worth reading.
                windows = children_of(app)
                if windows and any(children_of(w) for w in windows):
                    return desktop, app
        if time.monotonic() > deadline or ended(pid):
            return desktop, None
        time.sleep(0.25)


class Checks:
    def __init__(self):
        self.failures = []

    def check(self, ok, what, detail=""):
        mark = "ok  " if ok else "FAIL"
        print(f"  {mark} {what}" + (f": {detail}" if detail else ""))
        if not ok:
            self.failures.append(what)
        return ok


def objects_with_role(window, role):
    return [acc for acc, _ in walk(window) if role_of(acc) == role]


def read_statistics(window):
    """Each statistic as read: its first name, its shape, how many objects carry
    one of its names, and their values as (value, source, object's name)."""
    by_name = {}
    for acc, _ in walk(window):
        role = role_of(acc)
        if role in LIST_ROLES or role == "combo box":
            continue
        by_name.setdefault(normalised(name_of(acc)), []).append(acc)
    readings = []
    for names, shape in STATISTICS:
        # The first of the names that any object carries: a caption such as
        # "Time" may stand elsewhere in the picture.
        candidates = next((by_name[normalised(n)] for n in names if normalised(n) in by_name), [])
        values = []
        for acc in candidates:
            # A painted caption that reads as its own name is the heading, not
            # the value beside it.
            values.extend(
                (value, source, name_of(acc))
                for value, source in values_of(acc)
                if normalised(value) != normalised(name_of(acc))
            )
        readings.append((names[0], shape, len(candidates), values))
    return readings


def leading_number(value):
    match = re.match(r"\d*\.?\d+", value)
    return float(match.group(0)) if match else None


def the_value(values, shape):
    """The one value of the shape among those read, or None if none or several."""
    fitting = {value for value, _, _ in values if re.fullmatch(shape, value)}
    return fitting.pop() if len(fitting) == 1 else None


def check_statistics(checks, readings, when):
    numbers = {}
    for name, shape, found, values in readings:
        if not found:
            checks.check(False, f"statistic {name!r} {when}", "no object of that name")
            continue
        if not values:
            checks.check(False, f"statistic {name!r} {when}", f"{found} object(s) of that name, none with a value")
            continue
        value = the_value(values, shape)
        shown = "; ".join(f"{v[2]!r} {v[1]}={v[0]!r}" for v in values)
        if checks.check(value is not None, f"statistic {name!r} {when} reads as /{shape}/", shown):
            numbers[name] = leading_number(value)
    return numbers


def press(button):
    """Presses a button through its AT-SPI action, as a screen reader's user would."""
    action = button.queryAction()
    names = [action.getName(i).casefold() for i in range(action.nActions)]
    for wanted in ("press", "click", "activate"):
        if wanted in names:
            return action.doAction(names.index(wanted)), names[names.index(wanted)]
    return action.doAction(0), (names[0] if names else "?")


def buttons_named(window, name):
    return [b for b in objects_with_role(window, "push button") if name_of(b) == name]


def run_checks(app):
    checks = Checks()
    print("checks:")
    app_name = name_of(app)
    checks.check(normalised(app_name) == "waitline", "application is named Waitline", repr(app_name))

    windows = [w for w in children_of(app) if children_of(w)]
    checks.check(len(windows) == 1, "one window with controls", f"{len(windows)} found")
    if not windows:
        return checks
    window = windows[0]
    checks.check("waitline" in normalised(name_of(window)), "window title names the program", repr(name_of(window)))
    checks.check(
        role_of(window) in WINDOW_ROLES,
        "window has a window's role",
        f"{role_of(window)!r}, expected one of {', '.join(WINDOW_ROLES)}",
    )

    combos = objects_with_role(window, "combo box")
    combo_names = [spoken_names(c) for c in combos]
    checks.check(len(combos) == len(COMBO_BOXES), f"{len(COMBO_BOXES)} combo boxes", f"{len(combos)} found")
    for name in COMBO_BOXES:
        named = sum(name in names for names in combo_names)
        checks.check(named == 1, f"combo box {name!r}", f"{named} combo boxes named so or labelled so")
    unexpected = [" / ".join(map(repr, names)) for names in combo_names if not set(names) & set(COMBO_BOXES)]
    checks.check(not unexpected, "every combo box under one of those names", "; ".join(unexpected))

    buttons = objects_with_role(window, "push button")
    button_names = [name_of(b) for b in buttons]
    checks.check(len(buttons) == len(BUTTONS), f"{len(BUTTONS)} push buttons", ", ".join(map(repr, button_names)))
    for name in BUTTONS:
        checks.check(button_names.count(name) == 1, f"push button {name!r}")

    print("statistics before the run:")
    before = check_statistics(checks, read_statistics(window), "before the run")

    go = buttons_named(window, GO)
    if not checks.check(len(go) == 1, f"a {GO!r} button to press"):
        return checks
    done, action = safe(lambda: press(go[0]), (False, "?"))
    checks.check(bool(done), f"{GO!r} pressed through its {action!r} action")

    started = time.monotonic()
    stop = []
    while not stop and time.monotonic() - started < RUN_GRACE_SECONDS:
        time.sleep(0.2)
        forget_cache(app)
        stop = buttons_named(window, STOP)
    now_named = ", ".join(repr(name_of(b)) for b in objects_with_role(window, "push button"))
    checks.check(len(stop) == 1, f"the button now reads {STOP!r}", now_named)

    time.sleep(max(0.0, RUN_SECONDS - (time.monotonic() - started)))
    growing = [name for name in GROWING if name in before]
    after = {}
    grace_end = time.monotonic() + RUN_GRACE_SECONDS
    while True:
        forget_cache(app)
        readings = read_statistics(window)
        after = {}
        for name, shape, _, values in readings:
            value = the_value(values, shape)
            if value is not None:
                after[name] = leading_number(value)
        if all(after.get(n) is not None and after[n] > before[n] for n in growing):
            break
        if time.monotonic() > grace_end:
            break
        time.sleep(0.5)
    seconds = time.monotonic() - started
    print(f"statistics {seconds:.1f} s after {GO!r}:")
    check_statistics(checks, readings, "during the run")
    for name in GROWING:
        if name not in before:
            checks.check(False, f"{name!r} grows during the run", "no reading before the run")
            continue
        then, now = before[name], after.get(name)
        shown = f"{then:g} -> " + ("no reading" if now is None else f"{now:g}")
        checks.check(now is not None and now > then, f"{name!r} grows during the run", shown)
    return checks


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, required=True, help="the program's process id")
    parser.add_argument("--dump", action="store_true", help="print the whole desktop's tree, check nothing")
    parser.add_argument("--wait", type=float, default=20.0, help="seconds to wait for the window to appear")
    args = parser.parse_args()

    # No single call to the program may take the whole budget: 5 s a call,
    # 10 s for an application to come up.
    safe(lambda: Atspi.set_timeout(5000, 10000))

    desktop, app = find_application(args.pid, args.wait)
    if app is None:
        print(f"no application with process id {args.pid} on the accessibility bus; the desktop holds:")
        print_tree(desktop, fold_lists=True)
        return 2
    # Names change during a run (Go becomes Stop): read them afresh each time.
    safe(lambda: app.set_cache_mask(Atspi.Cache.NONE))

    if args.dump:
        print_tree(desktop, fold_lists=False)
        return 0

    print("tree:")
    print_tree(app, fold_lists=True)
    checks = run_checks(app)
    if checks.failures:
        print(f"{len(checks.failures)} check(s) failed: " + "; ".join(checks.failures))
        return 1
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except BrokenPipeError:
        # The printout was read through `head` or the like: not a failure of
        # the window, and nothing left worth saying.
        sys.stdout = None
        sys.exit(1)
