#!/usr/bin/env python3
"""The Debian package of the build tree: built by CPack, its control fields and file list
checked, then installed into a scratch root with dpkg --root, run, and removed again."""
import install_args
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ARGS = None


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="quelt-package-")
        # gzip rather than the default xz: the test build's programs are large.
        result = run(["cpack", "-G", "DEB", "--config", os.path.join(ARGS.build, "CPackConfig.cmake"),
                      "-D", "CPACK_DEBIAN_COMPRESSION_TYPE=gzip", "-B", os.path.join(cls.scratch, "out")],
                     cwd=ARGS.build)
        if result.returncode != 0:
            raise RuntimeError("cpack failed:\n" + result.stdout + result.stderr)
        out = os.path.join(cls.scratch, "out")
        debs = [name for name in os.listdir(out) if name.endswith(".deb")]
        if len(debs) != 1:
            raise RuntimeError(f"cpack made {debs}")
        cls.deb = os.path.join(out, debs[0])

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def field(self, name):
        result = run(["dpkg-deb", "--field", self.deb, name])
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.strip()

    def test_control_fields(self):
        self.assertEqual(self.field("Package"), "quelt")
        self.assertEqual(self.field("Version"), ARGS.version)
        self.assertEqual(self.field("Architecture"), run(["dpkg", "--print-architecture"]).stdout.strip())
        self.assertEqual(self.field("Section"), "sound")
        self.assertTrue(self.field("Maintainer"))
        self.assertIn("CD ripper", self.field("Description"))
        # The Debian libraries the programs link (as dpkg-shlibdeps names them) or open.
        depends = self.field("Depends")
        for library in ("libavcodec", "libavformat", "libcdio-paranoia", "libcdio", "libcddb",
                        "libburn", "libisofs", "libsdl2", "libavfilter", "libqt6widgets6", "libc6"):
            self.assertIn(library, depends)

    def test_file_list(self):
        listing = run(["dpkg-deb", "--contents", self.deb]).stdout
        paths = {line.split()[-1] for line in listing.splitlines()}
        for path in ("./usr/bin/quelt", "./usr/bin/quelt-cli",
                     f"./usr/share/applications/{ARGS.app_id}.desktop",
                     f"./usr/share/metainfo/{ARGS.app_id}.metainfo.xml",
                     f"./usr/share/icons/hicolor/scalable/apps/{ARGS.app_id}.svg",
                     f"./usr/share/icons/hicolor/48x48/apps/{ARGS.app_id}.png",
                     "./usr/share/man/man1/quelt.1", "./usr/share/man/man1/quelt-cli.1",
                     "./usr/share/bash-completion/completions/quelt-cli",
                     "./usr/share/zsh/vendor-completions/_quelt-cli",
                     "./usr/share/doc/quelt/LICENSE",
                     "./usr/share/quelt/skins/zqr/the.ui", "./usr/share/quelt/demo/demo.cue"):
            self.assertIn(path, paths)
        self.assertFalse([p for p in paths if p.startswith("./usr/local") or "/tests/" in p])
        # Everything belongs to root.
        for line in listing.splitlines():
            self.assertIn("root/root", line)

    def test_installs_runs_and_removes_cleanly(self):
        root = os.path.join(self.scratch, "root")
        admin = os.path.join(root, "var", "lib", "dpkg")
        for folder in ("updates", "info", "triggers"):
            os.makedirs(os.path.join(admin, folder), exist_ok=True)
        # The machine's package database, so the dependencies count as installed.
        shutil.copy("/var/lib/dpkg/status", os.path.join(admin, "status"))
        dpkg = ["dpkg", "--root=" + root, "--force-not-root", "--log=/dev/null"]

        result = run(dpkg + ["--install", self.deb])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        status = run(dpkg + ["--status", "quelt"]).stdout
        self.assertIn("Status: install ok installed", status)

        environment = dict(os.environ, HOME=self.scratch, XDG_CONFIG_HOME=os.path.join(self.scratch, "config"))
        cli = os.path.join(root, "usr", "bin", "quelt-cli")
        version = run([cli, "--version"], env=environment)
        self.assertEqual(version.returncode, 0, version.stderr)
        self.assertEqual(version.stdout.splitlines()[0], f"quelt-cli (Quelt CD Ripper Pro) {ARGS.version}")
        # The installed program finds its own data beside it: the demo disc.
        drives = run([cli, "drives", "--drive", "demo", "--json"], env=environment)
        self.assertEqual(drives.returncode, 0, drives.stderr)
        listed = json.loads(drives.stdout)[-1]["id"]
        self.assertEqual(os.path.realpath(listed), os.path.join(os.path.realpath(root), "usr", "share", "quelt",
                                                                "demo", "demo.cue"))

        result = run(dpkg + ["--purge", "quelt"])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        left = [os.path.join(folder, name) for folder, _, files in os.walk(os.path.join(root, "usr"))
                for name in files]
        self.assertEqual(left, [])
        self.assertNotIn("install ok installed", run(dpkg + ["--status", "quelt"]).stdout)


if __name__ == "__main__":
    install_args.run_tests(sys.modules[__name__])
