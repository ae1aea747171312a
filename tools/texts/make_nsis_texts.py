#!/usr/bin/env python3
"""Writes the installer's texts that the program shares with it, taken from
po/*.po: the name of the "Korvin game" file type, in each language the
installer speaks. A language of po/LINGUAS the installer does not speak is
left out; one it speaks without a translation of the name stops the build.

Usage: make_nsis_texts.py --po-dir po --out korvin4-types.nsh"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import po_file  # noqa: E402

# The catalogues' languages under the names NSIS gives them.
NSIS_LANGUAGES = {
    "de": "GERMAN", "es": "SPANISH", "fr": "FRENCH", "it": "ITALIAN",
    "nl": "DUTCH", "pl": "POLISH", "pt_BR": "PORTUGUESEBR", "ru": "RUSSIAN",
}
TEXTS = {"GameType": "Korvin game"}


def nsis_string(text):
    """An NSIS string in double quotes: its quote and dollar escaped."""
    return '"' + text.replace("$", "$$").replace('"', '$\\"') + '"'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--po-dir", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    lines = ["; Made by tools/texts/make_nsis_texts.py from po/*.po; not to be edited.", ""]
    for name, english in TEXTS.items():
        lines.append("LangString %s ${LANG_ENGLISH} %s" % (name, nsis_string(english)))
    try:
        for language in po_file.linguas(args.po_dir):
            nsis = NSIS_LANGUAGES.get(language)
            if nsis is None:
                continue
            found = po_file.translations(os.path.join(args.po_dir, language + ".po"))
            for name, english in TEXTS.items():
                if english not in found:
                    sys.exit("make_nsis_texts: %s.po does not translate \"%s\"" % (language, english))
                lines.append("LangString %s ${LANG_%s} %s" % (name, nsis, nsis_string(found[english])))
    except (OSError, po_file.PoError) as error:
        sys.exit("make_nsis_texts: %s" % error)
    text = "\n".join(lines) + "\n"
    # Written only when it changes, so that the installer is not made again for nothing.
    try:
        with open(args.out, encoding="utf-8") as old:
            if old.read() == text:
                return
    except OSError:
        pass
    with open(args.out + ".tmp", "w", encoding="utf-8") as out:
        out.write(text)
    os.replace(args.out + ".tmp", args.out)


if __name__ == "__main__":
    main()
