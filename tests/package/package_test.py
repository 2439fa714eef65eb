#!/usr/bin/env python3
"""Checks what a player installs, without installing it: the Debian package
(its control fields, its files, the extracted launcher under Xvfb, the
validators and lintian), the tree `cmake --install --prefix` lays out, and
the Windows zip (its files, the stripped program and its imports, a start
under Wine from a folder of its own).

    package_test.py --deb quarvelle_1.0.0_amd64.deb --zip quarvelle-1.0.0-win64.zip
                    --build build-pkg --probe build-win32/window_probe.exe

Each case prints "ok" or "FAIL: why"; the last line counts them.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import traceback
import types
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
source = os.path.normpath(os.path.join(here, "..", ".."))
sys.path.insert(0, os.path.join(source, "tests", "support"))
sys.path.insert(0, os.path.join(source, "tests", "win32"))
from x_session import (WINDOW_HEIGHT, WINDOW_WIDTH, Failure, XSession, check, wait_for)  # noqa: E402
import wine_session  # noqa: E402

MESSAGE_BOX = "Error"  # the title of the box that asks for a restart
LAUNCHER = "usr/games/quarvelle"
GAME = "usr/lib/games/quarvelle/quarvelle"
DESKTOP = "usr/share/applications/quarvelle.desktop"
METAINFO = "usr/share/metainfo/org.quarvelle.quarvelle.metainfo.xml"
ICON_SIZES = (16, 32, 48, 64, 128, 256)
PACKAGE_FILES = {LAUNCHER, GAME, DESKTOP, METAINFO,
                 "usr/share/man/man6/quarvelle.6.gz",
                 "usr/share/doc/quarvelle/copyright",
                 "usr/share/doc/quarvelle/changelog.gz"} | {
    "usr/share/icons/hicolor/%dx%d/apps/quarvelle.png" % (s, s) for s in ICON_SIZES}
ZIP_FILES = {"quarvelle.exe", "README.txt", "LICENSE.txt"}
EXE_LIMIT = 1048576  # the stripped program stays under 1 MiB
WINDOWS_DLLS = {"gdi32.dll", "kernel32.dll", "msvcrt.dll", "user32.dll", "winmm.dll"}


def project_version():
    with open(os.path.join(source, "CMakeLists.txt")) as cmake:
        return re.search(r"project\(Quarvelle VERSION ([0-9.]+)", cmake.read()).group(1)


def run(*command, **options):
    return subprocess.run([str(c) for c in command], capture_output=True, text=True, timeout=300, **options)


def png_size(path):
    with open(path, "rb") as png:
        head = png.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n", "%s is no PNG" % path)
    return struct.unpack(">II", head[16:24])


class Scratch:
    """A temporary folder that goes when the case is done."""

    def __enter__(self):
        self.path = tempfile.mkdtemp(prefix="quarvelle-package-")
        return self.path

    def __exit__(self, *exc):
        shutil.rmtree(self.path, ignore_errors=True)


def extract(deb, root):
    check(run("dpkg-deb", "-x", deb, root).returncode == 0, "dpkg-deb -x failed")


# The Debian package.


def case_deb_control(args):
    """The control fields: name, version from CMake, section, and
    dependencies computed from the program's shared libraries."""
    info = run("dpkg-deb", "-I", args.deb).stdout
    fields = dict(re.findall(r"^ ([A-Za-z-]+): (.*)$", info, re.M))
    check(fields.get("Package") == "quarvelle", "the package is called %r" % fields.get("Package"))
    check(fields.get("Version") == project_version(), "version %r, not the project's" % fields.get("Version"))
    check(os.path.basename(args.deb) == "quarvelle_%s_amd64.deb" % project_version(),
          "the package file is called %s" % os.path.basename(args.deb))
    check(fields.get("Section") == "games" and fields.get("Architecture") == "amd64",
          "section %r, architecture %r" % (fields.get("Section"), fields.get("Architecture")))
    depends = {d.split()[0] for d in fields.get("Depends", "").split(", ") if d}
    for library in ("libsdl2-2.0-0", "libsdl2-ttf-2.0-0", "libc6"):
        check(library in depends, "%s is not among the dependencies %s" % (library, sorted(depends)))


def case_deb_files(args):
    """Every file in its place, the game stripped, the launcher and the game
    executable, each icon drawn at the size its folder says."""
    listing = run("dpkg-deb", "-c", args.deb).stdout.splitlines()
    files = {line.split()[-1][2:] for line in listing if not line.startswith("d")}
    check(files == PACKAGE_FILES, "missing %s, unexpected %s" % (sorted(PACKAGE_FILES - files),
                                                                 sorted(files - PACKAGE_FILES)))
    modes = {line.split()[-1][2:]: line.split()[0] for line in listing}
    for program in (LAUNCHER, GAME):
        check(modes[program] == "-rwxr-xr-x", "%s has mode %s" % (program, modes[program]))
    owners = {line.split()[1] for line in listing}
    check(owners == {"root/root"}, "files owned by %s" % sorted(owners))
    with Scratch() as root:
        extract(args.deb, root)
        described = run("file", os.path.join(root, GAME)).stdout
        check("ELF" in described and "not stripped" not in described and "stripped" in described,
              "the game is not stripped: %s" % described.strip())
        for size in ICON_SIZES:
            path = os.path.join(root, "usr/share/icons/hicolor/%dx%d/apps/quarvelle.png" % (size, size))
            check(png_size(path) == (size, size), "the %d pixel icon is %r" % (size, png_size(path)))
        with open(os.path.join(root, DESKTOP)) as desktop:
            check("Exec=/usr/games/quarvelle\n" in desktop.read(), "the desktop entry does not start the launcher")


def lintian_kept_warnings():
    with open(os.path.join(source, "packaging", "lintian-warnings-kept")) as kept:
        return {line.split()[0] for line in kept if line.strip() and not line.startswith("#")}


def case_deb_validators(args):
    """desktop-file-validate, appstreamcli and lintian accept the package;
    lintian's warnings are only those kept on purpose."""
    with Scratch() as root:
        extract(args.deb, root)
        result = run("desktop-file-validate", os.path.join(root, DESKTOP))
        check(result.returncode == 0 and not result.stdout.strip(),
              "desktop-file-validate: %s" % (result.stdout + result.stderr).strip())
        result = run("appstreamcli", "validate", "--no-net", "--no-color", os.path.join(root, METAINFO))
        check(result.returncode == 0, "appstreamcli: %s" % (result.stdout + result.stderr).strip())
    result = run("lintian", "--allow-root", "--no-tag-display-limit", args.deb)
    tags = re.findall(r"^([EW]): quarvelle[^:]*: (\S+)(.*)$", result.stdout, re.M)
    errors = [tag + rest for level, tag, rest in tags if level == "E"]
    check(not errors, "lintian errors: %s" % "; ".join(errors))
    kept = lintian_kept_warnings()
    warnings = [tag + rest for level, tag, rest in tags if level == "W" and tag not in kept]
    check(not warnings, "lintian warnings not kept in packaging/lintian-warnings-kept: %s" % "; ".join(warnings))
    check(result.returncode == 0, "lintian failed: %s" % (result.stdout + result.stderr).strip())


def answer_restart_box(x, game):
    """The first start without VORN.DAT: the box, Return, exit code 0."""
    box = wait_for("the %r box" % MESSAGE_BOX, lambda: x.windows().get(MESSAGE_BOX))
    x.run("xdotool", "windowfocus", box[0])
    x.run("xdotool", "key", "Return")
    try:
        check(game.wait(timeout=20) == 0, "the first start did not end with code 0")
    except subprocess.TimeoutExpired:
        raise Failure("the first start did not end")


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(d, f), folder) for d, _, fs in os.walk(folder) for f in fs)


def first_start(x, launcher, scratch, xdg):
    """Starts the launcher from an empty folder with a home of its own and
    XDG_DATA_HOME as given (None: unset); answers the restart box and
    returns the home, the start folder and the environment."""
    home = tempfile.mkdtemp(prefix="home-", dir=scratch)
    start = tempfile.mkdtemp(prefix="start-", dir=scratch)
    env = dict(x.env, HOME=home, SDL_AUDIODRIVER="dummy")
    env.pop("XDG_DATA_HOME", None)
    if xdg is not None:
        env["XDG_DATA_HOME"] = xdg
    answer_restart_box(x, x.start([launcher], cwd=start, env=env))
    return home, start, env


def case_deb_launcher(args):
    """The extracted launcher makes the data folder, starts the game there:
    the first start writes VORN.DAT there (not in the start folder, not in
    HOME itself) and asks for a restart, the second shows the game window.
    A relative XDG_DATA_HOME is ignored, as is an unset one."""
    with Scratch() as scratch, XSession() as x:
        root = os.path.join(scratch, "root")
        extract(args.deb, root)
        launcher = os.path.join(root, LAUNCHER)
        data_home = os.path.join(scratch, "data home")
        cases = [
            ("absolute", data_home, lambda home: data_home),
            ("relative", "relative/data", lambda home: os.path.join(home, ".local", "share")),
            ("unset", None, lambda home: os.path.join(home, ".local", "share")),
        ]
        for name, xdg, base_of in cases:
            home, start, env = first_start(x, launcher, scratch, xdg)
            data = os.path.join(base_of(home), "quarvelle")
            check(os.path.isfile(os.path.join(data, "VORN.DAT")),
                  "XDG_DATA_HOME %s: no VORN.DAT in %s" % (name, data))
            check(not os.listdir(start), "XDG_DATA_HOME %s: the start folder holds %s" % (name, os.listdir(start)))
            made = [f for f in files_under(home) if not os.path.join(home, f).startswith(data + os.sep)]
            check(not made, "XDG_DATA_HOME %s: HOME holds %s" % (name, made))
            check(os.stat(data).st_mode & 0o777 == 0o700, "XDG_DATA_HOME %s: %s is not the player's alone" % (name, data))
            if name == "absolute":
                game = x.start([launcher], cwd=start, env=env)
                window = wait_for("the game window", lambda: x.windows().get("Quarvelle"))
                check(window[1:3] == (WINDOW_WIDTH, WINDOW_HEIGHT), "the game window is %dx%d" % window[1:3])
                check(game.poll() is None, "the game ended on its second start")
                check(files_under(data) == ["VORN.DAT"], "the data folder holds %s" % files_under(data))
                game.terminate()
                game.wait(timeout=10)


def case_install_prefix(args):
    """`cmake --install --prefix` lays out the same tree under a prefix with a
    space in it, but with the launcher in bin/, on a PATH where games/ is not:
    the desktop entry starts that launcher (quoted), the launcher finds the
    game beside it, and the uninstall target removes every installed file
    and the game's own folders, leaving the player's VORN.DAT."""
    with Scratch() as scratch, XSession() as x:
        prefix = os.path.join(scratch, "my games", ".local")
        result = run("cmake", "--install", args.build, "--prefix", prefix)
        check(result.returncode == 0, "cmake --install failed: %s" % result.stderr.strip())
        expected = {("bin/quarvelle" if path == LAUNCHER else path[len("usr/"):]) for path in PACKAGE_FILES}
        check(files_under(prefix) == sorted(expected), "installed %s, not %s" % (files_under(prefix), sorted(expected)))
        desktop_path = os.path.join(prefix, "share/applications/quarvelle.desktop")
        with open(desktop_path) as desktop:
            text = desktop.read()
        launcher = os.path.join(prefix, "bin", "quarvelle")
        check('Exec="%s"\n' % launcher in text, "the desktop entry says %r" %
              [line for line in text.splitlines() if line.startswith("Exec")])
        result = run("desktop-file-validate", desktop_path)
        check(result.returncode == 0 and not result.stdout.strip(), "desktop-file-validate: %s" % result.stdout)
        home, _, _ = first_start(x, launcher, scratch, None)
        vorn = os.path.join(home, ".local", "share", "quarvelle", "VORN.DAT")
        check(os.path.isfile(vorn), "the installed launcher wrote no VORN.DAT into the data folder")

        result = run("cmake", "--build", args.build, "--target", "uninstall")
        check(result.returncode == 0, "the uninstall target failed: %s" % result.stderr.strip())
        check(files_under(prefix) == [], "the uninstall left %s" % files_under(prefix))
        for folder in ("lib/games/quarvelle", "share/doc/quarvelle"):
            check(not os.path.exists(os.path.join(prefix, folder)), "the uninstall left the folder %s" % folder)
        check(os.path.isfile(vorn), "the uninstall removed the player's VORN.DAT")


def case_launcher_options(args):
    """The launcher answers --help and --version itself, with status 0 and
    no window or data folder; anything else gets the usage line and status 2,
    and the game is not started."""
    with Scratch() as root:
        extract(args.deb, root)
        launcher = os.path.join(root, LAUNCHER)
        env = dict(os.environ, HOME=os.path.join(root, "home"), XDG_DATA_HOME="")
        env.pop("DISPLAY", None)
        usage = "usage: quarvelle [--help | --version]"
        cases = [
            (["--help"], 0, lambda out, err: out.startswith(usage + "\n") and "--version" in out and not err),
            (["--version"], 0, lambda out, err: out == "quarvelle %s\n" % project_version() and not err),
            (["--fullscreen"], 2, lambda out, err: not out and err == usage + "\n"),
            (["--help", "--version"], 2, lambda out, err: not out and err == usage + "\n"),
            (["VORN.DAT"], 2, lambda out, err: not out and err == usage + "\n"),
        ]
        for arguments, status, says in cases:
            result = run(launcher, *arguments, env=env)
            check(result.returncode == status, "quarvelle %s ended with %d, not %d" %
                  (" ".join(arguments), result.returncode, status))
            check(says(result.stdout, result.stderr), "quarvelle %s said %r and %r" %
                  (" ".join(arguments), result.stdout, result.stderr))
        check(not os.path.exists(env["HOME"]), "an option made the data folder")


# The Windows zip.


def coff_symbols(exe):
    """The symbol table's offset and count in a PE file's COFF header."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    pe = struct.unpack("<I", data[0x3C:0x40])[0]
    check(data[pe:pe + 4] == b"PE\0\0", "%s is no PE file" % exe)
    return struct.unpack("<II", data[pe + 12:pe + 20])


def case_zip_files(args):
    """The zip holds the stripped program, no larger than 1 MiB, README.txt
    and LICENSE.txt with CR LF line ends; the program imports only Windows'
    own five DLLs and carries the project version."""
    version = project_version()
    check(os.path.basename(args.zip) == "quarvelle-%s-win64.zip" % version,
          "the zip is called %s" % os.path.basename(args.zip))
    with zipfile.ZipFile(args.zip) as archive:
        names = set(archive.namelist())
        check(names == ZIP_FILES, "the zip holds %s" % sorted(names))
        for name in ("README.txt", "LICENSE.txt"):
            text = archive.read(name)
            check(text.endswith(b"\r\n") and text.count(b"\n") == text.count(b"\r\n"),
                  "%s has line ends other than CR LF" % name)
        readme = archive.read("README.txt").decode("ascii")
        check("VORN.DAT" in readme and "Go" in readme and "keypad" in readme,
              "README.txt does not say how to play and where VORN.DAT is")
        with Scratch() as scratch:
            exe = archive.extract("quarvelle.exe", scratch)
            size = os.path.getsize(exe)
            print("quarvelle.exe, stripped: %d bytes (limit %d)" % (size, EXE_LIMIT))
            check(size <= EXE_LIMIT, "the stripped quarvelle.exe is %d bytes, over %d" % (size, EXE_LIMIT))
            check(coff_symbols(exe) == (0, 0), "quarvelle.exe keeps a symbol table: %r" % (coff_symbols(exe),))
            headers = run("x86_64-w64-mingw32-objdump", "-p", "-h", exe).stdout
            check(" .debug" not in headers, "quarvelle.exe keeps debug sections")
            dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)}
            check(dlls == WINDOWS_DLLS, "quarvelle.exe imports %s" % sorted(dlls))
            with open(exe, "rb") as f:
                check(version.encode("utf-16-le") in f.read(), "the version resource lacks %s" % version)


def case_zip_wine(args):
    """Unpacked into a folder of its own and started there under Wine, the
    program asks for a restart and writes VORN.DAT beside itself."""
    with Scratch() as scratch:
        game = os.path.join(scratch, "Quarvelle")
        with zipfile.ZipFile(args.zip) as archive:
            archive.extractall(game)
        wine = types.SimpleNamespace(prefix=os.path.join(scratch, "wine-prefix"),
                                     exe=os.path.join(game, "quarvelle.exe"), probe=os.path.abspath(args.probe))
        wine_session.make_prefix(wine)
        session = wine_session.Session(wine, game)
        try:
            wine_session.answer_error_box(session, session.start_game())
        finally:
            session.close()
        check(os.path.isfile(os.path.join(game, "VORN.DAT")), "no VORN.DAT beside quarvelle.exe")
        check(set(os.listdir(game)) == ZIP_FILES | {"VORN.DAT"}, "the folder holds %s" % sorted(os.listdir(game)))


CASES = [case_deb_control, case_deb_files, case_deb_validators, case_deb_launcher, case_install_prefix,
         case_launcher_options, case_zip_files, case_zip_wine]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    parser.add_argument("--zip", required=True)
    parser.add_argument("--build", required=True, help="the Linux build the .deb was made from")
    parser.add_argument("--probe", required=True, help="window_probe.exe of the Windows build")
    parser.add_argument("cases", nargs="*", help="case names (default: all)")
    args = parser.parse_args()
    chosen = [c for c in CASES if not args.cases or c.__name__[len("case_"):] in args.cases]
    passed = failed = 0
    for case in chosen:
        name = case.__name__[len("case_"):]
        try:
            case(args)
        except (Failure, subprocess.TimeoutExpired) as failure:
            print("%s: FAIL: %s" % (name, failure), flush=True)
            failed += 1
        except Exception:
            print("%s: FAIL:" % name, flush=True)
            traceback.print_exc()
            failed += 1
        else:
            print("%s: ok" % name, flush=True)
            passed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed or not chosen else 0


if __name__ == "__main__":
    sys.exit(main())
