"""Session start on the test prefix: the predefined variables as the final
variable dump of the trace shows them, command-line presets in silent and
interactive runs, and maintenance and upgrade detection against a product
that msiexec really installed."""

import re
import subprocess

import pytest

from test_engine import FILES, assert_ran_through, cmd

PRODUCT_CODE = "{4E8B2F6D-1A3C-4B5E-9F70-2C4D6E8FA011}"
REVISION_CODE = "{4E8B2F6D-1A3C-4B5E-9F70-2C4D6E8FA012}"
TITLE = "E2E Session"
OWNER_KEY = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion"


def windows_env(wine, *names):
    """Environment variables as a Windows program of the stub's kind sees them."""
    line = "^|".join(f"%{n}%" for n in names)
    out = wine.run([wine.wine, "cmd", "/c", "echo", line], 60, merge_errors=False)[1]
    return out.strip().split("|")


def program_files(wine):
    """The program-files folder that the stub sees, without a trailing
    backslash: a 32-bit program on a 64-bit system gets the x86 one."""
    native, x86 = windows_env(wine, "ProgramFiles", "ProgramFiles(x86)")
    return x86 if wine.env["QV_REGVIEW"] == "/reg:32" and not x86.startswith("%") else native


@pytest.fixture
def registered_owner(wine):
    """Gives the prefix a registered owner and organisation for the test."""
    old = {name: wine.reg_value(OWNER_KEY, name) for name in ("RegisteredOwner", "RegisteredOrganization")}
    new = {"RegisteredOwner": "E2E Owner", "RegisteredOrganization": "E2E Organisation, Ltd."}
    for name, value in new.items():
        wine.reg_set(OWNER_KEY, name, value)
    yield new
    for name, value in old.items():
        if value is None:
            wine.reg_delete(OWNER_KEY, name)
        else:
            wine.reg_set(OWNER_KEY, name, value)


PRESET_SCRIPT = [
    cmd("Set Variable", "TARGETDIR", r"C:\Script"),
    cmd("Set Variable", "NEWVAR", "script"),
    cmd("Set Variable", "DATE", "not a date"),
    cmd("Set Variable", "SEEN_DATE", "$DATE$"),
    cmd("Set Variable", "ABORT", "TRUE"),
    cmd("Set Variable", "SEEN_ABORT", "$ABORT$"),
]

DEFAULTS = {"SELECTED": "0", "WINDOWHANDLE": "0", "PROGRESSTEXT": "", "PROGRESSMODE": "", "PROGRESS": "0",
            "LASTERROR": "", "LICENSE": "FALSE", "REBOOTCOMPUTER": "FALSE", "RUNAPP": "TRUE", "WIZARD": "NEXT",
            "COMPLETE": "TRUE", "MINIMUM": "FALSE", "PERSONALIZED": "FALSE", "MODIFY": "TRUE", "REPAIR": "FALSE",
            "REMOVE": "FALSE", "ADVERTISE": "FALSE", "LANGUAGE": "", "VERSION": "1.0.0.0",
            "MAINTENANCE": "FALSE", "NEEDSUPGRADE": "FALSE", "NEWINSTANCE": "FALSE",
            "PRODUCTCODE": PRODUCT_CODE, "REVISIONCODE": REVISION_CODE, "TITLE": TITLE, "COMPANY": "Quorvex"}


def session_project(script):
    fields = {"title": TITLE, "publisher": "Quorvex", "code": PRODUCT_CODE, "revisionCode": REVISION_CODE}
    return {"setup": "Setup", "product": fields, "script": script, "support": "support", "wix": "product.wxs"}


def test_silent_session_publishes_the_predefined_variables_and_keeps_presets(make_setup, run_setup, wine,
                                                                            registered_owner):
    exe = make_setup(session_project(PRESET_SCRIPT), FILES)
    args = ["/s", r"/l=C:\Logs\Setup.LOG", r"/m=C:\Media\Package.EXE", r"TARGETDIR=D:\Apps", "NEWVAR=preset value"]
    run = run_setup(exe, *args)
    assert_ran_through(run)
    v = run.trace.variables
    public, temp = windows_env(wine, "PUBLIC", "TEMP")

    assert {k: v.get(k) for k in DEFAULTS} == DEFAULTS
    setup_folder = wine.to_windows(exe.parent) + "\\"
    assert (v["EXEFILE"], v["EXEDIR"], v["ROOTDIR"]) == (setup_folder + "Setup.exe", setup_folder, setup_folder)
    assert v["DATADIR"] == setup_folder + "data\\"
    assert v["TEMPDIR"] == temp + "\\"
    assert re.fullmatch(re.escape(temp) + r"\\zor\d+\\", v["SUPPORTDIR"]), v["SUPPORTDIR"]
    assert v["MSIFILE"] == v["SUPPORTDIR"] + "Setup.msi"
    # Wine's user is an administrator: per-machine locations.
    assert v["ALLUSERS"] == "TRUE"
    assert v["STARTMENU"] == TITLE
    assert v["UNINSTALLLINK"] == f"{public}\\Application Data\\{REVISION_CODE}\\Setup.exe"
    assert (v["USERNAME"], v["USERCOMPANY"]) == (registered_owner["RegisteredOwner"],
                                                 registered_owner["RegisteredOrganization"])
    assert v["SILENT"] == "TRUE"
    assert v["LOGGED"] == r"c:\logs\setup.log"
    assert (v["SFXPATH"], v["SFXFILE"]) == ("c:\\media\\", "package.exe")
    assert v["CMDLINE"].startswith(r'/s /l=C:\Logs\Setup.LOG /m=C:\Media\Package.EXE TARGETDIR=D:\Apps '
                                   r'"NEWVAR=preset value" /trace='), v["CMDLINE"]
    # Presets win over the default and, in silent mode, over the script.
    assert (v["TARGETDIR"], v["NEWVAR"]) == (r"D:\Apps", "preset value")
    # DATE is today again at the next command; ABORT stays as assigned.
    assert v["SEEN_DATE"] == v["DATE"] and re.search(r"\d", v["DATE"]), v["DATE"]
    assert v["TIME"] and v["SEEN_ABORT"] == "TRUE"


def test_interactive_session_lets_the_script_override_presets(make_setup, run_setup, wine):
    # A script without pages or errors shows nothing that waits for the user.
    exe = make_setup(session_project(PRESET_SCRIPT), FILES)
    run = run_setup(exe, r"TARGETDIR=D:\Apps", "ALLUSERS=FALSE")
    assert_ran_through(run)
    v = run.trace.variables
    profile, = windows_env(wine, "USERPROFILE")
    assert (v["TARGETDIR"], v["NEWVAR"], v["SILENT"]) == (r"C:\Script", "script", "FALSE")
    assert (v["SFXPATH"], v["SFXFILE"], v["LOGGED"]) == ("", "", "")
    # The per-user cache, since the preset made the run a per-user one.
    assert v["ALLUSERS"] == "FALSE"
    assert v["UNINSTALLLINK"] == f"{profile}\\Application Data\\{REVISION_CODE}\\Setup.exe"


def test_default_target_folder_is_below_program_files(make_setup, run_setup, wine):
    exe = make_setup(session_project([cmd("Comment", "nothing")]), FILES)
    run = run_setup(exe, "/s")
    assert_ran_through(run)
    assert run.trace.variables["TARGETDIR"] == f"{program_files(wine)}\\{TITLE}\\"


# An installed product for maintenance detection: its codes come from the
# built database, which wixl gives a new package code at every build.
INSTALLED_CODE = "{4E8B2F6D-1A3C-4B5E-9F70-2C4D6E8FA021}"
INSTALLED_WXS = f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{INSTALLED_CODE}" Name="E2E Installed" Language="1033" Version="1.0.0"
           Manufacturer="Quorvex" UpgradeCode="{{4E8B2F6D-1A3C-4B5E-9F70-2C4D6E8FA022}}">
    <Package InstallerVersion="200" Compressed="yes"/>
    <Media Id="1" Cabinet="e2e.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="Quorvex E2E Installed">
          <Component Id="Payload" Guid="{{4E8B2F6D-1A3C-4B5E-9F70-2C4D6E8FA023}}">
            <File Id="PayloadFile" Source="payload.txt" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Payload"/></Feature>
  </Product>
</Wix>
"""
INSTALLED_FILES = {"support/readme.txt": "support file\r\n", "product.wxs": INSTALLED_WXS,
                   "payload.txt": "installed\r\n"}


def package_code(msi):
    info = subprocess.run(["msiinfo", "suminfo", str(msi)], capture_output=True, text=True, check=True).stdout
    return re.search(r"^Revision number \(UUID\): (\{[0-9A-F-]+\})$", info, re.M | re.I).group(1)


def installed_payload(wine):
    drive_c = wine.to_unix("C:\\")
    return list(drive_c.glob("Program Files*/Quorvex E2E Installed/payload.txt"))


@pytest.fixture
def msiexec(wine):
    """msiexec(*args) -> its exit code; the product is removed before and
    after the test, so that every test starts without it."""
    def run(*args):
        return wine.run([wine.wine, "msiexec", *args], 300)[0]
    run("/x", INSTALLED_CODE, "/qn")
    yield run
    run("/x", INSTALLED_CODE, "/qn")
    assert installed_payload(wine) == []


def test_maintenance_and_upgrade_are_detected_against_the_installed_product(make_setup, run_setup, wine, msiexec):
    project = {"setup": "Setup", "product": {"title": "E2E Installed", "publisher": "Quorvex", "code": "database",
                                             "revisionCode": "database"},
               "script": [cmd("Comment", "maintenance")], "support": "support", "wix": "product.wxs"}
    exe = make_setup(project, INSTALLED_FILES)
    installed_package = package_code(exe.with_suffix(".msi"))
    assert msiexec("/i", wine.to_windows(exe.with_suffix(".msi")), "/qn") == 0
    assert len(installed_payload(wine)) == 1

    run = run_setup(exe, "/s")
    assert_ran_through(run)
    v = run.trace.variables
    assert (v["PRODUCTCODE"], v["REVISIONCODE"]) == (INSTALLED_CODE, installed_package)
    assert (v["MAINTENANCE"], v["NEEDSUPGRADE"], v["NEWINSTANCE"]) == ("TRUE", "FALSE", "TRUE")
    # No saved selection in the product cache: nothing restored.
    assert v["TARGETDIR"] == ""

    # The same source built again is another package of the same product.
    newer = make_setup(project, INSTALLED_FILES, out="newer")
    assert package_code(newer.with_suffix(".msi")) != installed_package
    run = run_setup(newer, "/s")
    assert_ran_through(run)
    v = run.trace.variables
    assert (v["MAINTENANCE"], v["NEEDSUPGRADE"], v["NEWINSTANCE"]) == ("FALSE", "TRUE", "TRUE")
    folder = program_files(wine)
    assert v["TARGETDIR"] == f"{folder}\\E2E Installed\\"

    # An instance file beside the setup names the instance: its codes and
    # title replace the package's.
    other_product = "{4E8B2F6D-1A3C-4B5E-9F70-2C4D6E8FA0FF}"
    cases = [
        ((INSTALLED_CODE, installed_package, "Instance A"), ("TRUE", "FALSE", "FALSE"), ""),
        ((INSTALLED_CODE, REVISION_CODE, "Instance B"), ("FALSE", "TRUE", "FALSE"), f"{folder}\\Instance B\\"),
        ((other_product, REVISION_CODE, "Instance C"), ("FALSE", "FALSE", "FALSE"), f"{folder}\\Instance C\\"),
    ]
    instance = newer.parent / "instance.dat"
    for fields, states, target in cases:
        instance.write_bytes("\r\n".join(fields).encode() + b"\r\n")
        run = run_setup(newer, "/s")
        assert_ran_through(run)
        v = run.trace.variables
        assert (v["PRODUCTCODE"], v["REVISIONCODE"], v["TITLE"]) == fields
        assert (v["MAINTENANCE"], v["NEEDSUPGRADE"], v["NEWINSTANCE"]) == states, fields
        assert v["TARGETDIR"] == target, fields
    instance.unlink()

    assert msiexec("/x", INSTALLED_CODE, "/qn") == 0
    assert installed_payload(wine) == []
    run = run_setup(exe, "/s")
    assert_ran_through(run)
    v = run.trace.variables
    assert (v["MAINTENANCE"], v["NEEDSUPGRADE"], v["NEWINSTANCE"]) == ("FALSE", "FALSE", "FALSE")
