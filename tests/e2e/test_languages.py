"""Languages end to end: setups that the kit makes in German and French run
silently with the default language, a preset language and, in maintenance,
the remembered one; the language selection form is shown under Xvfb, looked
at (screenshots in the test's folder) and answered with keys and clicks."""

import subprocess
from pathlib import Path

import pytest

from setup_files import Trace
from test_engine import FILES, assert_ran_through, cmd
from test_session import INSTALLED_FILES, msiexec, package_code, windows_env  # noqa: F401 (msiexec is a fixture)

HERE = Path(__file__).resolve().parent
CAPTION = "Select Setup Language"

TRANSLATIONS = {
    "languages": ["German", "French"],
    "dialogs": [{"dialog": "Welcome.dfm", "control": "Label1", "texts": {"German": "Willkommen", "French": "Bienvenue"}}],
    "messages": {"German": {"20": "Laufzeitfehler im Setup-Skript:"}},
}

# GREETING and FAREWELL are translated; an If compares a translated text.
SCRIPT = [
    cmd("Set Variable", "GREETING", "Hello", translations={"German": ["Hallo"], "French": ["Bonjour"]}),
    cmd("Set Variable", "FAREWELL", "Goodbye $TITLE$",
        translations={"German": ["Auf Wiedersehen, $TITLE$"], "French": ["Au revoir, $TITLE$"]}),
    cmd("Set Variable", "SEEN", "$LANGUAGE$"),
    cmd("If", "GREETING", "0", "Hello", translations={"German": ["GREETING", "Hallo"], "French": ["GREETING", "Bonjour"]}),
    cmd("Set Variable", "GREETED", "TRUE"),
    cmd("End"),
]


def project(dialog=False, default="German", script=SCRIPT, **extra):
    return {"setup": "Setup", "product": {"title": "E2E Languages", "publisher": "Quorvex", "languageDialog": dialog,
                                          "defaultLanguage": default},
            "script": script, "support": "support", "wix": "product.wxs", "translations": TRANSLATIONS, **extra}


def translated(run):
    v = run.trace.variables
    return v["LANGUAGE"], v["SEEN"], v["GREETING"], v["FAREWELL"], v.get("GREETED")


GERMAN = ("German", "German", "Hallo", "Auf Wiedersehen, E2E Languages", "TRUE")
FRENCH = ("French", "French", "Bonjour", "Au revoir, E2E Languages", "TRUE")
ENGLISH = ("", "", "Hello", "Goodbye E2E Languages", "TRUE")


@pytest.mark.parametrize("default, args, expected", [
    ("German", [], GERMAN),
    ("French", [], FRENCH),
    ("English", [], ENGLISH),                  # no Texts file for the default: no language
    ("German", ["LANGUAGE=French"], FRENCH),   # a preset comes after the choice
    # A silent preset cannot be changed, not even by the engine: the name
    # stays, but without its tables nothing is translated.
    ("German", ["language=Klingon"], ("Klingon", "Klingon", "Hello", "Goodbye E2E Languages", "TRUE")),
])
def test_silent_runs_translate_with_the_default_or_preset_language(make_setup, run_setup, default, args, expected):
    # The form is asked for, but a silent run shows no window.
    exe = make_setup(project(dialog=True, default=default), FILES)
    run = run_setup(exe, "/s", *args)
    assert_ran_through(run)
    assert translated(run) == expected


def test_the_script_switches_the_language_between_commands(make_setup, run_setup):
    script = [cmd("Set Variable", "LANGUAGE", "French"), *SCRIPT,
              cmd("Set Variable", "LANGUAGE", "Dutch"), cmd("Set Variable", "AFTER", "[$LANGUAGE$]")]
    run = run_setup(make_setup(project(script=script), FILES), "/s")
    assert_ran_through(run)
    v = run.trace.variables
    assert (v["GREETING"], v["SEEN"]) == ("Bonjour", "French")
    assert v["AFTER"] == "[]"  # no Texts for Dutch: cleared before the next command


def test_maintenance_takes_the_remembered_language(make_setup, run_setup, wine, msiexec):  # noqa: F811
    files = dict(INSTALLED_FILES)
    proj = {**project(dialog=True), "product": {**project()["product"], "title": "E2E Installed", "code": "database",
                                                "revisionCode": "database", "languageDialog": True}}
    proj["translations"] = {**TRANSLATIONS}
    exe = make_setup(proj, files)
    assert msiexec("/i", wine.to_windows(exe.with_suffix(".msi")), "/qn") == 0
    profile, = windows_env(wine, "USERPROFILE")
    cache = wine.to_unix(f"{profile}\\Application Data\\{package_code(exe.with_suffix('.msi'))}")
    cache.mkdir(parents=True, exist_ok=True)
    try:
        # Without a remembered language the default is used, and the form
        # is not shown in maintenance even in an interactive run.
        run = run_setup(exe)
        assert_ran_through(run)
        v = run.trace.variables
        assert (v["MAINTENANCE"], v["LANGUAGE"], v["GREETING"]) == ("TRUE", "German", "Hallo")

        # The current user's cache holds the selection file, so its
        # remembered language counts.
        (cache / "Setup.dat").write_bytes(b"$\r\n$\r\nC:\\E2E\\\r\nFALSE\r\nE2E\r\n")
        (cache / "Setup.lan").write_bytes(b"French\r\n")
        for args in ([], ["/s"]):
            run = run_setup(exe, *args)
            assert_ran_through(run)
            assert translated(run)[:3] == ("French", "French", "Bonjour")
    finally:
        for name in ("Setup.dat", "Setup.lan"):
            (cache / name).unlink(missing_ok=True)


# The language form, shown and answered.

@pytest.fixture(scope="session")
def form_driver(tmp_path_factory):
    exe = tmp_path_factory.mktemp("driver") / "language_form_driver.exe"
    subprocess.run(["x86_64-w64-mingw32-gcc", "-O1", "-o", str(exe), str(HERE / "language_form_driver.c"),
                    "-luser32", "-lgdi32"], check=True)
    return exe


class FormRun:
    """A setup started without /s whose form the driver answers."""

    def __init__(self, wine, driver, exe, caption=CAPTION):
        self.wine, self.driver, self.exe, self.caption = wine, driver, exe, caption
        self.trace_file = exe.parent / "trace.txt"
        self.trace_file.unlink(missing_ok=True)
        self.proc = subprocess.Popen([wine.wine, str(exe), "/trace=" + wine.to_windows(self.trace_file)],
                                     env=wine.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)

    def drive(self, *actions):
        code, out = self.wine.run([self.wine.wine, str(self.driver), self.caption, *actions], 120, merge_errors=False)
        assert code == 0, f"the driver failed ({code}): {out}"
        return dict(line.split("=", 1) for line in out.replace("\r", "").splitlines() if "=" in line)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", str(path)], env=self.wine.env, check=True)
        return path

    def finish(self):
        self.proc.wait(timeout=120)
        return Trace.parse(self.trace_file.read_bytes())


def test_the_form_offers_the_languages_and_takes_the_choice(make_setup, wine, form_driver, tmp_path):
    exe = make_setup(project(dialog=True, default="German"), FILES)
    form = FormRun(wine, form_driver, exe)
    facts = form.drive("inspect")
    shot = form.screenshot(tmp_path / "language-form.png")
    assert facts["caption"] == CAPTION
    assert facts["label"] == "Please select the language to use during the installation:"
    assert (facts["ok"], facts["cancel"]) == ("&OK", "&Cancel")
    assert facts["items"] == "French|German"
    assert facts["selected"] == "1"  # the default: the prefix's user language is English
    form.drive("up", "enter")
    trace = form.finish()
    assert trace.lines[-1:] == ["exit code 0"], str(trace)
    v = trace.variables
    assert (v["LANGUAGE"], v["GREETING"], v["FAREWELL"]) == ("French", "Bonjour", "Au revoir, E2E Languages")
    assert shot.stat().st_size > 0


@pytest.mark.parametrize("actions", [["escape"], ["cancel"], ["close"]])
def test_cancelling_the_form_ends_the_run_before_the_first_command(make_setup, wine, form_driver, actions):
    exe = make_setup(project(dialog=True), FILES)
    form = FormRun(wine, form_driver, exe)
    form.drive(*actions)
    trace = form.finish()
    assert trace.runs == [] and trace.lines[-1:] == ["exit code 0"], str(trace)
    assert "GREETING" not in trace.variables


def test_the_form_takes_its_texts_from_the_message_table(make_setup, wine, form_driver, tmp_path):
    # The message file behind zor.dll replaces the table at start-up.
    lines = [""] * 90
    lines[37], lines[38] = "&OK", "&Abbrechen"
    lines[88], lines[89] = "Setup-Sprache wählen", "Bitte wählen Sie die Sprache für die Installation:"
    files = {**FILES, "messages.txt": "\r\n".join(lines).encode("cp1252") + b"\r\n"}
    exe = make_setup(project(dialog=True, messages="messages.txt"), files)
    form = FormRun(wine, form_driver, exe, caption="Setup-Sprache w\xe4hlen")
    facts = form.drive("inspect")
    form.screenshot(tmp_path / "language-form-german.png")
    assert facts["label"] == "Bitte w\xe4hlen Sie die Sprache f\xfcr die Installation:"
    assert facts["cancel"] == "&Abbrechen"
    form.drive("ok")
    trace = form.finish()
    assert trace.variables["LANGUAGE"] == "German"


def test_the_form_scales_with_the_screens_dpi(make_setup, wine, form_driver, tmp_path):
    exe = make_setup(project(dialog=True), FILES)
    sizes = {}
    key = r"HKCU\Control Panel\Desktop"
    try:
        for dpi in (96, 144):
            wine.run([wine.wine, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"], 60)
            subprocess.run(["wineserver", "-k"], env=wine.env, check=False)  # the setting is read at start
            form = FormRun(wine, form_driver, exe)
            facts = form.drive("inspect")
            form.screenshot(tmp_path / f"language-form-{dpi}dpi.png")
            form.drive("ok")
            form.finish()
            assert facts["dpi"] == str(dpi)
            sizes[dpi] = [int(n) for n in facts["size"].split("x")]
    finally:
        wine.run([wine.wine, "reg", "delete", key, "/v", "LogPixels", "/f"], 60)
        subprocess.run(["wineserver", "-k"], env=wine.env, check=False)
    for small, large in zip(sizes[96], sizes[144]):
        assert abs(large / small - 1.5) < 0.1, sizes
