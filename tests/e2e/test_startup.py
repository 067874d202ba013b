"""Start-up paths of a finished setup, run silently under Wine: a good setup,
each missing or damaged part beside the stub, packages the loader cannot read,
a script that fails validation, a runtime error, and command-line presets."""

import re
import shutil
import subprocess

import pytest

from setup_files import image_size, package_text

WXS = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{2D6A7C11-5E3B-4A8F-9C20-7B1E4D5F6A01}" Name="E2E Test" Language="1033" Version="1.0.0"
           Manufacturer="Quorvex" UpgradeCode="{2D6A7C11-5E3B-4A8F-9C20-7B1E4D5F6A03}">
    <Package InstallerVersion="200" Compressed="yes"/>
    <Media Id="1" Cabinet="e2e.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="Quorvex E2E">
          <Component Id="Readme" Guid="{2D6A7C11-5E3B-4A8F-9C20-7B1E4D5F6A04}">
            <File Id="ReadmeFile" Source="payload.txt" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Readme"/></Feature>
  </Product>
</Wix>
"""

FILES = {"support/readme.txt": "support file\r\n", "product.wxs": WXS, "payload.txt": "installed\r\n"}


def project(script, support=True, wix=True):
    p = {"setup": "Setup", "product": {"title": "E2E Test", "publisher": "Quorvex"}, "script": script}
    if support:
        p["support"] = "support"
    if wix:
        p["wix"] = "product.wxs"
    return p


def cmd(name, *params, **extra):
    return {"command": name, "params": list(params), **extra}


def replace_package(exe, text: bytes):
    """Keeps the stub's image and puts a hand-made package behind it."""
    data = exe.read_bytes()
    exe.write_bytes(data[:image_size(data)] + text)


def assert_ended_cleanly(run, code=0):
    assert run.code == code, f"{run.output}\n{run.trace}"
    assert run.trace.lines[-1:] == [f"exit code {code}"], str(run.trace)
    assert run.leftovers == set()


def test_good_setup_runs_its_script_and_removes_its_workspace(make_setup, run_setup):
    exe = make_setup(project([
        cmd("Comment", "e2e"),
        cmd("Set Variable", "A", "1"),
        cmd("Set Variable", "B", "$A$-2"),
        cmd("Set Variable", "C", "not run", disabled=True),
        cmd("Set Variable", "LINES", "first\nsecond"),
        cmd("Label", "END"),
    ]), FILES)
    run = run_setup(exe, "/s")
    assert_ended_cleanly(run)
    assert "validation passed" in run.trace.lines
    assert run.trace.runs == [(1, "Comment"), (2, "Set Variable"), (3, "Set Variable"), (5, "Set Variable"),
                              (6, "Label")]
    v = run.trace.variables
    assert (v["A"], v["B"], v["LINES"]) == ("1", "1-2", "first$NEWLINE$second")
    assert "C" not in v
    assert re.search(r"\\zor\d+\\$", v["SUPPORTDIR"], re.I), v["SUPPORTDIR"]
    assert run.trace.starting("startup failure") == []


def test_bare_stub_is_for_internal_use_only(tmp_path, kit, run_setup):
    exe = tmp_path / "Setup.exe"
    shutil.copyfile(kit.stub, exe)
    shutil.copyfile(kit.zor, tmp_path / "zor.dll")
    run = run_setup(exe, "/s")
    assert_ended_cleanly(run)
    assert "startup failure: For internal use only" in run.trace.lines
    assert run.trace.runs == []


def _spoil_res(exe):
    exe.with_suffix(".res").write_bytes(b"this is not an archive\r\n" * 20)


@pytest.mark.parametrize("support, wix, spoil, message", [
    (False, True, None, "Setup resource not found"),
    (True, True, _spoil_res, "Setup resource decompression failure"),
    (True, False, None, "Setup database not found"),
], ids=["missing-res", "res-not-an-archive", "missing-msi"])
def test_missing_or_damaged_parts_end_start_up(make_setup, run_setup, support, wix, spoil, message):
    exe = make_setup(project([cmd("Set Variable", "A", "1")], support=support, wix=wix), FILES)
    if spoil:
        spoil(exe)
    run = run_setup(exe, "/s")
    assert_ended_cleanly(run)
    assert f"startup failure: {message}" in run.trace.lines
    assert run.trace.runs == []


@pytest.mark.parametrize("text", [
    package_text(["Set Variable"], media_mode="one"),
    b"Set Variable\r\nComment\r\n",
], ids=["media-mode-not-a-number", "list-without-terminator"])
def test_unreadable_package_is_a_runtime_error_in_install(make_setup, run_setup, text):
    exe = make_setup(project([]), FILES)
    replace_package(exe, text)
    run = run_setup(exe, "/s")
    assert_ended_cleanly(run, code=11)
    assert run.trace.starting("startup failure: Runtime error in install: "), str(run.trace)
    assert run.trace.runs == []


def test_failed_validation_runs_no_command(make_setup, run_setup, kit):
    exe = make_setup(project([
        cmd("Set Variable", "A", "1"),
        cmd("Label", "HERE"),
        cmd("GoTo Label", "THERE"),
    ]), FILES)
    run = run_setup(exe, "/s")
    assert_ended_cleanly(run)
    expected = "validation failed at command 3 (GoTo Label): LABEL undefined: THERE"
    assert expected in run.trace.lines
    assert run.trace.runs == []
    # The kit's check reports what the stub found.
    check = subprocess.run([str(kit.tool), "check", str(exe)], capture_output=True, text=True)
    assert (check.returncode, check.stdout) == (1, expected + "\n")


def test_runtime_error_ends_the_run_silently(make_setup, run_setup):
    # Section 13 has an entry for the first command only: the engine fails
    # when it reaches the second.
    exe = make_setup(project([]), FILES)
    ids = [f"{{00000000-0000-4000-8000-00000000000{i}}}" for i in range(3)]
    params = [ids[0], "A", "1", ids[1], "B", "2", ids[2], "C", "3"]
    replace_package(exe, package_text(["Set Variable"] * 3, ids=ids, params=params, media=[""]))
    run = run_setup(exe, "/s")
    assert_ended_cleanly(run)
    assert "validation passed" in run.trace.lines
    errors = run.trace.starting("runtime error at command ")
    assert len(errors) == 1 and errors[0].startswith("runtime error at command 2: List index out of bounds ("), \
        str(run.trace)
    assert (1, "Set Variable") in run.trace.runs
    assert all(n < 3 for n, _ in run.trace.runs)
    assert run.trace.variables.get("A") == "1"
    assert "C" not in run.trace.variables


def test_silent_mode_keeps_command_line_presets(make_setup, run_setup):
    exe = make_setup(project([cmd("Set Variable", "GREETING", "script"), cmd("Set Variable", "OTHER", "script")]),
                     FILES)
    run = run_setup(exe, "/s", "GREETING=hi", "-OTHER=ignored", "words")
    assert_ended_cleanly(run)
    assert run.trace.variables["GREETING"] == "hi"
    assert run.trace.variables["OTHER"] == "script"  # an argument starting with "-" is no preset


def test_message_file_behind_the_archive_library_replaces_the_built_in_texts(make_setup, run_setup):
    # A message file of 115 lines; line 2 is the text for a missing resource archive.
    lines = [f"message {n}" for n in range(1, 116)]
    lines[1] = "Ressource fehlt \xe4"
    messages = ("\r\n".join(lines) + "\r\n").encode("cp1252")
    p = project([cmd("Set Variable", "A", "1")], support=False)
    p["messages"] = "messages.txt"
    exe = make_setup(p, {**FILES, "messages.txt": messages})
    run = run_setup(exe, "/s")
    assert_ended_cleanly(run)
    assert "startup failure: Ressource fehlt \xe4" in run.trace.lines, str(run.trace)
