"""Components and feature selections in a silent run of a kit-made setup:
the selection file it saves, the states it loads back, and the installed
product query."""

import shutil

from setup_files import Trace

from test_apply_changes import apply_project, files, product, run_apply  # noqa: F401 (product is a fixture)
from test_startup import FILES, cmd, project


def test_components_are_saved_and_loaded_as_a_selection_file(tmp_path, make_setup, run_setup, wine):
    given = tmp_path / "given.dat"
    given.write_bytes(b"docs\r\nNever Defined\r\n$\r\nTRUE\r\nTRUE\r\n$\r\nD:\\Loaded\\\r\nFALSE\r\nLoaded Menu\r\n")
    saved = tmp_path / "saved.dat"
    exe = make_setup(project([
        cmd("Define Component", "Core", "TRUE", "The core of $TITLE$"),
        cmd("Define Component", "Tools\\Docs", "FALSE", "Documentation"),
        cmd("Define Component", "Docs", "FALSE", ""),
        cmd("Define Component", "Core", "FALSE", "again"),
        cmd("Set Component State", "tools\\docs", "TRUE"),
        cmd("Set Variable", "TARGETDIR", "C:\\Target\\"),
        cmd("Save Feature Selections", "$SAVED$"),
        cmd("Load Feature Selections", "$GIVEN$"),
        cmd("Get Component State", "Docs", "DOCS"),
        cmd("Get Component State", "Core", "CORE"),
        cmd("Get Component State", "Never Defined", "NEVER"),
        cmd("Is MSI Setup Installed", "{00000000-1111-2222-3333-444444444444}", "INSTALLED"),
    ]), FILES)
    run = run_setup(exe, "/s", "SAVED=" + wine.to_windows(saved), "GIVEN=" + wine.to_windows(given))
    assert run.code == 0, run.output
    assert run.trace.starting("runtime error") == [], str(run.trace)
    v = run.trace.variables
    lines = saved.read_bytes().decode("cp1252").split("\r\n")
    assert lines[:9] == ["VOSK-PREDEF-COMPONENT", "Core", "Tools\\Docs", "Docs", "$",
                         "TRUE", "TRUE", "TRUE", "FALSE"]
    assert lines[9:11] == ["$", "C:\\Target\\"]
    assert len(lines) == 14 and lines[-1] == "", "three values and no data folder line"
    assert (v["DOCS"], v["CORE"], v["NEVER"]) == ("TRUE", "TRUE", "FALSE")
    assert (v["TARGETDIR"], v["ALLUSERS"], v["STARTMENU"]) == ("D:\\Loaded\\", "FALSE", "Loaded Menu")
    assert v["INSTALLED"] == "FALSE"


def default_value(wine, key):
    """The unnamed value of a key, or None."""
    code, out = wine.run([wine.wine, "reg", "query", key, "/ve", wine.env["QV_REGVIEW"]], 60, merge_errors=False)
    if code != 0:
        return None
    for line in out.splitlines():
        parts = line.strip("\r").split("    ")
        if len(parts) >= 4 and parts[2].startswith("REG_"):
            return "    ".join(parts[3:])
    return None


def cache_folder(wine, trace):
    """The product cache, from the cached setup that UNINSTALLLINK names."""
    return wine.to_unix(trace.variables["UNINSTALLLINK"]).parent


def test_an_install_caches_the_setup_and_registers_it_and_removal_undoes_both(tmp_path, make_setup, run_setup,
                                                                             wine, product):
    project = apply_project()
    project["script"].insert(1, cmd("Define Component", "Core", "TRUE", ""))
    project["script"].insert(2, cmd("Define Component", "Extras", "FALSE", ""))
    # Only the selected component counts: 1 MB + 1 byte is 1025 KB.
    project["product"]["componentSizes"] = [{"name": "Core", "bytes": 1048577}, {"name": "Extras", "bytes": 999999}]
    exe = make_setup(project, files(product))
    title = project["product"]["title"]
    target, log = tmp_path / "target", tmp_path / "install.log"
    run = run_apply(wine, run_setup, exe, target, log)
    assert run.code == 0, run.output
    assert run.trace.variables["RES"] == "COMPLETE", str(run.trace)
    cache = cache_folder(wine, run.trace)
    for name in ("Setup.exe", "Setup.msi", "Setup.res", "zor.dll"):
        assert (cache / name).read_bytes() == (exe.parent / name).read_bytes(), name
    selection = (cache / "Setup.dat").read_bytes().decode("cp1252").split("\r\n")
    assert selection[:7] == ["VOSK-PREDEF-COMPONENT", "Core", "Extras", "$", "TRUE", "TRUE", "FALSE"]
    assert len(selection) == 13, "line 8, the data folder, is added for the cache"
    log_lines = (cache / "Setup.par").read_bytes().decode("cp1252").split("\r\n")
    pairs = list(zip(log_lines[0::2], log_lines[1::2]))
    assert ("AQV0", "TRUE") in pairs and ("PQV0_1", wine.to_windows(target) + "\\") in pairs, log_lines
    v = run.trace.variables
    assert (cache / "instance.dat").read_bytes() == f"{v['PRODUCTCODE']}\r\n{v['REVISIONCODE']}\r\n{title}\r\n".encode()

    key = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title
    cached_exe = wine.to_windows(cache / "Setup.exe")
    assert wine.reg_value(key, "DisplayName") == title
    assert wine.reg_value(key, "UninstallString") == f'"{cached_exe}" REMOVE=TRUE MODIFY=FALSE'
    assert wine.reg_value(key, "Publisher") == "Quorvex"
    assert wine.reg_value(key, "QuietUninstallString") == f'"{cached_exe}" REMOVE=TRUE MODIFY=FALSE /s'
    assert wine.reg_value(key, "DisplayVersion") == "1.0.0"
    assert wine.reg_value(key, "InstallLocation") == wine.to_windows(target) + "\\"
    assert wine.reg_value(key, "EstimatedSize") == hex(1025)
    ident = "HKLM\\SOFTWARE\\Zembrot\\Quorvex\\Ident.Cache\\" + v["PRODUCTCODE"]
    assert default_value(wine, ident) == wine.to_windows(cache) + "\\"

    # The system's uninstall list starts the cached copy. Its trace goes
    # outside the cache, which the removal takes away.
    trace_file = tmp_path / "removal-trace.txt"
    code, output = wine.run([wine.wine, str(cache / "Setup.exe"), "/s", "REMOVE=TRUE", "MODIFY=FALSE", "MODE=REMOVE",
                             "/trace=" + wine.to_windows(trace_file)], 300)
    assert code == 0, output
    v = Trace.parse(trace_file.read_bytes()).variables
    assert v["MAINTENANCE"] == "TRUE", v
    assert v["RES"] == "COMPLETE", v
    assert not cache.exists()
    assert wine.reg_value(key, "DisplayName") is None
    assert default_value(wine, ident) is None
    # What the running copy held moved aside, to go at the next restart.
    for aside in cache.parent.glob("~*"):
        shutil.rmtree(aside, ignore_errors=True)
