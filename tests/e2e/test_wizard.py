"""The wizard as a user meets it: a setup whose script walks a Wizard Loop of
pages made from text forms, driven under Xvfb by qvdriver (it waits for a
page, reads and sets its controls and clicks its buttons), and judged by the
variables the trace shows at the end. Every page seen is saved as a
screenshot under build/e2e-screenshots/ so that a person can look at it."""

import os
import subprocess
from pathlib import Path

import pytest

from setup_files import Trace
from wizard_pages import label, page

ROOT = Path(__file__).resolve().parents[2]
SHOTS = ROOT / "build" / "e2e-screenshots"

WXS = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{7C1F35B2-4D66-4A1C-9E3F-6BAD8F2A4C11}" Name="Wizard Test" Language="1033" Version="1.0.0"
           Manufacturer="Quorvex" UpgradeCode="{7C1F35B2-4D66-4A1C-9E3F-6BAD8F2A4C12}">
    <Package InstallerVersion="200" Compressed="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir"/>
    <Feature Id="Main" Level="1"/>
  </Product>
</Wix>
"""

LICENSE_BODY = """  object Memo1: TMemo
    Left = 24
    Top = 24
    Width = 449
    Height = 170
    Tag = 2
    ScrollBars = ssVertical
    TabOrder = 0
  end
  object Accept: TRzRadioButton
    Left = 24
    Top = 204
    Width = 300
    Height = 17
    Caption = 'I accept the license agreement'
    Hint = 'ACCEPTED'
    TabOrder = 1
  end
  object Decline: TRzRadioButton
    Left = 24
    Top = 228
    Width = 300
    Height = 17
    Caption = 'I do not accept the license agreement'
    Checked = True
    Hint = 'DECLINED'
    TabOrder = 2
  end
"""

DESTINATION_BODY = label("Label1", "$TITLE$ will be installed in this folder:") + """  object Edit1: TEdit
    Left = 24
    Top = 72
    Width = 360
    Height = 21
    Hint = 'TARGETDIR'
    Tag = 2
    TabOrder = 0
  end
  object Browse: TButton
    Left = 392
    Top = 70
    Width = 75
    Height = 25
    Caption = 'Browse...'
    Tag = 4
    TabOrder = 1
  end
"""

READY_BODY = label("Label1", "Ready to install $TITLE$ in $TARGETDIR$.") + """  object btnRepair: TButton
    Left = 24
    Top = 90
    Width = 120
    Height = 25
    Caption = 'Repair instead'
    Tag = 5
    TabOrder = 0
  end
"""

PROGRESS_BODY = """  object Status: TStaticText
    Left = 24
    Top = 24
    Width = 440
    Height = 17
    AutoSize = False
    Caption = 'Preparing'
    Tag = 1
  end
  object Bar: TProgressBar
    Left = 24
    Top = 48
    Width = 449
    Height = 17
    Tag = 1
  end
"""

PAGES = {
    "Welcome": (page("Welcome", "Welcome to $TITLE$", label("Label1", "This wizard installs $TITLE$.")), ""),
    "License": (page("License", "License of $TITLE$", LICENSE_BODY, first_tab=3),
                "IF (Accept.Checked = False)  THEN  NextButton.Enabled := False;\r\n"
                "IF (Accept.Checked = True)  THEN  NextButton.Enabled := True;\r\n"),
    "Destination": (page("Destination", "Destination of $TITLE$", DESTINATION_BODY, first_tab=2), ""),
    "Options": (page("Options", "Options of $TITLE$", label("Label1", "Never shown: SKIPOPTIONS is TRUE.")), ""),
    "Ready": (page("Ready", "Ready to install $TITLE$", READY_BODY, next_caption="Install", first_tab=1), ""),
    "Progress": (page("Progress", "Installing $TITLE$", PROGRESS_BODY), ""),
    "Finish": (page("Finish", "$TITLE$ is installed", label("Label1", "Setup has finished."), next_caption="Finish"),
               ""),
}


def cmd(name, *params):
    # The authoring tool writes every parameter slot of a command.
    return {"command": name, "params": list(params) + [""] * (6 - len(params))}


SCRIPT = [
    cmd("Set Variable", "SKIPOPTIONS", "TRUE"),
    cmd("Wizard Loop"),
    cmd("Display Dialog", "Welcome", "RESULT"),
    cmd("Display Dialog", "License", "RESULT"),
    cmd("Display Dialog", "Destination", "RESULT"),
    cmd("Display Dialog", "Options", "RESULT", "", "SKIPOPTIONS", "", "TRUE"),
    cmd("Display Dialog", "Ready", "RESULT"),
    cmd("End"),
    cmd("Set Variable", "WIZARDRESULT", "$RESULT$"),
    cmd("If", "RESULT", "0", "NEXT", "FALSE"),
    cmd("Display Dialog", "Progress", "PROGRESSRESULT", "FALSE"),
    cmd("Set Variable", "PROGRESSTEXT", "Copying files"),
    cmd("Set Variable", "PROGRESS", "60"),
    cmd("Hide Dialog"),
    cmd("Display Dialog", "Finish", "FINISHRESULT", "TRUE"),
    cmd("End"),
]


@pytest.fixture
def wizard_setup(make_setup):
    files = {"product.wxs": WXS, "support/license.txt": "The license text.\r\nSecond line.\r\n"}
    dialogs = []
    for name, (text, rules) in PAGES.items():
        files[f"forms/{name}.txt"] = text
        dialogs.append({"name": name, "form": f"forms/{name}.txt", "rules": [r for r in rules.split("\r\n") if r]})
    project = {"setup": "Setup", "product": {"title": "Wizard Test", "publisher": "Quorvex"}, "script": SCRIPT,
               "support": "support", "dialogs": dialogs, "wix": "product.wxs"}
    return make_setup(project, files)


@pytest.fixture(scope="session")
def driver(gui_tools):
    return gui_tools / "qvdriver.exe"


class Wizard:
    """A setup running with its wizard, and the user's hands on it."""

    def __init__(self, wine, driver, exe: Path, shots: Path):
        self.wine, self.driver, self.exe, self.shots = wine, driver, exe, shots
        self.trace_file = exe.parent / "trace.txt"
        self.trace_file.unlink(missing_ok=True)
        shots.mkdir(parents=True, exist_ok=True)
        self.proc = subprocess.Popen([wine.wine, str(exe), "/trace=" + wine.to_windows(self.trace_file)],
                                     env=wine.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
        self.count = 0

    def do(self, *steps, timeout=60):
        code, out = self.wine.run([self.wine.wine, str(self.driver), "--timeout=30", *steps], timeout)
        assert code == 0, f"qvdriver {' '.join(steps)}: {out}"
        return out

    def on(self, caption, *steps):
        """Waits for the page with that caption, saves its picture, then runs
        the steps on it."""
        self.do("wait", "*", caption)
        self.count += 1
        subprocess.run(["import", "-window", "root", str(self.shots / f"{self.count:02d}-{caption}.png")],
                       env=self.wine.env, check=False)
        return self.do("wait", "*", caption, *steps) if steps else ""

    def finish(self, timeout=60) -> Trace:
        try:
            self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(self.proc.pid, 9)
            raise
        return Trace.parse(self.trace_file.read_bytes())


@pytest.fixture
def wizard(wine, driver, wizard_setup, request):
    w = Wizard(wine, driver, wizard_setup, SHOTS / request.node.name)
    yield w
    if w.proc.poll() is None:
        os.killpg(w.proc.pid, 9)
        w.proc.wait()


def test_next_through_to_the_end(wizard):
    wizard.on("Welcome to Wizard Test", "click", "NextButton")
    wizard.on("License of Wizard Test", "expect", "NextButton", "enabled", "false", "check", "Accept", "on",
              "expect", "NextButton", "enabled", "true", "click", "NextButton")
    wizard.on("Destination of Wizard Test", "settext", "Edit1", r"C:\Wizard Test\App", "click", "NextButton")
    wizard.on("Ready to install Wizard Test", "click", "NextButton")
    wizard.on("Wizard Test is installed", "click", "NextButton", "gone")
    trace = wizard.finish()
    assert "exit code 0" in trace.lines
    assert trace.variables["WIZARDRESULT"] == "NEXT"
    assert trace.variables["TARGETDIR"] == r"C:\Wizard Test\App"
    assert trace.variables["ACCEPTED"] == "TRUE" and trace.variables["DECLINED"] == "FALSE"
    assert trace.variables["PROGRESSRESULT"] == "NOTMODAL"
    assert trace.variables["FINISHRESULT"] == "NEXT"
    assert trace.variables["WINDOWHANDLE"] == "0"


def test_back_and_next_again_then_cancel_answered_no_then_yes(wizard):
    wizard.on("Welcome to Wizard Test", "click", "NextButton")
    wizard.on("License of Wizard Test", "click", "BackButton")
    wizard.on("Welcome to Wizard Test", "click", "NextButton")
    wizard.on("License of Wizard Test", "click", "CancelButton")
    wizard.on("Quorvex", "click", "=No")
    wizard.on("License of Wizard Test", "expect", "CancelButton", "enabled", "true", "click", "CancelButton")
    wizard.on("Quorvex", "click", "=Yes")
    trace = wizard.finish()
    assert trace.variables["WIZARDRESULT"] == "CANCEL"
    assert trace.variables["ABORT"] == "TRUE"
    assert "FINISHRESULT" not in trace.variables


def test_a_named_button_ends_the_page_with_its_name(wizard):
    wizard.on("Welcome to Wizard Test", "click", "NextButton")
    wizard.on("License of Wizard Test", "check", "Accept", "on", "click", "NextButton")
    wizard.on("Destination of Wizard Test", "click", "NextButton")
    wizard.on("Ready to install Wizard Test", "click", "btnRepair", "gone")
    trace = wizard.finish()
    # A named result keeps the loop's direction: on past the last page.
    assert trace.variables["WIZARDRESULT"] == "BTNREPAIR"
    assert "PROGRESSRESULT" not in trace.variables


def test_silent_mode_runs_the_same_script_without_pages(wizard_setup, run_setup):
    run = run_setup(wizard_setup, "/s")
    assert run.code == 0
    v = run.trace.variables
    assert v["WIZARDRESULT"] == "NEXT" and v["PROGRESSRESULT"] == "NOTMODAL" and v["FINISHRESULT"] == "NEXT"
    assert v["WINDOWHANDLE"] == "0"


def test_the_wizard_example_builds_and_runs_silently(kit, run_setup, tmp_path):
    out = tmp_path / "example"
    result = subprocess.run([str(kit.tool), "build", str(ROOT / "examples" / "wizard" / "wizard.json"), "--out",
                             str(out), "--stub", str(kit.stub), "--zor", str(kit.zor)], capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    run = run_setup(out / "Setup.exe", "/s", "LANGUAGE=German")
    assert run.code == 0
    v = run.trace.variables
    assert (v["LANGUAGE"], v["WIZARDRESULT"], v["FINISHRESULT"], v["PROGRESS"]) == ("German", "NEXT", "NEXT", "100")
    assert v["PROGRESSTEXT"] == "Installiere Quorvex Wizard Demo"
