#!/usr/bin/env python3
"""Writes the template of the translations, po/korvin4.pot, from the texts
in the sources: every Tr("..."), TrLater("...") and TrN("...", "...", n) of the window
program, storage and the platforms; the banner words of
tools/assets/make_assets.py (N_("...")); the menu entry, the AppStream
description and the file type's comment in packaging/. With --check it
writes nothing and fails when the template is not what the sources give
(the date it was made aside).

Usage: make_pot.py SOURCE-ROOT [--check]"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

POT = os.path.join("po", "korvin4.pot")
CXX_SOURCES = ("shell/*.cpp", "shell/app/*.cpp", "shell/app/*.h", "shell/platform/*.cpp", "shell/platform/*.h",
               "storage/*.cpp", "storage/*.h", "storage/files/*.cpp", "storage/files/*.h")
PYTHON_SOURCES = ("tools/assets/make_assets.py",)
DESKTOP_SOURCES = ("packaging/korvin4.desktop", "packaging/io.github.korvin4.Korvin4.metainfo.xml",
                   "packaging/korvin4-mime.xml")
# File names only: a line added above a text does not make the template old.
COMMON = ["--force-po", "--from-code=UTF-8", "--add-comments=TRANSLATORS:", "--add-location=file",
          "--package-name=Korvin 4", "--msgid-bugs-address=korvin4@users.noreply.github.com"]


def version(root):
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("project(") and " VERSION " in line:
                return line.split(" VERSION ")[1].split()[0]
    return "0"


def files(root, patterns):
    found = []
    for pattern in patterns:
        found += sorted(os.path.relpath(p, root) for p in glob.glob(os.path.join(root, pattern)))
    return found


def make(root, out):
    common = COMMON + ["--package-version=" + version(root), "-o", out]
    runs = [
        # No default keywords: only the program's own lookups are texts.
        ["--language=C++", "--qt", "--keyword=", "--keyword=Tr", "--keyword=TrLater", "--keyword=TrN:1,2",
         "--flag=Fill:1:pass-qt-format"] + files(root, CXX_SOURCES),
        ["-j", "--language=Python", "--keyword=", "--keyword=N_"] + files(root, PYTHON_SOURCES),
        ["-j"] + files(root, DESKTOP_SOURCES),
    ]
    for arguments in runs:
        subprocess.run(["xgettext"] + common + arguments, cwd=root, check=True)


def without_date(path):
    with open(path, encoding="utf-8") as f:
        return [line for line in f if not line.startswith('"POT-Creation-Date:')]


def main(argv):
    if not argv or argv[0].startswith("-"):
        print(__doc__)
        return 2
    root, check = os.path.abspath(argv[0]), "--check" in argv[1:]
    if shutil.which("xgettext") is None:
        print("make_pot: xgettext is not installed (package gettext)")
        return 77 if check else 1
    pot = os.path.join(root, POT)
    with tempfile.TemporaryDirectory() as scratch:
        made = os.path.join(scratch, "korvin4.pot")
        try:
            make(root, made)
        except (OSError, subprocess.CalledProcessError) as error:
            print("make_pot: xgettext failed: %s" % error, file=sys.stderr)
            return 1
        same = os.path.exists(pot) and without_date(made) == without_date(pot)
        if check:
            if not same:
                print("%s is not what the sources give: run `cmake --build BUILD --target pot`"
                      " and update the catalogues" % POT)
                subprocess.run(["diff", "-u", pot, made])
                return 1
            print("%s is up to date" % POT)
            return 0
        if not same:
            with open(made, encoding="utf-8") as f, open(pot + ".tmp", "w", encoding="utf-8") as g:
                g.write(f.read())
            os.replace(pot + ".tmp", pot)
            print("wrote", pot)
        else:
            print(POT, "unchanged")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
