"""End-to-end fixtures: one X display and one Wine prefix per session, setups
made by the authoring kit into each test's tmp_path, and runs of those setups
judged by their exit code, trace and the temporary folder.

Run with: /usr/bin/python3 -m pytest tests/e2e -q
Needs dist/ (the stub and zor.dll, see scripts/wine-env.sh for which build)
and the kit (dist/kit/quorvex-kit, or QV_KIT=path); QV_E2E_DIST=folder takes
the stub and zor.dll from another folder, QV_E2E_PREFIX=folder uses another
Wine prefix."""

import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

import pytest

from setup_files import Trace

ROOT = Path(__file__).resolve().parents[2]
# QV_E2E_PREFIX gives a run its own Wine prefix (several runs at once).
PREFIX = Path(os.environ.get("QV_E2E_PREFIX") or ROOT / "build" / "e2e-prefix")


def _wine_settings(env):
    """QV_WINE, QV_DIST and the rest exactly as scripts/wine-env.sh decides
    them, so the shell scripts and the tests agree on which build runs."""
    script = 'source "$1" >/dev/null; printf "%s\\n" "$QV_WINE" "$QV_DIST" "$QV_REGVIEW" "$WINEDLLOVERRIDES" "$QV_WINARCH"'
    out = subprocess.run(["bash", "-c", script, "_", str(ROOT / "scripts" / "wine-env.sh")], env=env,
                         capture_output=True, text=True, check=True).stdout.splitlines()
    return dict(zip(["QV_WINE", "QV_DIST", "QV_REGVIEW", "WINEDLLOVERRIDES", "QV_WINARCH"], out))


class WineSession:
    def __init__(self):
        self.env = dict(os.environ, WINEPREFIX=str(PREFIX), WINEDEBUG="-all")
        self.env.pop("DISPLAY", None)
        settings = _wine_settings(self.env)
        self.env.update(settings)
        self.wine = settings["QV_WINE"]
        # QV_E2E_DIST runs the suite against another build of the stub.
        self.dist = Path(os.environ.get("QV_E2E_DIST") or settings["QV_DIST"])
        self.xvfb = None
        self.temp_dir = None

    def start(self):
        self._start_display()
        if not (PREFIX / "system.reg").exists():
            PREFIX.mkdir(parents=True, exist_ok=True)
            self._quiet([self.wine, "wineboot", "-i"], timeout=300)
            # Frames drawn by Wine itself, since no window manager runs.
            for value in ("Decorated", "Managed"):
                self._quiet([self.wine, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", value, "/d", "N", "/f"])
        subprocess.run(["wineserver", "-p"], env=self.env, check=False, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        win_temp = self._quiet([self.wine, "cmd", "/c", "echo", "%TEMP%"]).strip()
        self.temp_dir = self.to_unix(win_temp)
        self.temp_dir.mkdir(parents=True, exist_ok=True)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, check=False, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)

    def _start_display(self):
        # Wine creates no window at all without an X display, and silent runs
        # of the stub need one too.
        for n in range(150, 200):
            if Path(f"/tmp/.X{n}-lock").exists():
                continue
            proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(50):
                if Path(f"/tmp/.X11-unix/X{n}").exists() or proc.poll() is not None:
                    break
                time.sleep(0.1)
            if proc.poll() is None:
                self.xvfb = proc
                self.env["DISPLAY"] = f":{n}"
                return
        raise RuntimeError("no free X display for Xvfb")

    def _quiet(self, argv, timeout=120):
        return self.run(argv, timeout, merge_errors=False)[1]

    # The winepath script runs the default loader, which cannot start where
    # only 64-bit code runs; the chosen loader runs it as a program instead.
    def to_windows(self, path) -> str:
        return self._quiet([self.wine, "winepath", "-w", str(path)]).strip()

    def to_unix(self, path) -> Path:
        return Path(self._quiet([self.wine, "winepath", "-u", path]).strip())

    def workspaces(self):
        """The zor<N> folders in the temporary folder."""
        return {p.name for p in self.temp_dir.iterdir() if re.fullmatch(r"zor\d+", p.name, re.I)}

    def reg_value(self, key, name):
        """The data of a registry value as `reg query` shows it (in the view
        the stub writes to), or None when the key or value is missing."""
        code, out = self.run([self.wine, "reg", "query", key, "/v", name, self.env["QV_REGVIEW"]], 60,
                             merge_errors=False)
        if code != 0:
            return None
        for line in out.splitlines():
            parts = line.strip("\r").split("    ")
            if len(parts) >= 4 and parts[1].lower() == name.lower() and parts[2].startswith("REG_"):
                return "    ".join(parts[3:])
        return None

    def reg_set(self, key, name, data):
        """Writes a string value (creating the key)."""
        code, out = self.run([self.wine, "reg", "add", key, "/v", name, "/d", data, "/f", self.env["QV_REGVIEW"]], 60)
        assert code == 0, out

    def reg_delete(self, key, name):
        self.run([self.wine, "reg", "delete", key, "/v", name, "/f", self.env["QV_REGVIEW"]], 60, merge_errors=False)

    def run(self, argv, timeout, merge_errors=True, env=None):
        """(exit status, output). Output goes through a file, not a pipe: Wine
        helper processes started on the way (services, explorer) inherit it
        and outlive the program, so a pipe would not reach its end. `env`
        adds variables to the Wine process environment."""
        with tempfile.TemporaryFile() as out:
            proc = subprocess.Popen(argv, env=dict(self.env, **(env or {})), stdout=out,
                                    stderr=subprocess.STDOUT if merge_errors else subprocess.DEVNULL,
                                    stdin=subprocess.DEVNULL, start_new_session=True)
            try:
                proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
                out.seek(0)
                raise AssertionError(f"{argv} did not end within {timeout} s:\n{out.read().decode('latin-1')}")
            out.seek(0)
            return proc.returncode, out.read().decode("latin-1")


@pytest.fixture(scope="session")
def wine():
    session = WineSession()
    try:
        session.start()
        yield session
    finally:
        session.stop()


@pytest.fixture(scope="session")
def gui_tools(wine):
    """The folder of the GUI test tools qvdriver.exe and qvpageview.exe:
    QV_E2E_TOOLS, else the driver folder of the Windows build that runs here."""
    folder = Path(os.environ.get("QV_E2E_TOOLS") or ROOT / "build" / wine.env["QV_WINARCH"] / "tests" / "driver")
    for tool in ("qvdriver.exe", "qvpageview.exe"):
        if not (folder / tool).is_file():
            pytest.fail(f"{folder / tool} is not built (make {wine.env['QV_WINARCH']})")
    return folder


@dataclass
class Kit:
    tool: Path
    stub: Path
    zor: Path


@pytest.fixture(scope="session")
def kit(wine):
    candidates = [os.environ.get("QV_KIT"), ROOT / "dist/kit/quorvex-kit", ROOT / "build/native/bin/quorvex-kit"]
    tool = next((Path(c) for c in candidates if c and Path(c).is_file()), None)
    if tool is None:
        pytest.fail("the authoring kit is not built (dist/kit/quorvex-kit or build/native/bin/quorvex-kit)")
    found = Kit(tool, wine.dist / "quorvex.exe", wine.dist / "zor.dll")
    for part in (found.stub, found.zor):
        if not part.is_file():
            pytest.fail(f"{part} is not built yet (make dist)")
    return found


@pytest.fixture
def make_setup(tmp_path, kit):
    """make_setup(project, files={relative path: text or bytes}, out="out") ->
    path of the built setup executable. The project's JSON and files go into
    tmp_path/project, the setup into tmp_path/out."""
    def make(project: dict, files=None, out="out"):
        folder = tmp_path / "project"
        for name, content in (files or {}).items():
            path = folder / name
            path.parent.mkdir(parents=True, exist_ok=True)
            if isinstance(content, str):
                content = content.encode("utf-8")
            path.write_bytes(content)
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "setup.json").write_text(json.dumps(project, indent=2), encoding="utf-8")
        out_dir = tmp_path / out
        result = subprocess.run([str(kit.tool), "build", str(folder / "setup.json"), "--out", str(out_dir),
                                 "--stub", str(kit.stub), "--zor", str(kit.zor)], capture_output=True, text=True)
        assert result.returncode == 0, result.stderr
        return out_dir / (project["setup"] + ".exe")
    return make


@dataclass
class SetupRun:
    code: int          # the exit code modulo 256 (all a Linux status keeps)
    trace: Trace
    output: str        # what Wine and the stub wrote to stdout/stderr
    leftovers: set     # zor<N> folders that the run left in the temporary folder


@pytest.fixture
def run_setup(wine):
    """run_setup(exe, *args, timeout=120, env=None) -> SetupRun. The trace
    goes to trace.txt beside the setup; /trace= is added to the arguments;
    `env` adds variables to the setup's environment."""
    def run(exe: Path, *args, timeout=120, env=None):
        trace_file = exe.parent / "trace.txt"
        trace_file.unlink(missing_ok=True)
        before = wine.workspaces()
        code, output = wine.run([wine.wine, str(exe), *args, "/trace=" + wine.to_windows(trace_file)], timeout,
                                env=env)
        leftovers = wine.workspaces() - before
        for name in leftovers:  # keep later tests' workspace numbers predictable
            shutil.rmtree(wine.temp_dir / name, ignore_errors=True)
        trace = Trace.parse(trace_file.read_bytes()) if trace_file.exists() else Trace()
        return SetupRun(code % 256, trace, output, leftovers)
    return run
