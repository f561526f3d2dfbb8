#!/usr/bin/python3
# KORVID_Demo driven and read from another process as a screen reader and its
# user do it, through the at-spi accessibility bus: a code file is loaded with
# the window's own Load command and its size and checksum are read from the
# status fields; the hex editor is found as an editable text holding the loaded
# bytes as its hex column, real arrow keys move its caret offset, and a typed
# digit is announced as a text change; "Update Target" programs the simulated
# programmer and says so, "Dump Target Info" replaces the code with the target's
# information, and Auto Reload reads the changed file again when the window is
# activated. The program runs once under each monospace family
# the suite draws with, each time with fonts of its own (FONTCONFIG_FILE from
# tests/fonts/monospace.conf.in), so that no run depends on the machine's fonts.
# Run by screen_reader_test.sh inside a virtual screen and a session bus of its
# own.
#   screen_reader_test.py KORVID_Demo
# Exit status 0 passed, 1 failed, 77 skipped (the accessibility bus cannot be
# reached).
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
WAIT_S = 20.0  # bound of every wait; each normally ends within a second
HERE = os.path.dirname(os.path.abspath(__file__))
# As KORVID_TEST_MONOSPACE_FAMILIES in cmake/KorvidTesting.cmake, with the
# package of each (scripts/packages.txt).
FAMILIES = [("Noto Sans Mono", "fonts-noto-mono"), ("DejaVu Sans Mono", "fonts-dejavu-core"),
            ("Liberation Mono", "fonts-liberation2")]

# The file loaded: 20 bytes at address 0, so the editor's 16-byte rows show
# them on two lines.
LOADED = bytes([0x02, 0x01, 0x00, 0x75, 0x81, 0x30, 0xE4, 0xF5, 0x90, 0x80,
                0xFE, 0x00, 0x3C, 0xA5, 0x5A, 0xFF, 0x10, 0x20, 0x30, 0x40])


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def fail(reason):
    print("FAILED: " + reason)
    sys.exit(1)


def intel_hex(data):
    lines = []
    for start in range(0, len(data), 16):
        chunk = data[start:start + 16]
        record = bytes([len(chunk), start >> 8, start & 0xFF, 0]) + chunk
        lines.append(":%s%02X" % (record.hex().upper(), -sum(record) & 0xFF))
    return "\n".join(lines + [":00000001FF"]) + "\n"


def hex_column(data, per_row=16):
    rows = [" ".join("%02X" % b for b in data[i:i + per_row])
            for i in range(0, len(data), per_row)]
    return "\n".join(rows)


def monospace_fonts(family, folder):
    """A fontconfig file in folder that makes family the "monospace" one;
    fails when that is not what fontconfig then answers."""
    with open(os.path.join(HERE, "..", "fonts", "monospace.conf.in")) as template:
        config = template.read().replace("@MONOSPACE_FAMILY@", family)
    path = os.path.join(folder, "fonts.conf")
    with open(path, "w") as file:
        file.write(config)
    answer = subprocess.run(["fc-match", "-f", "%{family[0]}", "monospace"],
                            env=dict(os.environ, FONTCONFIG_FILE=path),
                            capture_output=True, text=True, timeout=WAIT_S).stdout
    if answer != family:
        package = dict(FAMILIES)[family]
        fail("monospace is %s, not %s: is %s installed (scripts/packages.txt)?"
             % (answer, family, package))
    return path


def reach_accessibility_bus():
    """Skips unless the session bus hands out the accessibility bus and its
    registry answers there."""
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Gio, GLib
    except (ImportError, ValueError) as error:
        skip("no at-spi bindings for this python (%s)" % error)
    try:
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                  None, GLib.VariantType.new("(s)"),
                                  Gio.DBusCallFlags.NONE, 5000, None)
        bus = Gio.DBusConnection.new_for_address_sync(
            reply.unpack()[0],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
            Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        bus.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                      "org.freedesktop.DBus.Peer", "Ping", None, None,
                      Gio.DBusCallFlags.NONE, 5000, None)
    except GLib.Error as error:
        skip("the accessibility bus cannot be reached (%s)" % error.message)


class Reader:
    """Listens to the events a screen reader listens to and finds what it reads."""

    def __init__(self):
        import pyatspi
        from gi.repository import GLib
        self.pyatspi = pyatspi
        self.context = GLib.MainContext.default()
        self.events = []
        self.program = None
        # Registered before the program starts, as a reader that is already
        # running: the program then knows from its start that someone listens.
        pyatspi.Registry.registerEventListener(
            self.events.append, "object:text-caret-moved", "object:text-changed")

    def pump(self):
        while self.context.iteration(False):
            pass

    def wait_for(self, what, probe):
        """Polls probe, handling events in between, until it gives a value."""
        end = time.monotonic() + WAIT_S
        while True:
            if self.program is not None and self.program.poll() is not None:
                fail("KORVID_Demo ended (status %d) while waiting for %s"
                     % (self.program.returncode, what))
            self.pump()
            try:
                value = probe()
            except Exception:  # an object may vanish while a window changes
                value = None
            if value is not None and value is not False:
                return value
            if time.monotonic() > end:
                fail("waited %.0f s for %s" % (WAIT_S, what))
            time.sleep(0.02)

    def find(self, root, predicate):
        if predicate(root):
            return root
        for index in range(root.childCount):
            child = root.getChildAtIndex(index)
            if child is not None:
                found = self.find(child, predicate)
                if found is not None:
                    return found
        return None

    def application(self, name, pid):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name == name and app.get_process_id() == pid:
                return app
        return None

    def window(self, app, name):
        return self.find(app, lambda a: a.getRole() == self.pyatspi.ROLE_DIALOG and a.name == name)

    def press(self, root, role, name):
        button = self.wait_for("the %s \"%s\"" % (role, name), lambda: self.find(
            root, lambda a: a.getRoleName() == role and a.name == name and
            a.getState().contains(self.pyatspi.STATE_ENABLED)))
        button.queryAction().doAction(0)

    def field(self, root, name):
        """The text of the text field named name."""
        found = self.find(root, lambda a: a.getRole() == self.pyatspi.ROLE_TEXT and a.name == name)
        return None if found is None else found.queryText().getText(0, -1)

    def answer_message(self, app, text, button="OK"):
        """Waits for the message box that says text and presses its button."""
        label = self.wait_for("the message \"%s\"" % text, lambda: self.find(
            app, lambda a: a.getRole() == self.pyatspi.ROLE_LABEL and a.name == text))
        box = label
        while box.getRole() not in (self.pyatspi.ROLE_ALERT, self.pyatspi.ROLE_DIALOG):
            box = box.parent
        self.press(box, "push button", button)
        self.wait_for("the message box closed", lambda: self.find(
            app, lambda a: a.getRole() == self.pyatspi.ROLE_LABEL and a.name == text) is None)

    def events_since(self, mark, kind, source):
        return [e for e in self.events[mark:] if e.type.startswith(kind) and e.source == source]


def xdotool(*arguments):
    subprocess.run(["xdotool"] + list(arguments), check=True, timeout=WAIT_S)


def keys(*names):
    xdotool("key", "--delay", "0", *names)


def read_the_editor(reader, program, scratch, family):
    """KORVID_Demo with family as its monospace font, read as a reader reads it."""
    print("under %s" % family, flush=True)
    code = os.path.join(scratch, "blink.hex")
    with open(code, "w") as file:
        file.write(intel_hex(LOADED))
    folder = os.path.join(scratch, family.replace(" ", "-"))
    os.makedirs(os.path.join(folder, "runtime"), mode=0o700)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
               KORVID_SIMULATE="hid", KORVID_SIMULATE_CLOCK="virtual", KORVID_LANG="en",
               FONTCONFIG_FILE=monospace_fonts(family, folder),
               XDG_CONFIG_HOME=os.path.join(folder, "config"),
               XDG_RUNTIME_DIR=os.path.join(folder, "runtime"))
    started = time.monotonic()
    demo = reader.program = subprocess.Popen([program], env=env, cwd=scratch)
    try:
        app = reader.wait_for("KORVID_Demo on the accessibility bus",
                              lambda: reader.application("KORVID_Demo", demo.pid))
        # The code buffer's group box bears the same name as the editor in it.
        editor = reader.wait_for("the hex editor", lambda: reader.find(
            app, lambda a: a.name == "Binary Code Buffer" and
            a.getRole() != reader.pyatspi.ROLE_PANEL))
        if editor.getRole() != reader.pyatspi.ROLE_TEXT or "Text" not in editor.get_interfaces():
            fail("the hex editor is a %s with %s, not an editable text"
                 % (editor.getRoleName(), editor.get_interfaces()))
        if not editor.getState().contains(reader.pyatspi.STATE_EDITABLE):
            fail("the hex editor is not editable")
        text = editor.queryText()

        # Load through the window: the area dialog's OK, then the file dialog.
        reader.press(app, "push button", "Load")
        area = reader.wait_for("the area dialog", lambda: reader.window(app, "Select AP/IAP area"))
        reader.press(area, "push button", "OK")
        opened = reader.wait_for("the file dialog", lambda: reader.window(app, "Open"))
        name = reader.wait_for("the file name field", lambda: reader.find(
            opened, lambda a: a.getRole() == reader.pyatspi.ROLE_TEXT and
            a.getState().contains(reader.pyatspi.STATE_FOCUSED)))
        name.queryEditableText().setTextContents(code)
        reader.press(opened, "push button", "Open")
        expected = hex_column(LOADED)
        reader.wait_for("the loaded bytes as the editor's text",
                        lambda: text.getText(0, -1) == expected)
        if text.characterCount != len(expected) or text.caretOffset != 0:
            fail("after the load: %d characters, caret at %d"
                 % (text.characterCount, text.caretOffset))
        status = (reader.field(app, "Source"), reader.field(app, "Size"),
                  reader.field(app, "Checksum"))
        if status != (code, "Size:0x%X" % len(LOADED), "Checksum:0x%04X" % (sum(LOADED) & 0xFFFF)):
            fail("status after the load: %s" % (status,))

        # A click on the left of the first digit, where the reader says it
        # stands, gives the editor the focus with the caret there.
        cell = text.getCharacterExtents(0, reader.pyatspi.DESKTOP_COORDS)
        xdotool("mousemove", str(cell[0] + 1), str(cell[1] + cell[3] // 2), "click", "1")
        reader.wait_for("the focus on the editor",
                        lambda: editor.getState().contains(reader.pyatspi.STATE_FOCUSED))
        if text.caretOffset != 0:
            fail("a click on the first digit put the caret at %d" % text.caretOffset)
        # Real key events from the X server: the caret moves a digit at a time
        # and a row at a time, and each move is told.
        mark = len(reader.events)
        keys("Right", "Right", "Right")
        reader.wait_for("the caret on byte 1's second digit", lambda: text.caretOffset == 4)
        keys("Down")
        reader.wait_for("the caret a row down", lambda: text.caretOffset == 4 + 16 * 3)
        moves = [e.detail1 for e in reader.wait_for(
            "the caret moves told",
            lambda: len(reader.events_since(mark, "object:text-caret-moved", editor)) >= 4 and
            reader.events_since(mark, "object:text-caret-moved", editor))]
        if moves != [1, 3, 4, 52]:
            fail("caret moves told: %s" % moves)

        # A typed digit overwrites the caret's nibble (byte 17's second digit:
        # 0x20 becomes 0x2B) and is told as a change of the text there.
        mark = len(reader.events)
        keys("b")
        reader.wait_for("the typed digit in the text", lambda: text.getText(51, 53) == "2B")
        told = reader.wait_for("the edit told", lambda: any(
            e.type.endswith(":insert")
            for e in reader.events_since(mark, "object:text-changed", editor)) and
            reader.events_since(mark, "object:text-changed", editor))
        told = [(e.type, e.detail1, e.detail2, e.any_data) for e in told]
        if told != [("object:text-changed:delete", 51, 2, "20"),
                    ("object:text-changed:insert", 51, 2, "2B")]:
            fail("edit told as %s" % told)

        # The edited image goes to the simulated programmer, which says so.
        reader.press(app, "push button", "Update Target")
        reader.answer_message(app, "Update success !")
        edited = LOADED[:17] + bytes([0x2B]) + LOADED[18:]
        checksum = "Checksum:0x%04X" % (sum(edited) & 0xFFFF)
        if reader.field(app, "Checksum") != checksum:
            fail("checksum after the edit: %s" % reader.field(app, "Checksum"))

        # The dump replaces the code with the target's 256 bytes: no size, no sum.
        reader.press(app, "push button", "Dump Target Info")
        reader.wait_for("the dump's note", lambda: reader.field(app, "Source") ==
                        "Dump Information ok !")
        reader.wait_for("the dump in the editor", lambda: text.characterCount == 16 * 16 * 3 - 1)
        if reader.field(app, "Size") != "" or reader.field(app, "Checksum") != "":
            fail("size and checksum after the dump: %s, %s"
                 % (reader.field(app, "Size"), reader.field(app, "Checksum")))

        # Auto Reload: the file grows meanwhile; when the user comes back to the
        # window (from the About box, with a click into it) it is read and laid
        # over the image once more.
        reader.press(app, "check box", "Auto Reload Code")
        grown = bytes(range(0x20)) * 9
        with open(code, "w") as file:
            file.write(intel_hex(grown))
        reader.press(app, "push button", "About")
        about = reader.wait_for("the About box", lambda: reader.window(app, "About"))
        # The user's focus goes to the box, as a window manager gives it.
        xdotool("search", "--sync", "--name", "^About$", "windowfocus", "--sync")
        reader.wait_for("the window left", lambda: not reader.find(
            app, lambda a: a.getRole() == reader.pyatspi.ROLE_DIALOG and
            a.name.startswith("Vostrel")).getState().contains(reader.pyatspi.STATE_ACTIVE))
        reader.press(about, "push button", "OK")
        reader.wait_for("the About box closed", lambda: reader.window(app, "About") is None)
        xdotool("search", "--sync", "--name", "^Vostrel 8051 ", "windowfocus", "--sync")
        reader.wait_for("the grown file reloaded",
                        lambda: reader.field(app, "Size") == "Size:0x%X" % len(grown))
        if not text.getText(0, -1).startswith(hex_column(grown)[:47]):
            fail("the editor after the reload: %s" % text.getText(0, 47))
        print("%s: passed in %.1f s" % (family, time.monotonic() - started))
    finally:
        demo.terminate()
        try:
            demo.wait(timeout=WAIT_S)
        except subprocess.TimeoutExpired:
            demo.kill()
            demo.wait()


def main():
    program = sys.argv[1]
    reach_accessibility_bus()
    reader = Reader()
    scratch = tempfile.mkdtemp(prefix="korvid-reader-")
    try:
        for family, _ in FAMILIES:
            read_the_editor(reader, program, scratch, family)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
