"""The archive commands inside a script: "Extract 7Zip Archive" with its
result texts, and "Run Light Mode Setup" wrapping, running and unwrapping a
package that carries no runtime of its own."""

import shutil
import subprocess

from setup_files import package_text
from test_startup import FILES, cmd, project


def make_archive(folder, name, files, *switches):
    src = folder / (name + ".src")
    for rel, content in files.items():
        (src / rel).parent.mkdir(parents=True, exist_ok=True)
        (src / rel).write_text(content)
    subprocess.run(["7zz", "a", "-t7z", *switches, str(folder / name), "."], cwd=src, check=True,
                   capture_output=True)
    return folder / name


def test_extract_7zip_archive_results(tmp_path, make_setup, run_setup, wine):
    make_archive(tmp_path / "project" / "support", "payload.7z",
                 {"top.txt": "top\n", "sub/inner.txt": "inner\n"})
    (tmp_path / "project" / "support" / "broken.7z").parent.mkdir(parents=True, exist_ok=True)
    (tmp_path / "project" / "support" / "broken.7z").write_bytes(b"7z\xbc\xaf\x27\x1c" + b"\0" * 40)
    target = tmp_path / "extracted"
    exe = make_setup(project([
        cmd("Extract 7Zip Archive", "$SUPPORTDIR$payload.7z", "$OUT$", "R1", "", "TRUE", "TRUE"),
        cmd("Extract 7Zip Archive", "$SUPPORTDIR$missing.7z", "$OUT$", "R2", "", "TRUE", "TRUE"),
        cmd("Extract 7Zip Archive", "$SUPPORTDIR$broken.7z", "$OUT$", "R3", "", "TRUE", "TRUE"),
        cmd("Extract 7Zip Archive", "$SUPPORTDIR$payload.7z", "$OUT$again\\", "", "", "TRUE", "TRUE"),
    ]), FILES)
    run = run_setup(exe, "/s", "OUT=" + wine.to_windows(target) + "\\")
    assert run.code == 0, run.output
    v = run.trace.variables
    assert v["R1"] == "SUCCESS", str(run.trace)
    assert (target / "top.txt").read_text() == "top\n"
    assert (target / "sub" / "inner.txt").read_text() == "inner\n"
    assert v["R2"] == "The archive file was not found"
    assert v["R3"] == "The archive cannot be opened: unsupported archive or incorrect password"
    assert (target / "again" / "sub" / "inner.txt").exists()  # an empty result parameter sets nothing
    assert run.trace.starting("runtime error") == []


def test_run_light_mode_setup_wraps_runs_and_restores_the_package(tmp_path, make_setup, run_setup, wine):
    light = tmp_path / "light"
    light.mkdir()
    package = light / "light.exe"
    text = package_text(["Set Variable", "Terminate with Exit Code"], ids=["{A}", "{B}"],
                        params=["{A}", "X", "1", "{B}", "42"], media=["", ""])
    package.write_bytes(text)
    child_trace = light / "child-trace.txt"
    exe = make_setup(project([
        cmd("Run Light Mode Setup", "$PKG$", "RESULT", "/s /trace=$CHILDTRACE$", "TRUE"),
        cmd("Run Light Mode Setup", "$PKG$", "AGAIN", "/s", "TRUE"),
    ]), FILES)
    # The light package uses the setup's resources under its own name.
    for ext in (".res", ".msi"):
        shutil.copyfile(exe.with_suffix(ext), light / ("light" + ext))
    run = run_setup(exe, "/s", "PKG=" + wine.to_windows(package), "CHILDTRACE=" + wine.to_windows(child_trace))
    assert run.code == 0, run.output
    v = run.trace.variables
    assert v["RESULT"] == "42", str(run.trace)
    assert b"run 2 Terminate with Exit Code" in child_trace.read_bytes()
    assert package.read_bytes() == text, "the package is restored"
    assert not (light / "light.exe.nox").exists()
    assert not (light / "zor.dll").exists(), "the copied archive library is removed"
    assert v["AGAIN"] == "42"


def test_run_light_mode_setup_with_a_nox_beside_it_gives_minus_one(tmp_path, make_setup, run_setup, wine):
    light = tmp_path / "light"
    light.mkdir()
    package = light / "light.exe"
    package.write_bytes(b"PACKAGE")
    (light / "light.exe.nox").write_bytes(b"OLD")
    exe = make_setup(project([cmd("Run Light Mode Setup", "$PKG$", "RESULT", "/s", "TRUE")]), FILES)
    run = run_setup(exe, "/s", "PKG=" + wine.to_windows(package))
    assert run.trace.variables["RESULT"] == "-1"
    assert package.read_bytes() == b"PACKAGE"
    assert (light / "light.exe.nox").read_bytes() == b"OLD"
