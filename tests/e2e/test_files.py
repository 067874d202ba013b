"""The file and folder commands in a silent run of a kit-made setup, judged
by the files they leave and the variables and installer properties the
trace shows."""

import os

from setup_files import package_text
from test_startup import FILES, cmd, project, replace_package


def make_tree(root, paths):
    for rel in paths:
        path = root / rel
        if rel.endswith("/"):
            path.mkdir(parents=True, exist_ok=True)
        else:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text("x")


def test_file_tests_search_and_recursive_delete(tmp_path, make_setup, run_setup, wine):
    tree = tmp_path / "tree"
    make_tree(tree, ["a/x.txt", "a/b/y.txt", "a/b/z.log", "a/with space/w.txt",
                     "d/keep.txt", "d/top.log", "d/logs/deep/b.log", "d/logs/a.log", "d/empty/", "d/mixed/c.log",
                     "d/mixed/note.txt"])
    os.chmod(tree / "d" / "logs" / "a.log", 0o444)
    exe = make_setup(project([
        cmd("Does File/Folder Exist", "ISFILE", "$T$a\\x.txt", "TRUE"),
        cmd("Does File/Folder Exist", "FOLDERASFILE", "$T$a", "TRUE"),
        cmd("Does File/Folder Exist", "ISFOLDER", "$T$a\\b", "FALSE"),
        cmd("Does File/Folder Exist", "WILD", "$T$a\\*.txt", "TRUE"),
        cmd("Find All Files", "$T$a\\*.txt", "TRUE", "TRUE", "$FOUND$"),
        cmd("Find All Files", "$T$nothing\\*.*", "TRUE", "TRUE", "EMPTY"),
        cmd("Check Disk Space", "FREE", "$T$", "TRUE"),
        cmd("Check Disk Space", "$NODRIVE$", "Q:\\", "TRUE"),
        cmd("Get File Version", "$T$a\\x.txt", "NOVERSION"),
        cmd("Check File Version", "NEWER", "$T$a\\x.txt", "FALSE", "", "0.0.0.0"),
        cmd("Delete Files Recursive", "$T$d\\*.log"),
    ]), FILES)
    t = wine.to_windows(tree) + "\\"
    run = run_setup(exe, "/s", "T=" + t)
    assert run.code == 0, run.output
    assert run.trace.starting("runtime error") == [], str(run.trace)
    v = run.trace.variables
    assert (v["ISFILE"], v["FOLDERASFILE"], v["ISFOLDER"], v["WILD"]) == ("TRUE", "FALSE", "TRUE", "TRUE")
    found = v["FOUND"].split("|")
    assert found[-1] == t + "a\\x.txt"
    assert t + "a\\b\\y.txt" in found and t + "a\\b" in found
    assert found.index(t + "a\\b\\y.txt") < found.index(t + "a\\b")
    assert f'"{t}a\\with space\\w.txt"' in found and f'"{t}a\\with space"' in found
    assert v["EMPTY"] == ""
    assert int(v["FREE"]) > 0 and v["NODRIVE"] == "0"
    assert v["NOVERSION"] == "0.0.0.0" and v["NEWER"] == "FALSE"
    left = sorted(str(p.relative_to(tree / "d")) for p in (tree / "d").rglob("*"))
    assert left == ["keep.txt", "mixed", "mixed/note.txt"]


def test_deferred_file_commands_record_their_properties(make_setup, run_setup):
    exe = make_setup(project([
        cmd("Set Variable", "DEST", "C:\\\\Out\\\\"),
        cmd("Create Folder", "$DEST$new"),
        cmd("Copy/Move Local Files", "C:\\src\\*.*", "", "$DEST$copy"),
        cmd("Delete Files", "$DEST$*.tmp", "", "TRUE"),
        cmd("Install Files", "*.*", "", "$DEST$"),
    ]), FILES)
    run = run_setup(exe, "/s")
    assert run.code == 0, run.output
    recorded = run.trace.starting("deferred ")
    assert recorded == [
        "deferred AQV1=TRUE", "deferred PQV1_1=C:\\Out\\new",
        "deferred AQV2=TRUE", "deferred PQV2_1=C:\\src\\*.*", "deferred PQV2_2=C:\\Out\\copy",
        "deferred AQV3=TRUE", "deferred PQV3_1=C:\\Out\\*.tmp",
        "deferred AQV4=TRUE", "deferred PQV4_1=C:\\Out\\",
    ], str(run.trace)


def test_a_deferred_command_without_header_asks_for_a_rebuild(make_setup, run_setup):
    exe = make_setup(project([cmd("Comment", "placeholder")]), FILES)
    text = package_text(["Create Folder", "Set Variable"], ids=["{A}", "{B}"],
                        params=["{A}", "C:\\made", "{B}", "AFTER", "yes"], media=["", ""])
    replace_package(exe, text)
    run = run_setup(exe, "/s")
    assert run.code == 0, run.output
    assert run.trace.starting("runtime error") == [
        "runtime error at command 1: Unable to obtain command headers. Please rebuild your project."], str(run.trace)
    assert "AFTER" not in run.trace.variables
