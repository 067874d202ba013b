"""The form runtime as a user meets it: a page with every control kind,
compiled from its text form by the kit, shown by qvpageview and driven by
qvdriver under Wine (the tools from the gui_tools fixture)."""

import json
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

import pytest

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE / "forms"))
import make_form  # noqa: E402



@pytest.fixture
def page(wine, gui_tools, tmp_path, kit):
    kit = kit.tool
    for tool in ("qvdriver.exe", "qvpageview.exe"):
        shutil.copy(gui_tools / tool, tmp_path / tool)
    text = tmp_path / "every_control.txt"
    text.write_text(make_form.fill((HERE / "forms" / "every_control.txt").read_text(encoding="utf-8")),
                    encoding="utf-8")
    form = tmp_path / "every_control.dfm"
    subprocess.run([str(kit), "form", str(text), str(form)], check=True)
    log = open(tmp_path / "events.log", "wb")
    viewer = subprocess.Popen([wine.wine, str(tmp_path / "qvpageview.exe"), str(form)], env=wine.env,
                              cwd=tmp_path, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)

    def drive(*args, expect_ok=True):
        code, out = wine.run([wine.wine, str(tmp_path / "qvdriver.exe"), "--timeout=20", "wait", "TPoolTemplate",
                              "Every control", *args], 60, merge_errors=False)
        if expect_ok:
            assert code == 0, f"qvdriver {' '.join(args)} failed with {code}: {out}"
        return code, out

    def events():
        return (tmp_path / "events.log").read_text(errors="replace").splitlines()

    yield drive, events, tmp_path
    drive("close", expect_ok=False)
    try:
        viewer.wait(timeout=20)
    except subprocess.TimeoutExpired:
        os.killpg(viewer.pid, 9)
        viewer.wait()
    log.close()


def controls(drive):
    _, out = drive("list")
    return {c["name"]: c for c in map(json.loads, out.splitlines()[1:]) if c["name"]}


def wait_for(events, line, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if line in events():
            return
        time.sleep(0.2)
    pytest.fail(f"no event {line!r} in {events()}")


def test_every_control_kind_is_shown_as_a_dialog_shows_it(page, wine):
    drive, events, folder = page
    found = controls(drive)
    kinds = {name: c["kind"] for name, c in found.items()}
    assert kinds["NameEdit"] == "edit" and kinds["NotesMemo"] == "memo" and kinds["Notes"] == "memo"
    assert kinds["AgreeCheck"] == "check" and kinds["TypicalRadio"] == "radio" and kinds["Options"] == "group"
    assert kinds["LanguageList"] == "list" and kinds["ModeCombo"] == "combo" and kinds["Drives"] == "combo"
    assert kinds["Features"] == "tree" and kinds["ShellTree"] == "tree" and kinds["ShellList"] == "listview"
    assert kinds["Volume"] == "trackbar" and kinds["Progress"] == "progress" and kinds["CopiesUpDown"] == "updown"
    assert kinds["Banner"] == "panel" and kinds["Title"] == "label"
    assert found["NameEdit"]["text"] == "Alice"
    assert found["NotesMemo"]["text"] == "First line\r\nSecond line"
    assert found["AgreeCheck"]["checked"] == 1 and found["CustomRadio"]["checked"] == 0
    assert found["LanguageList"]["items"] == ["English", "German", "French"]
    assert found["Filter"]["items"] == ["Text files (*.txt)", "All files (*.*)"]
    assert found["Volume"]["position"] == 3 and found["Progress"]["position"] == 60
    assert found["CopiesEdit"]["text"] == "1"
    # Painted kinds (images, shapes, bevels, gauges) have no window.
    assert "Logo" not in found and "Circle" not in found
    # Controls inside containers are placed in them.
    assert found["DesktopCheck"]["rect"][1] > found["Options"]["rect"][1]
    shot = folder / "every_control.png"
    subprocess.run(["import", "-window", "root", str(shot)], env=wine.env, check=True)
    assert shot.stat().st_size > 10000


def test_a_user_types_checks_selects_and_clicks(page):
    drive, events, _ = page
    drive("settext", "NameEdit", "Bob", "expect", "NameEdit", "text", "Bob")
    wait_for(events, "event Edit1Change NameEdit OnChange")
    drive("check", "CustomRadio", "on", "expect", "TypicalRadio", "checked", "0")
    wait_for(events, "event RadioButton1Click CustomRadio OnClick")
    drive("check", "AgreeCheck", "off", "expect", "AgreeCheck", "checked", "0")
    wait_for(events, "event CheckBox1Click AgreeCheck OnClick")
    drive("select", "LanguageList", "German", "expect", "LanguageList", "selected", "1")
    wait_for(events, "event ListBox1Click LanguageList OnClick")
    drive("select", "ModeCombo", "Repair", "expect", "ModeCombo", "text", "Repair")
    wait_for(events, "event ComboBox1Change ModeCombo OnChange")
    drive("click", "=Next >")
    wait_for(events, "event Button1Click NextButton OnClick")
    code, _ = drive("select", "LanguageList", "Klingon", expect_ok=False)
    assert code == 1


def test_the_keyboard_works_as_in_a_dialog(page):
    drive, events, _ = page
    # Alt+N is the label's mnemonic: its FocusControl takes the focus.
    drive("click", "CopiesEdit", "sleep", "300", "keys", "%n", "sleep", "500")
    _, out = drive("focus")
    assert out.splitlines()[-1] == "NameEdit"
    drive("keys", "{TAB}", "sleep", "500")
    _, out = drive("focus")
    assert out.splitlines()[-1] == "SerialEdit"
    # Enter presses the default button, Esc the cancel button.
    drive("keys", "{ENTER}")
    wait_for(events, "event Button1Click NextButton OnClick")
    drive("keys", "{ESC}")
    wait_for(events, "event Button1Click CancelButton OnClick")
    # The close box asks the page, which closes.
    drive("close", "gone")
    wait_for(events, "close")
