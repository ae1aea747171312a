#!/usr/bin/env python3
"""The layers of the program only point down: the engine includes nothing
of storage, shell or tools, and links nothing but the thread library; the
texts include nothing of the program, the file services nothing above them
but the texts; storage builds on the engine
alone; the window program's files do not include each other round in a
circle; no test double lives in the product's folders; and the engine and
the tools reach the system only through their seams.
Usage: check_layers.py SOURCE-ROOT   (exit status 1 with the faults listed)"""
import os
import re
import sys

root = sys.argv[1]
faults = []


def sources(folder):
    for name in sorted(os.listdir(os.path.join(root, folder))):
        if name.endswith((".cpp", ".h")):
            yield name, open(os.path.join(root, folder, name), encoding="utf-8").read()


def local_includes(text):
    return re.findall(r'#include "([^"]+)"', text)


def headers_of(*folders):
    found = set()
    for folder in folders:
        found.update(name for name in os.listdir(os.path.join(root, folder)) if name.endswith(".h"))
    return found


def only_below(folder, allowed_folders):
    allowed = headers_of(*allowed_folders)
    for name, text in sources(folder):
        for header in local_includes(text):
            if header not in allowed:
                faults.append(f"{folder}/{name} includes {header}, from above its layer")


only_below("storage/texts", ["storage/texts"])
only_below("storage/files", ["storage/files", "storage/texts"])
only_below("engine", ["engine"])
only_below("storage", ["storage", "storage/files", "storage/texts", "engine"])

engine_cmake = open(os.path.join(root, "engine/CMakeLists.txt"), encoding="utf-8").read()
for links in re.findall(r"target_link_libraries\(korvin_engine([^)]*)\)", engine_cmake):
    for library in links.split():
        if library not in ("PUBLIC", "PRIVATE", "INTERFACE", "Threads::Threads"):
            faults.append(f"the engine links {library}")

# The window program: a file includes another's header to call it; a circle
# of such calls is a fault.
app = "shell/app"
modules = {name[:-4] for name, _ in sources(app) if name.endswith(".cpp")}
calls = {}
for module in modules:
    text = open(os.path.join(root, app, module + ".cpp"), encoding="utf-8").read()
    calls[module] = {h[:-2] for h in local_includes(text) if h[:-2] in modules and h[:-2] != module}


def find_circle(start):
    stack = [(start, [start])]
    while stack:
        node, path = stack.pop()
        for nxt in calls[node]:
            if nxt == start:
                return path + [start]
            if nxt not in path:
                stack.append((nxt, path + [nxt]))
    return None


for module in sorted(modules):
    circle = find_circle(module)
    if circle:
        faults.append("shell/app calls round in a circle: " + " -> ".join(circle))
        break

for folder, _, names in os.walk(os.path.join(root, "shell")):
    for name in names:
        if name.startswith("script_platform"):
            faults.append(f"a test double in the product: {os.path.relpath(os.path.join(folder, name), root)}")

# The system is reached only through the seams: in the engine and the tools,
# a system header appears in a *_posix.cpp or *_win32.cpp file alone.
system_header = re.compile(r"#include <(sys/[^>]+|unistd\.h|poll\.h|fcntl\.h|signal\.h|csignal|"
                           r"windows\.h|[a-z]+api\.h)>")
for folder in ("engine", "tools/cli", "tools/uci"):
    for name, text in sources(folder):
        if name.endswith(("_posix.cpp", "_win32.cpp")):
            continue
        for header in system_header.findall(text):
            faults.append(f"{folder}/{name} includes <{header}> outside a system seam")

for fault in faults:
    print("FAULT:", fault)
print("layers: %d fault(s)" % len(faults))
sys.exit(1 if faults else 0)
