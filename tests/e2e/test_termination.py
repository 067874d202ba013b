"""Ending a run early: the exit codes a Windows parent process sees, nothing
running after a termination command, and the two restart commands with the
resume entry in the registry. Restarts are simulated: with
QUORVEX_SIMULATE_RESTART naming a file, the stub appends "restart requested"
to it instead of asking the system to restart."""

import re

import pytest

from test_engine import FILES, cmd, read_lines

PRODUCT_CODE = "{7C3A5E19-2B4D-4E6F-8A1C-9D0B2E4F6A81}"
RESUME_NAME = PRODUCT_CODE[1:9]
RUN_KEYS = {"user": r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run",
            "machine": r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"}


def project(script):
    return {"setup": "Setup", "product": {"title": "E2E Termination", "publisher": "Quorvex", "code": PRODUCT_CODE},
            "script": script, "support": "support", "wix": "product.wxs"}


def exit_code_seen_by_windows(wine, exe, *args):
    """The whole exit code as a Windows parent sees it (a Linux wait status
    keeps its low 8 bits only): cmd starts the setup, waits for it (it is a
    GUI program) and echoes ERRORLEVEL, expanded with delayed expansion after
    the setup has ended."""
    line = " ".join(["start", "/wait", wine.to_windows(exe), *args]) + " & echo exit=!ERRORLEVEL!"
    _, out = wine.run([wine.wine, "cmd", "/v:on", "/c", line], 120)
    found = re.findall(r"^exit=(-?\d+)\r?$", out, re.M)
    assert len(found) == 1, out
    return int(found[0])


@pytest.mark.parametrize("ending, code", [
    (cmd("Terminate with Exit Code", "$CODE$"), 3010),
    (cmd("Terminate with Exit Code", "abc"), 0),
    (cmd("Terminate with Exit Code", "-5"), -5),
    (cmd("Terminate with Exit Code", "2147483648"), 0),
    (cmd("Terminate Install"), 0),
], ids=["3010-by-reference", "not-a-number", "negative", "beyond-32-bits", "terminate-install"])
def test_termination_sets_the_exit_code_and_nothing_runs_after_it(make_setup, run_setup, wine, tmp_path, ending,
                                                                    code):
    out = tmp_path / "out.txt"
    script = [
        cmd("Set Variable", "CODE", "3010"),
        cmd("Write to Text File", "$OUT$", "before"),
        cmd("If", "CODE", "0", "3010"),
        ending,
        cmd("Write to Text File", "$OUT$", "after in the branch"),
        cmd("End"),
        cmd("Write to Text File", "$OUT$", "after the branch"),
        cmd("Terminate with Exit Code", "99"),
    ]
    exe = make_setup(project(script), FILES)
    preset = "OUT=" + wine.to_windows(out)
    run = run_setup(exe, "/s", preset)
    assert run.code == code % 256, f"{run.output}\n{run.trace}"
    assert run.trace.lines[-1] == f"exit code {code}", str(run.trace)
    assert [n for n, _ in run.trace.runs] == [1, 2, 3, 4], str(run.trace)
    assert run.trace.starting("runtime error") == []
    assert run.leftovers == set()
    assert read_lines(out) == ["before"]

    out.unlink()
    assert exit_code_seen_by_windows(wine, exe, "/s", preset) == code
    assert read_lines(out) == ["before"]


@pytest.fixture
def run_keys(wine):
    """The resume value in both hives, removed before and after the test."""
    for key in RUN_KEYS.values():
        wine.reg_delete(key, RESUME_NAME)
    yield lambda: {hive: wine.reg_value(key, RESUME_NAME) for hive, key in RUN_KEYS.items()}
    for key in RUN_KEYS.values():
        wine.reg_delete(key, RESUME_NAME)


REBOOTING = [
    cmd("Set Variable", "MODE", "none"),
    cmd("Set Variable", "RAN", "yes"),
    cmd("If", "MODE", "0", "resume"),
    cmd("Reboot and Resume"),
    cmd("Set Variable", "AFTER", "resume"),
    cmd("Else If", "MODE", "0", "reboot"),
    cmd("Reboot Computer"),
    cmd("Set Variable", "AFTER", "reboot"),
    cmd("End"),
    cmd("Set Variable", "AFTER", "no restart"),
]


def restart_env(wine, restart_file):
    return {"QUORVEX_SIMULATE_RESTART": wine.to_windows(restart_file)}


@pytest.mark.parametrize("args, hive, command_path", [
    (["ALLUSERS=FALSE"], "user", None),
    ([], "machine", None),
    (["ALLUSERS=FALSE", r"/m=C:\Media\Package.EXE"], "user", r"c:\media\package.exe"),
], ids=["per-user", "all-users", "self-extracting-package"])
def test_reboot_and_resume_writes_the_resume_entry_that_the_next_run_removes(make_setup, run_setup, wine, tmp_path,
                                                                              run_keys, args, hive, command_path):
    exe = make_setup(project(REBOOTING), FILES)
    restart = tmp_path / "restart.txt"
    run = run_setup(exe, "/s", "MODE=resume", *args, env=restart_env(wine, restart))
    assert run.code == 0, f"{run.output}\n{run.trace}"
    assert [name for _, name in run.trace.runs][-1] == "Reboot and Resume", str(run.trace)
    v = run.trace.variables
    assert "AFTER" not in v and v["RAN"] == "yes"
    assert v["ALLUSERS"] == ("FALSE" if hive == "user" else "TRUE")
    assert restart.read_bytes() == b"restart requested\r\n"

    assert v["EXEFILE"] == wine.to_windows(exe)
    assert v["CMDLINE"].startswith(" ".join(["/s", "MODE=resume", *args]) + " /trace="), v["CMDLINE"]
    other = "machine" if hive == "user" else "user"
    assert run_keys() == {hive: (command_path or v["EXEFILE"]) + " " + v["CMDLINE"], other: None}

    # The next start removes the entry from both hives, also one the run did
    # not write, although its script restarts nothing this time.
    wine.reg_set(RUN_KEYS[other], RESUME_NAME, "stale")
    assert run_keys()[other] == "stale"
    again = run_setup(exe, "/s", env=restart_env(wine, restart))
    assert again.code == 0 and again.trace.variables["AFTER"] == "no restart", str(again.trace)
    assert run_keys() == {"user": None, "machine": None}
    assert restart.read_bytes() == b"restart requested\r\n"


def test_reboot_computer_only_requests_the_restart(make_setup, run_setup, wine, tmp_path, run_keys):
    exe = make_setup(project(REBOOTING), FILES)
    restart = tmp_path / "restart.txt"
    run = run_setup(exe, "/s", "MODE=reboot", env=restart_env(wine, restart))
    assert run.code == 0, f"{run.output}\n{run.trace}"
    assert [name for _, name in run.trace.runs][-1] == "Reboot Computer", str(run.trace)
    assert "AFTER" not in run.trace.variables
    assert restart.read_bytes() == b"restart requested\r\n"
    assert run_keys() == {"user": None, "machine": None}
    assert run.leftovers == set()
