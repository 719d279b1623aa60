"""Endurance: a hundred tests in one session of the counting build
(stravo_counted.exe, the same program with its object, memory, file and key calls
counted, see tests/endurance), switching drives and opening the graph, the system
information dialog and the about box between them. What is alive after the tenth
test must still be all that is alive after the hundredth."""

import os
import time

from disk_test_cases import CARACAL, ThrottledDrive, select_drive
from harness import WM_COMMAND, Program, case, wait_for
from main_dialog_cases import set_drives
from result_cases import close_sysinfo, open_sysinfo, typing_the_size

WM_LBUTTONUP = 0x0202
COUNTS = r"C:\stravo-counts.txt"
RUNS = int(os.environ.get("STRAVO_RUNS", "100"))
# Live counts that must not change between the two readings.
LIVE = ("gdi", "dc", "paint", "memory", "files", "keys", "windows", "handles")


def read_counts(path):
    """{name: live} and {name: made} from the counting build's last report."""
    try:
        with open(path) as f:
            words = f.read().split()
    except OSError:
        return None, None
    live, made, i = {}, {}, 0
    while i + 1 < len(words):
        name, value = words[i], words[i + 1]
        live[name] = int(value)
        if name in ("gdi", "dc", "paint", "memory", "files", "keys"):
            made[name] = int(words[i + 2].rstrip("+"))
            assert not words[i + 2].endswith("+"), "the counting table of %s overflowed" % name
            i += 3
        else:
            i += 2
    return live, made


def settled(path):
    """The report once two in a row agree on what is alive: the paints are over."""
    last = None
    for _ in range(50):
        time.sleep(1.1)
        live, made = read_counts(path)
        if live and last and all(live[k] == last[k] for k in LIVE):
            return live, made
        last = live
    raise AssertionError("the counts never settled: %s" % last)


def open_and_close(s, dialog, open_it, close_it):
    open_it()
    boxes = wait_for(lambda: s.owned_by(dialog), 10)
    assert boxes, "nothing opened"
    close_it(boxes[0])
    assert wait_for(lambda: not s.owned_by(dialog), 10), "%s stayed open" % boxes[0].text


def the_dialogs_between_tests(s, dialog):
    open_and_close(s, dialog, lambda: s.probe.command(dialog.hwnd, 187),
                   lambda graph: s.probe.command(graph.hwnd, 2))
    sysinfo = open_sysinfo(s, dialog)
    close_sysinfo(s, dialog, sysinfo)
    icon = s.probe.item(dialog.hwnd, 101)
    cx, cy, _, _ = s.probe.client(dialog.hwnd)
    x, y = icon.centre()
    open_and_close(s, dialog,
                   lambda: s.probe.post(dialog.hwnd, WM_LBUTTONUP, 0, ((y - cy) << 16) | (x - cx)),
                   lambda about: s.probe.command(about.hwnd, 1))


@case
def a_hundred_tests_in_one_session_leave_nothing_behind(s):
    counted = os.path.join(os.path.dirname(os.path.abspath(s.exe)), "stravo_counted.exe")
    assert os.path.exists(counted), "the counting build is missing: %s" % counted
    path = os.path.join(os.environ["WINEPREFIX"], "drive_c", "stravo-counts.txt")
    drive = ThrottledDrive(s.throttlefs, write_kbs=102400, read_kbs=102400)
    os.environ["STRAVO_COUNTS"] = COUNTS
    try:
        set_drives(s, {"t": ("hd", "", drive.mount)})
        s.reset()
        s.probe.reg_delete_tree("HKLM", r"Software\vexo Computer Products")
        s.probe.reg_delete_tree("HKCU", CARACAL)  # no reference: the close asks nothing
        if os.path.exists(path):
            os.remove(path)
        program = Program(counted)
        s.programs.append(program)
        dialog = s.main_dialog()
        typing_the_size("10")(s, dialog)  # the smallest test file: 107 blocks
        started = time.time()
        for run in range(1, RUNS + 1):
            select_drive(s, dialog, "T:" if run % 2 else "C:")
            # The command returns when the test is over; a box would hold it up.
            assert s.probe.send(dialog.hwnd, WM_COMMAND, 171, 0, wait_ms=60000) is not None, \
                "test %d did not end" % run
            if run % 10 == 0:
                the_dialogs_between_tests(s, dialog)
            if run == 10:
                first, first_made = settled(path)
        last, last_made = settled(path)
        took = time.time() - started
        print("endurance: %d tests in %.0f s; after test 10 / after test %d:" % (RUNS, took, RUNS))
        print("endurance:   " + ", ".join("%s %d/%d" % (k, first[k], last[k]) for k in LIVE))
        print("endurance:   committed %d/%d kB, working set %d/%d kB" % (
            first["committed_kb"], last["committed_kb"], first["working_kb"], last["working_kb"]))
        print("endurance:   made between them: " + ", ".join(
            "%s %d" % (k, last_made[k] - first_made[k]) for k in last_made))
        for k in LIVE:
            assert last[k] == first[k], "%s grew from %d to %d" % (k, first[k], last[k])
        # Drawing, files and memory blocks were really made and freed in between.
        for k in ("gdi", "dc", "paint", "memory", "files"):
            assert last_made[k] - first_made[k] >= RUNS - 10, (k, last_made, first_made)
        grew = last["committed_kb"] - first["committed_kb"]
        assert grew < 1024, "committed memory grew by %d kB over %d tests" % (grew, RUNS - 10)

        s.probe.command(dialog.hwnd, 1)
        assert program.wait(30) == 0
        assert not os.path.exists(drive.file()), "the test file was left on T:"
        live, _ = read_counts(path)
        assert live["gdi"] == 0 and live["dc"] == 0, "left at the end: %s" % live
    finally:
        os.environ.pop("STRAVO_COUNTS", None)
        s.stop_all()
        drive.stop()
        set_drives(s, {})
