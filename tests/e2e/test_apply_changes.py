"""Apply Changes end to end: a setup made by the kit records its deferred
properties, writes them into its copy of the installer database and runs
Windows Installer silently; the files, the installer log, the outcome in the
result variable and the exit code show what happened. Failing and
restart-requesting databases are made with the kit's SQL edits."""

import uuid

import pytest

from test_startup import cmd

# The deferred command at script position 0 switches the component on and
# places its directory.
WXS = r"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{product}" Name="Apply Test" Language="1033" Version="1.0.0"
           Manufacturer="Quorvex" UpgradeCode="{upgrade}">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>
    <Media Id="1" Cabinet="app.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="PQV0_1" Name="Default">
        <Component Id="Files" Guid="{component}">
          <File Id="Payload" Name="payload.txt" Source="payload.txt" KeyPath="yes"/>
          <RegistryValue Root="HKLM" Key="Software\Quorvex Apply Test\{product}" Name="Activation"
                         Type="string" Value="[AQV0]"/>
          <RegistryValue Root="HKLM" Key="Software\Quorvex Apply Test\{product}" Name="Temp"
                         Type="string" Value="[MSINTEMP]"/>
        </Component>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Files"/></Feature>
  </Product>
</Wix>
"""

FAIL_ON_PURPOSE = [
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('FailOnPurpose', 19, '', 'Stopped on purpose')",
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('FailOnPurpose', 6590)",
]
ASK_FOR_RESTART = ["INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('ScheduleReboot', 6595)"]


def apply_project(sql=()):
    """Install Files at position 0; MODE=REMOVE on the command line removes."""
    return {
        "setup": "Setup",
        "product": {"title": "Apply Test " + uuid.uuid4().hex[:8], "publisher": "Quorvex",
                    "code": "database", "revisionCode": "database"},
        "script": [
            cmd("Install Files", "*.*", "", "$TARGETDIR$"),
            cmd("Set Variable", "MODE", "$MODE$"),
            cmd("If", "MODE", "0", "REMOVE", "FALSE"),
            cmd("Apply Changes", "", "RES", "FALSE", "TRUE"),
            cmd("Else"),
            cmd("Apply Changes", "", "RES", "TRUE", "FALSE"),
            cmd("End"),
        ],
        "support": "support",
        "wix": "product.wxs",
        "database": {"activate": [{"component": "Files", "command": 0}], "sql": list(sql)},
    }


def files(product):
    return {"product.wxs": WXS.format(product=product, upgrade="{" + str(uuid.uuid4()).upper() + "}",
                                      component="{" + str(uuid.uuid4()).upper() + "}"),
            "payload.txt": "installed\r\n", "support/readme.txt": "support file\r\n"}


@pytest.fixture
def product(wine):
    """A fresh product code; the product is removed afterwards in any case."""
    code = "{" + str(uuid.uuid4()).upper() + "}"
    yield code
    wine.run([wine.wine, "msiexec", "/x", code, "/qn"], 180)


def run_apply(wine, run_setup, exe, target, log, *extra):
    return run_setup(exe, "/s", "/l=" + wine.to_windows(log), "TARGETDIR=" + wine.to_windows(target) + "\\",
                     "MODE=INSTALL", *extra, timeout=300)


def log_text(log):
    """The header is UTF-16LE; the installer adds its own log in its own
    encoding (Wine's writes 8-bit text, and over the file's start)."""
    data = log.read_bytes()
    return data.replace(b"\0", b"").decode("latin-1")


def installed_value(wine, product, name):
    """A value the database's registry rows wrote (an x86 package: the
    32-bit view), or None."""
    key = "HKLM\\Software\\Quorvex Apply Test\\" + product
    code, out = wine.run([wine.wine, "reg", "query", key, "/v", name, "/reg:32"], 60, merge_errors=False)
    if code != 0:
        return None
    for line in out.splitlines():
        parts = line.strip("\r").split("    ")
        if len(parts) >= 4 and parts[1] == name:
            return "    ".join(parts[3:])
    return None


def test_install_writes_the_properties_installs_and_logs(tmp_path, make_setup, run_setup, wine, product):
    exe = make_setup(apply_project(), files(product))
    target, log = tmp_path / "target", tmp_path / "logs" / "install.log"
    run = run_apply(wine, run_setup, exe, target, log, "CMDLINEPROBE=1", "/k=secret-word")
    assert run.code == 0, run.output
    v = run.trace.variables
    assert v["RES"] == "COMPLETE", str(run.trace)
    assert v["LASTERROR"] == ""
    assert (target / "payload.txt").read_bytes() == b"installed\r\n"
    # The Property table got the recorded values, the later of two pairs of
    # a name winning: the registry rows read them back.
    assert installed_value(wine, product, "Activation") == "TRUE"
    assert installed_value(wine, product, "Temp") == v["TEMPDIR"]
    text = log_text(log)
    assert "*** MSI Database ***\r\n" + v["MSIFILE"] in text, text
    assert "*** GUID ***\r\n" + product in text
    assert "AQV0,FALSE,AQV0,TRUE,PQV0_1," in text
    assert "/k=***" in text and "secret-word" not in text
    assert run.leftovers == set()

    # Removal through an installer session takes the files away.
    run = run_setup(exe, "/s", "MODE=REMOVE", timeout=300)
    assert run.code == 0, run.output
    assert run.trace.variables["RES"] == "COMPLETE", str(run.trace)
    assert not (target / "payload.txt").exists()
    assert installed_value(wine, product, "Activation") is None


def test_a_failing_install_gives_error_and_rolls_back(tmp_path, make_setup, run_setup, wine, product):
    exe = make_setup(apply_project(FAIL_ON_PURPOSE), files(product))
    target, log = tmp_path / "target", tmp_path / "fail.log"
    run = run_apply(wine, run_setup, exe, target, log)
    assert run.code == 0, run.output
    v = run.trace.variables
    assert v["RES"] == "ERROR", str(run.trace)
    assert v["LASTERROR"] != ""
    assert v["REBOOTCOMPUTER"] == "FALSE"
    assert not (target / "payload.txt").exists()


def test_an_install_that_asks_for_a_restart_gives_reboot(tmp_path, make_setup, run_setup, wine, product):
    exe = make_setup(apply_project(ASK_FOR_RESTART), files(product))
    target, log = tmp_path / "target", tmp_path / "reboot.log"
    run = run_apply(wine, run_setup, exe, target, log)
    assert run.code == 0, run.output
    v = run.trace.variables
    assert v["RES"] == "REBOOT", str(run.trace)
    assert v["REBOOTCOMPUTER"] == "TRUE"
    assert (target / "payload.txt").read_bytes() == b"installed\r\n"


def test_transform_instance_installs_a_second_instance_under_new_codes(tmp_path, make_setup, run_setup, wine,
                                                                       product):
    project = apply_project()
    project["script"] = [cmd("Install Files", "*.*", "", "$TARGETDIR$"), cmd("Transform Instance"),
                         cmd("Apply Changes", "", "RES", "TRUE", "FALSE")]
    project["data"] = "data"
    # The setup's sources are marked with the product code's file.
    exe = make_setup(project, {**files(product), "data/" + product: ""})
    first, second = tmp_path / "first", tmp_path / "second"

    run = run_apply(wine, run_setup, exe, first, tmp_path / "first.log")
    assert run.trace.variables["RES"] == "COMPLETE", str(run.trace)
    assert run.trace.variables["PRODUCTCODE"] == product

    # Installed now: the same setup makes a new instance of the product.
    run = run_apply(wine, run_setup, exe, second, tmp_path / "second.log")
    v = run.trace.variables
    try:
        assert v["RES"] == "COMPLETE", str(run.trace)
        assert v["PRODUCTCODE"] != product and v["REVISIONCODE"] != product
        assert (second / "payload.txt").read_bytes() == b"installed\r\n"
        assert (first / "payload.txt").read_bytes() == b"installed\r\n"
        # The installer knows the new instance by its own code, with its own
        # components: removing it leaves the first instance alone.
        code, out = wine.run([wine.wine, "msiexec", "/x", v["PRODUCTCODE"], "/qn"], 180)
        assert code == 0, out
        assert not (second / "payload.txt").exists()
        assert (first / "payload.txt").read_bytes() == b"installed\r\n"
    finally:
        wine.run([wine.wine, "msiexec", "/x", v["PRODUCTCODE"], "/qn"], 180)
