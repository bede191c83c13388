#!/usr/bin/env python3
"""The program installed into a scratch prefix with `cmake --install`, checked as a desktop,
a software centre, man and bash would see it."""
import install_args
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

ARGS = None
PREFIX = None


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def setUpModule():
    global PREFIX
    PREFIX = tempfile.mkdtemp(prefix="quelt-install-")
    result = run(["cmake", "--install", ARGS.build, "--prefix", PREFIX])
    if result.returncode != 0:
        raise RuntimeError("cmake --install failed:\n" + result.stdout + result.stderr)


def tearDownModule():
    subprocess.run(["rm", "-rf", PREFIX])


def installed(*parts):
    return os.path.join(PREFIX, *parts)


def bash_completions(words):
    """The completions bash offers for the command line `words` (the last word is the one
    being completed), with the installed completion script and programs."""
    script = r'''
source /usr/share/bash-completion/bash_completion
source "$1"; shift
COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
_quelt_cli
printf '%s\n' "${COMPREPLY[@]}"
'''
    environment = dict(os.environ, PATH=installed("bin") + ":" + os.environ["PATH"])
    result = run(["bash", "-c", script, "bash",
                  installed("share", "bash-completion", "completions", "quelt-cli"), *words],
                 env=environment, cwd=PREFIX)
    assert result.returncode == 0, result.stderr
    return [line for line in result.stdout.splitlines() if line]


class DesktopIntegration(unittest.TestCase):
    def test_desktop_file_and_metainfo_validate(self):
        desktop = installed("share", "applications", ARGS.app_id + ".desktop")
        result = run(["desktop-file-validate", desktop])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout + result.stderr, "")
        with open(desktop, encoding="utf-8") as file:
            self.assertIn("Icon=" + ARGS.app_id + "\n", file.read())

        metainfo = installed("share", "metainfo", ARGS.app_id + ".metainfo.xml")
        result = run(["appstreamcli", "validate", "--no-net", metainfo])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        root = ElementTree.parse(metainfo).getroot()
        self.assertEqual(root.findtext("id"), ARGS.app_id)
        self.assertEqual(root.findtext("project_license"), "GPL-3.0-or-later")
        self.assertEqual(root.find("launchable").text, ARGS.app_id + ".desktop")
        self.assertEqual(root.find("releases/release").get("version"), ARGS.version)
        self.assertGreaterEqual(len(root.findall("screenshots/screenshot")), 3)
        self.assertIsNotNone(root.find("content_rating"))

    def test_icons_in_every_size_and_scalable(self):
        for size in (16, 24, 32, 48, 64, 128, 256):
            path = installed("share", "icons", "hicolor", f"{size}x{size}", "apps", ARGS.app_id + ".png")
            with open(path, "rb") as file:
                self.assertEqual(file.read(8), b"\x89PNG\r\n\x1a\n", path)
        svg = installed("share", "icons", "hicolor", "scalable", "apps", ARGS.app_id + ".svg")
        self.assertEqual(ElementTree.parse(svg).getroot().tag, "{http://www.w3.org/2000/svg}svg")

    def test_each_data_file_installed_once(self):
        names = []
        for folder, _, files in os.walk(installed("share")):
            names += files
        app = ARGS.app_id
        self.assertEqual(names.count(app + ".desktop"), 1)
        self.assertEqual(names.count(app + ".metainfo.xml"), 1)
        self.assertEqual(names.count(app + ".svg"), 1)
        self.assertEqual(names.count(app + ".png"), 7)  # one per size
        self.assertNotIn("CMakeLists.txt", names)
        # The program's own data folder holds only what the program reads.
        self.assertEqual(sorted(os.listdir(installed("share", "quelt"))), ["demo", "help", "skins", "sounds"])
        self.assertTrue(os.path.exists(installed("share", "quelt", "skins", "zqr", "the.ui")))

    def test_licence_installed(self):
        for name in ("LICENSE", "copyright"):
            with open(installed("share", "doc", "quelt", name), encoding="utf-8") as file:
                text = file.read()
            self.assertIn("GNU GENERAL PUBLIC LICENSE", text)
            self.assertIn("Version 3, 29 June 2007", text)


class Programs(unittest.TestCase):
    def test_version_of_both_programs_without_a_display(self):
        environment = {k: v for k, v in os.environ.items()
                       if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for program in ("quelt-cli", "quelt"):
            result = run([installed("bin", program), "--version"], env=environment, timeout=120)
            self.assertEqual(result.returncode, 0, result.stderr)
            lines = result.stdout.splitlines()
            self.assertEqual(lines[0], f"{program} (Quelt CD Ripper Pro) {ARGS.version}")
            self.assertTrue(any("GPL-3.0-or-later" in line for line in lines))

    def test_man_pages_render_without_warnings(self):
        environment = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80")
        pages = {}
        for program in ("quelt", "quelt-cli"):
            page = installed("share", "man", "man1", program + ".1")
            result = run(["man", "--warnings", "-l", "-Tutf8", page], env=environment)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stderr, "", program)
            # Plain text: no colours, no bold or underline overstrikes.
            pages[program] = run(["groff", "-man", "-Tutf8", "-P-cbou", page], env=environment).stdout
            self.assertIn(ARGS.version, pages[program])
        self.assertIn("--version", pages["quelt"])
        # Every command of quelt-cli --help, with its --json where it has one.
        for command in bash_completions(["quelt-cli", ""]):
            if not command.startswith("-"):
                self.assertIn("quelt-cli " + command, pages["quelt-cli"])
        self.assertIn("JSON OUTPUT", pages["quelt-cli"])
        self.assertIn("quelt-cli disc [--drive D] [FREEDB OPTIONS] [--json]", pages["quelt-cli"])


class Completion(unittest.TestCase):
    def test_bash_offers_commands_options_and_values(self):
        commands = bash_completions(["quelt-cli", ""])
        for command in ("formats", "presets", "info", "convert", "drives", "disc", "rip",
                        "writers", "burn", "settings", "--version"):
            self.assertIn(command, commands)
        self.assertEqual(bash_completions(["quelt-cli", "con"]), ["convert"])
        self.assertIn("--format", bash_completions(["quelt-cli", "convert", "--"]))
        self.assertIn("--json", bash_completions(["quelt-cli", "disc", "--"]))
        self.assertEqual(bash_completions(["quelt-cli", "convert", "--format", "fla"]), ["flac"])
        self.assertIn("demo", bash_completions(["quelt-cli", "rip", "--drive", ""]))
        self.assertIn("image", bash_completions(["quelt-cli", "burn", "--writer", ""]))
        self.assertEqual(bash_completions(["quelt-cli", "settings", ""]), ["list", "get", "set"])
        presets = bash_completions(["quelt-cli", "rip", "--preset", "320"])
        self.assertIn("320kbit/s\\ 44100Hz\\ Stereo\\ ", presets)

    def test_zsh_script_parses(self):
        script = installed("share", "zsh", "vendor-completions", "_quelt-cli")
        result = run(["zsh", "-n", script])
        self.assertEqual(result.returncode, 0, result.stderr)


if __name__ == "__main__":
    install_args.run_tests(sys.modules[__name__])
