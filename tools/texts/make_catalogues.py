#!/usr/bin/env python3
"""Compiles the translations in po/*.po into a C++ source file of tables
(storage/texts/catalogue.h), so that the program carries its languages in
itself, the same on every system. A catalogue that would show a wrong text
stops the build with the reason: a header without its language or plural
rule, a plural rule that is not a plain expression in n, or a translation
whose placeholders (%1 ... %9) are not those of its English text.

Usage: make_catalogues.py --po-dir po --out catalogues.cpp"""
import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import po_file  # noqa: E402

# A plural rule is C arithmetic on n; nothing else may reach the compiler.
PLURAL_RULE = re.compile(r"^\s*nplurals\s*=\s*([1-4])\s*;\s*plural\s*=\s*([n0-9\s()<>=!&|?:%+*/-]+?)\s*;?\s*$")


def literal(text):
    """A C++ string literal of the UTF-8 bytes of `text`: printable ASCII as
    it is, everything else as three-digit octal escapes."""
    out = ['"']
    for byte in text.encode("utf-8"):
        c = chr(byte)
        if c in '"\\?':
            out.append("\\" + c)
        elif 32 <= byte < 127:
            out.append(c)
        else:
            out.append("\\%03o" % byte)
    out.append('"')
    return "".join(out)


def placeholders(text):
    return set(po_file.PLACEHOLDER.findall(text))


def catalogue(path, name):
    """The sorted (english, forms) pairs and the plural rule of one file."""
    entries = po_file.read(path)
    head = po_file.header(entries)
    if head.get("Language") != name:
        raise po_file.PoError("%s: the header names the language %r, not %r"
                              % (path, head.get("Language"), name))
    if "charset=UTF-8" not in head.get("Content-Type", ""):
        raise po_file.PoError("%s: the catalogue must be written in UTF-8" % path)
    rule = PLURAL_RULE.match(head.get("Plural-Forms", ""))
    if not rule:
        raise po_file.PoError("%s: no plain Plural-Forms rule in the header" % path)
    count, expression = int(rule.group(1)), rule.group(2)
    pairs = {}
    for e in entries:
        if not e.msgid or e.context is not None or not e.translated():
            continue
        wanted = placeholders(e.msgid) | placeholders(e.msgid_plural or "")
        if e.msgid_plural is None:
            forms = [e.msgstr.get(0, "")]
            if placeholders(forms[0]) != wanted:
                raise po_file.PoError("%s: the translation of %r does not use the placeholders %s"
                                      % (path, e.msgid, sorted(wanted)))
        else:
            forms = [e.msgstr.get(k, "") for k in range(count)]
            for form in forms:
                if not placeholders(form) <= wanted:
                    raise po_file.PoError("%s: a form of %r uses a placeholder its English text lacks"
                                          % (path, e.msgid))
        pairs[e.msgid] = forms
    return sorted(pairs.items(), key=lambda item: item[0].encode("utf-8")), count, expression


def generate(po_dir):
    names = po_file.linguas(po_dir)
    out = ["// Made by tools/texts/make_catalogues.py from po/*.po: do not edit.",
           '#include "catalogue.h"', "", "namespace {", ""]
    table = []
    for name in names:
        ident = re.sub(r"[^A-Za-z0-9]", "", name.title())
        pairs, count, expression = catalogue(os.path.join(po_dir, name + ".po"), name)
        if not pairs:
            raise po_file.PoError("%s: no translated text" % name)
        out.append("unsigned long Plural%s(unsigned long n) {" % ident)
        out.append("  static_cast<void>(n);")
        out.append("  return static_cast<unsigned long>(%s);" % expression)
        out.append("}")
        out.append("")
        out.append("const CatalogueEntry k%s[] = {" % ident)
        for english, forms in pairs:
            cells = ", ".join(literal(f) for f in forms)
            out.append("    {%s, {%s}}," % (literal(english), cells))
        out.append("};")
        out.append("")
        table.append('    {%s, k%s, sizeof k%s / sizeof k%s[0], %d, Plural%s},'
                     % (literal(name), ident, ident, ident, count, ident))
    out.append("}  // namespace")
    out.append("")
    out.append("const Catalogue kCatalogues[] = {")
    out += table
    out.append("};")
    out.append("const size_t kCatalogueCount = sizeof kCatalogues / sizeof kCatalogues[0];")
    return "\n".join(out) + "\n"


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--po-dir", required=True)
    ap.add_argument("--out", required=True)
    args = ap.parse_args(argv)
    try:
        text = generate(args.po_dir)
    except (po_file.PoError, OSError) as error:
        print("make_catalogues: %s" % error, file=sys.stderr)
        return 1
    temporary = args.out + ".tmp"
    with open(temporary, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    os.replace(temporary, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
