"""Asks the Waitline window through the accessibility bus what a screen
reader asks, and what a broken or hostile one may ask, and checks that every
request is answered, at once, by a program that stays up.

Run by check_atspi.sh --hostile inside a private X server and D-Bus session,
with the program started and its analysis window open. It speaks D-Bus
directly, as any client may, so that nothing on the reader's side checks or
caches a request before the program sees it.

First the requests known to have frozen or crashed the program: the word at
the end of a text, the extents of a range ending at 2^31 - 1, cells and
children that do not exist. Then random offsets, boundaries, ranges and
indexes against every object that has a text or a table, and requests whose
arguments do not fit their method.

Exit status: 0 every request answered and every answer sound, 1 otherwise,
2 the program could not be found on the bus.
"""

import argparse
import random
import sys
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

INT_MAX = 2**31 - 1
INT_MIN = -(2**31)
ROOT = "/org/a11y/atspi/accessible/root"
NULL_PATH = "/org/a11y/atspi/null"
ACCESSIBLE = "org.a11y.atspi.Accessible"
TEXT = "org.a11y.atspi.Text"
TABLE = "org.a11y.atspi.Table"
PROPERTIES = "org.freedesktop.DBus.Properties"

# A request the program does not answer within this many milliseconds counts
# as a hang; every answer's time is reported.
TIMEOUT_MS = 2000
# Random requests per object with a text or a table.
RANDOM_REQUESTS = 120
MAX_NODES = 3000


class Failed(Exception):
    pass


# Errors the bus gives on the program's behalf when it cannot answer: it has
# gone, or never replied.
GONE = ("org.freedesktop.DBus.Error.NameHasNoOwner", "org.freedesktop.DBus.Error.ServiceUnknown",
        "org.freedesktop.DBus.Error.NoReply", "org.freedesktop.DBus.Error.Disconnected")


def answered_by_program(error):
    return Gio.DBusError.is_remote_error(error) and Gio.DBusError.get_remote_error(error) not in GONE


class Program:
    def __init__(self, bus, name):
        self.bus = bus
        self.name = name
        self.calls = 0
        self.slowest = (0.0, "")
        self.failures = []

    def call(self, path, interface, method, signature=None, args=()):
        """The reply's values, or the error's text when the program refused;
        a request left unanswered is a failure."""
        parameters = GLib.Variant(f"({signature})", tuple(args)) if signature else None
        started = time.monotonic()
        try:
            reply = self.bus.call_sync(self.name, path, interface, method, parameters, None,
                                       Gio.DBusCallFlags.NO_AUTO_START, TIMEOUT_MS, None)
            answer = reply.unpack()
        except GLib.Error as error:
            answer = error
            if not answered_by_program(error):
                # Hung or gone: nothing after this would be answered either.
                raise Failed(f"{interface}.{method}{tuple(args)} on {path}: no answer ({error.message})")
        seconds = time.monotonic() - started
        self.calls += 1
        if seconds > self.slowest[0]:
            self.slowest = (seconds, f"{interface}.{method}{tuple(args)} on {path}")
        return answer

    def prop(self, path, interface, name):
        answer = self.call(path, PROPERTIES, "Get", "ss", (interface, name))
        return None if isinstance(answer, GLib.Error) else answer[0]

    def check(self, ok, what):
        if not ok:
            self.failures.append(what)


def find_program(bus, pid, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        names = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                              "ListNames", None, None, Gio.DBusCallFlags.NONE, TIMEOUT_MS, None).unpack()[0]
        for name in names:
            if not name.startswith(":"):
                continue
            try:
                owner = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                      "GetConnectionUnixProcessID", GLib.Variant("(s)", (name,)), None,
                                      Gio.DBusCallFlags.NONE, TIMEOUT_MS, None).unpack()[0]
            except GLib.Error:
                continue
            if owner == pid:
                return Program(bus, name)
        time.sleep(0.25)
    return None


def walk(program):
    """Every object under the application: (path, interfaces, role)."""
    seen, stack, found = set(), [ROOT], []
    while stack and len(found) < MAX_NODES:
        path = stack.pop()
        if path in seen or path == NULL_PATH:
            continue
        seen.add(path)
        interfaces = program.call(path, ACCESSIBLE, "GetInterfaces")
        role = program.call(path, ACCESSIBLE, "GetRoleName")
        if isinstance(interfaces, GLib.Error) or isinstance(role, GLib.Error):
            continue
        found.append((path, set(interfaces[0]), role[0]))
        children = program.call(path, ACCESSIBLE, "GetChildren")
        if not isinstance(children, GLib.Error):
            stack.extend(child_path for _, child_path in children[0])
    return found


def whole_text(program, path):
    answer = program.call(path, TEXT, "GetText", "ii", (0, -1))
    return "" if isinstance(answer, GLib.Error) else answer[0]


def check_piece(program, path, full, method, offset, boundary, answer):
    """A piece is nothing (empty: Qt's own offsets for nothing vary) or the
    text between its offsets. Returns whether it was a piece of text."""
    if isinstance(answer, GLib.Error):
        program.failures.append(f"{method}({offset}, {boundary}) on {path} refused: {answer.message}")
        return False
    text, start, end = answer

    def piece_of(whole):
        return 0 <= start <= end <= len(whole) and whole[start:end] == text

    # The clock and the counts change their texts as the demo runs.
    program.check(text == "" or piece_of(full) or piece_of(whole_text(program, path)),
                  f"{method}({offset}, {boundary}) on {path} gave {answer!r} of {full!r}")
    return text != ""


def known_requests(program, texts, tables, everything):
    """The requests that froze or crashed the program before."""
    for path in texts:
        for at_end, boundary in ((True, 1), (False, 2), (False, 3), (False, 4), (True, 3), (True, 4)):
            # The word or sentence that begins at the end is empty. The clock
            # and the statistics change their texts as the demo runs: asked
            # again until the text stays the same across the request, so that
            # the end asked for is still the end.
            for _ in range(5):
                full = whole_text(program, path)
                count = len(full)
                offset = count if at_end else -1
                answer = program.call(path, TEXT, "GetTextAtOffset", "iu", (offset, boundary))
                if whole_text(program, path) == full:
                    break
            program.check(answer == ("", count, count),
                          f"GetTextAtOffset({offset}, {boundary}) at the end of {full!r} on {path} gave {answer}")
            for method in ("GetTextBeforeOffset", "GetTextAfterOffset"):
                answer = program.call(path, TEXT, method, "iu", (offset, boundary))
                check_piece(program, path, full, method, offset, boundary, answer)
        for end in (10**8, INT_MAX):
            answer = program.call(path, TEXT, "GetRangeExtents", "iiu", (0, end, 0))
            program.check(not isinstance(answer, GLib.Error), f"GetRangeExtents(0, {end}) on {path}: {answer}")
    for path in tables:
        for method, args, nothing in (("GetRowExtentAt", (0, 1), (0,)), ("IsSelected", (2, 2), (False,)),
                                      ("GetColumnExtentAt", (2, 2), (0,)),
                                      ("GetRowColumnExtentsAtIndex", (1000,), (False, -1, -1, -1, -1, False))):
            rows = program.prop(path, TABLE, "NRows") or 0
            columns = program.prop(path, TABLE, "NColumns") or 0
            answer = program.call(path, TABLE, method, "i" * len(args), args)
            inside = all(0 <= a < limit for a, limit in zip(args, (rows, columns))) if len(args) == 2 else (
                columns > 0 and args[0] < rows * columns)
            if not inside:
                program.check(answer == nothing, f"{method}{args} on a {rows}x{columns} table {path} gave {answer}")
    for path in everything:
        answer = program.call(path, ACCESSIBLE, "GetChildAtIndex", "i", (INT_MAX,))
        program.check(not isinstance(answer, GLib.Error) and answer[0][1] == NULL_PATH,
                      f"GetChildAtIndex({INT_MAX}) on {path} gave {answer}")


def random_offset(rng, count):
    return rng.choice([rng.randint(-3, count + 3), rng.randint(-3, count + 3), -1, -2, INT_MAX, INT_MIN,
                       rng.randint(INT_MIN, INT_MAX)])


def random_requests(program, texts, tables, rng):
    pieces = 0
    for path in texts:
        full = whole_text(program, path)
        for _ in range(RANDOM_REQUESTS):
            kind = rng.randrange(5)
            if kind <= 1:
                method = rng.choice(["GetTextAtOffset", "GetTextBeforeOffset", "GetTextAfterOffset"])
                offset = random_offset(rng, len(full))
                boundary = rng.choice([0, 1, 2, 3, 4, 5, 6, rng.randint(7, 2**32 - 1)])
                answer = program.call(path, TEXT, method, "iu", (offset, boundary))
                pieces += check_piece(program, path, full, method, offset, boundary, answer)
            elif kind == 2:
                program.call(path, TEXT, "GetRangeExtents", "iiu",
                             (random_offset(rng, len(full)), random_offset(rng, len(full)), rng.randint(0, 3)))
            elif kind == 3:
                start, end = random_offset(rng, len(full)), random_offset(rng, len(full))
                answer = program.call(path, TEXT, "GetText", "ii", (start, end))
                program.check(isinstance(answer, GLib.Error) or answer[0] in full
                              or answer[0] in whole_text(program, path),
                              f"GetText({start}, {end}) on {path} gave {answer!r} of {full!r}")
            else:
                program.call(path, TEXT, rng.choice(["GetCharacterExtents"]), "iu",
                             (random_offset(rng, len(full)), rng.randint(0, 3)))
                program.call(path, TEXT, "GetCharacterAtOffset", "i", (random_offset(rng, len(full)),))
    for path in tables:
        for _ in range(RANDOM_REQUESTS):
            index = lambda: rng.choice([rng.randint(-2, 12), INT_MAX, INT_MIN, rng.randint(INT_MIN, INT_MAX)])
            method, count = rng.choice([("GetAccessibleAt", 2), ("GetIndexAt", 2), ("GetRowExtentAt", 2),
                                        ("GetColumnExtentAt", 2), ("IsSelected", 2),
                                        ("GetRowColumnExtentsAtIndex", 1), ("GetRowAtIndex", 1),
                                        ("GetColumnAtIndex", 1), ("GetRowDescription", 1),
                                        ("GetColumnDescription", 1), ("GetRowHeader", 1),
                                        ("GetColumnHeader", 1), ("IsRowSelected", 1), ("IsColumnSelected", 1)])
            program.call(path, TABLE, method, "i" * count, tuple(index() for _ in range(count)))
    # Requests inside the texts are answered with pieces of them, not all with
    # nothing.
    program.check(pieces > len(texts), f"only {pieces} random requests for a piece of text found one")


def misfits(program, texts, tables):
    """Requests whose arguments do not fit their method, methods an object does
    not have, and properties it does not have, are refused, not read."""
    for path in [ROOT] + texts[:3] + tables[:3]:
        for interface, method in (("org.a11y.atspi.Action", "GetName"), ("org.a11y.atspi.Component", "GetExtents"),
                                  (TABLE, "GetNRows"), (TEXT, "GetCaretOffset"), (ACCESSIBLE, "GetChildCount")):
            answer = program.call(path, interface, method)
            program.check(isinstance(answer, GLib.Error), f"{interface}.{method}() on {path} gave {answer}")
        for interface, name in ((TEXT, "RangeExtents"), (TEXT, "Text"), ("org.a11y.atspi.Component",
                                                                           "AccessibleAtPoint"), (TABLE, "CellAt")):
            answer = program.call(path, PROPERTIES, "Get", "ss", (interface, name))
            program.check(isinstance(answer, GLib.Error), f"property {interface}.{name} on {path} gave {answer}")
        answer = program.call(path, PROPERTIES, "Set", "ssv", (TEXT, "CaretOffset", GLib.Variant("i", 1)))
        program.check(isinstance(answer, GLib.Error), f"setting the caret as a property on {path} gave {answer}")
    for path in texts[:3]:
        answer = program.call(path, PROPERTIES, "Get", "ss", (TEXT, "CharacterCount"))
        program.check(not isinstance(answer, GLib.Error), f"property {TEXT}.CharacterCount on {path} gave {answer}")
    for path in texts[:3] + tables[:3]:
        for interface, method in ((TEXT, "GetTextAtOffset"), (TEXT, "GetRangeExtents"), (TABLE, "IsSelected"),
                                  (ACCESSIBLE, "GetChildAtIndex"), ("org.a11y.atspi.Application", "SetId"),
                                  ("org.a11y.atspi.Value", "SetCurrentValue")):
            answer = program.call(path, interface, method)
            program.check(isinstance(answer, GLib.Error), f"{method}() without arguments on {path} gave {answer}")
        answer = program.call(path, PROPERTIES, "GetAll", "s", (ACCESSIBLE,))
        program.check(isinstance(answer, GLib.Error), f"GetAll on {path} gave {answer}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--bus", required=True, help="the accessibility bus's address")
    parser.add_argument("--wait", type=float, default=20.0)
    parser.add_argument("--seed", type=int, default=20)
    options = parser.parse_args()

    bus = Gio.DBusConnection.new_for_address_sync(
        options.bus, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)
    program = find_program(bus, options.pid, options.wait)
    if program is None:
        print("the program is not on the accessibility bus")
        return 2
    # The analysis window, opened by the caller, is there once the application
    # has a second window.
    deadline = time.monotonic() + options.wait
    while True:
        windows = program.call(ROOT, ACCESSIBLE, "GetChildren")[0]
        if len(windows) >= 2 or time.monotonic() > deadline:
            break
        time.sleep(0.5)
    objects = walk(program)
    frames = len(windows)
    texts = [path for path, interfaces, _ in objects if TEXT in interfaces]
    tables = [path for path, interfaces, _ in objects if TABLE in interfaces]
    everything = [path for path, _, _ in objects]
    print(f"{len(everything)} objects in {frames} windows: {len(texts)} with a text, {len(tables)} with a table")
    program.check(frames >= 2, "the analysis window did not open")

    try:
        known_requests(program, texts, tables, everything)
        random_requests(program, texts, tables, random.Random(options.seed))
        misfits(program, texts, tables)
    except Failed as failure:
        program.failures.append(str(failure))

    seconds, what = program.slowest
    print(f"{program.calls} requests answered; the slowest took {seconds * 1000:.1f} ms: {what}")
    for failure in program.failures[:20]:
        print(f"FAIL {failure}")
    if len(program.failures) > 20:
        print(f"... and {len(program.failures) - 20} more")
    return 1 if program.failures else 0


if __name__ == "__main__":
    sys.exit(main())
