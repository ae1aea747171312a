#!/usr/bin/env python3
"""The program reaches the operating system only through its seams: a system
header (<unistd.h>, <sys/...>, <poll.h>, <fcntl.h>, <csignal>, <windows.h>,
the Windows API headers) appears only in a seam's own file (name_posix.cpp,
name_win32.cpp, or a win32_ file of the Win32 platform), a Qt header only in
a qt_ file, and no common file of the engine, storage or the window program
asks which system it is built for (#ifdef _WIN32, __linux__ and the like):
CMake chooses the seam's file instead.
Usage: check_seams.py SOURCE-ROOT   (exit status 1 with the faults listed)
       check_seams.py --self-test   (the check finds planted faults)"""
import os
import re
import sys
import tempfile

# Folders whose files must keep to the seams, and whether they may be Qt's.
FOLDERS = ["engine", "storage", "storage/files", "storage/texts", "shell", "shell/app",
           "shell/platform", "tools/cli", "tools/uci"]

SYSTEM_HEADER = re.compile(r"#\s*include\s*<(sys/[^>]+|unistd\.h|poll\.h|fcntl\.h|signal\.h|csignal|"
                           r"dirent\.h|pwd\.h|windows\.h|winsock2?\.h|[a-z]+api\.h|"
                           r"shlobj\.h|shellapi\.h|commdlg\.h|io\.h)>")
QT_HEADER = re.compile(r"#\s*include\s*<(Q[A-Za-z]+|Qt[A-Za-z]*/[^>]+)>")
ASKS_SYSTEM = re.compile(r"#\s*(?:if|ifdef|ifndef|elif)\b.*\b(_WIN32|_WIN64|WIN32|__linux__|__unix__|"
                         r"__APPLE__|__MINGW32__|__MINGW64__|_POSIX_VERSION|__CYGWIN__)\b")


def is_seam(name):
    stem = name.rsplit(".", 1)[0]
    return stem.endswith(("_posix", "_win32")) or stem.startswith("win32_")


def check(root):
    faults = []
    for folder in FOLDERS:
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            if not name.endswith((".cpp", ".h")):
                continue
            text = open(os.path.join(path, name), encoding="utf-8").read()
            where = f"{folder}/{name}"
            if not is_seam(name):
                for header in SYSTEM_HEADER.findall(text):
                    faults.append(f"{where} includes <{header}> outside a system seam")
                for line in text.splitlines():
                    match = ASKS_SYSTEM.search(line)
                    if match:
                        faults.append(f"{where} asks which system it is built for ({match.group(1)})")
            if not name.startswith("qt_"):
                for header in QT_HEADER.findall(text):
                    faults.append(f"{where} includes the Qt header <{header}> outside a qt_ file")
    return faults


def self_test():
    """Plants one fault of each kind in a tree of its own; each must be found,
    and the same texts in seam files must not be."""
    with tempfile.TemporaryDirectory() as root:
        planted = {
            "engine/clock.cpp": "#include <unistd.h>\n",
            "storage/files/lock.cpp": "#ifdef _WIN32\n#endif\n",
            "shell/app/window.cpp": "#include <QWidget>\n",
            "shell/app/lock_posix.cpp": "#include <sys/file.h>\n#include <unistd.h>\n",
            "shell/platform/win32_canvas.cpp": "#include <windows.h>\n",
            "shell/platform/qt_canvas.cpp": "#include <QImage>\n",
        }
        for path, text in planted.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as out:
                out.write(text)
        found = check(root)
        expected = ["engine/clock.cpp includes <unistd.h>",
                    "storage/files/lock.cpp asks which system",
                    "shell/app/window.cpp includes the Qt header <QWidget>"]
        missing = [e for e in expected if not any(f.startswith(e) for f in found)]
        extra = [f for f in found if not any(f.startswith(e) for e in expected)]
        for line in missing:
            print("NOT FOUND:", line)
        for line in extra:
            print("WRONGLY FOUND:", line)
        print("seams self-test: %d missed, %d wrongly found" % (len(missing), len(extra)))
        return 1 if missing or extra else 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(self_test())
    faults = check(sys.argv[1])
    for fault in faults:
        print("FAULT:", fault)
    print("seams: %d fault(s)" % len(faults))
    sys.exit(1 if faults else 0)
