"""Reading gettext catalogues (.po files): the entries, their flags and the
header fields. Used by make_catalogues.py (the program's compiled-in
texts) and by tools/assets/make_assets.py (the words on the banners)."""
import os
import re

PLACEHOLDER = re.compile(r"%([1-9])")


class PoError(Exception):
    pass


class Entry:
    def __init__(self):
        self.context = None
        self.msgid = None
        self.msgid_plural = None
        self.msgstr = {}        # form number -> text (0 for a text without a count)
        self.flags = set()
        self.obsolete = False

    def translated(self):
        return (not self.obsolete and "fuzzy" not in self.flags and self.msgstr
                and all(self.msgstr.values()))


def _unquote(text, where):
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise PoError("%s: a string must stand in double quotes" % where)
    out, k, body = [], 0, text[1:-1]
    escapes = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "r": "\r"}
    while k < len(body):
        c = body[k]
        if c == "\\":
            if k + 1 >= len(body) or body[k + 1] not in escapes:
                raise PoError("%s: unknown escape in %s" % (where, text))
            out.append(escapes[body[k + 1]])
            k += 2
            continue
        if c == '"':
            raise PoError("%s: a quote inside a string must be escaped" % where)
        out.append(c)
        k += 1
    return "".join(out)


def read(path):
    """The entries of a .po file, the header entry (msgid "") first."""
    entries, entry, field = [], Entry(), None

    def finish():
        nonlocal entry, field
        if entry.msgid is not None:
            entries.append(entry)
        entry, field = Entry(), None

    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for number, raw in enumerate(lines, 1):
        where = "%s:%d" % (path, number)
        line = raw.strip()
        if not line:
            finish()
            continue
        if line.startswith("#~"):
            entry.obsolete = True
            line = line[2:].strip()
            if not line:
                continue
        elif line.startswith("#,"):
            entry.flags.update(flag.strip() for flag in line[2:].split(","))
            continue
        elif line.startswith("#"):
            continue
        if line.startswith('"'):
            if field is None:
                raise PoError("%s: a continued string without a keyword" % where)
            kind, form = field
            text = _unquote(line, where)
            if kind == "msgstr":
                entry.msgstr[form] += text
            else:
                setattr(entry, kind, getattr(entry, kind) + text)
            continue
        match = re.match(r"(msgctxt|msgid_plural|msgid|msgstr)(?:\[(\d)\])?\s+(\".*\")$", line)
        if not match:
            raise PoError("%s: cannot read: %s" % (where, raw))
        kind, form, text = match.group(1), match.group(2), _unquote(match.group(3), where)
        if kind == "msgctxt" or (kind == "msgid" and entry.msgid is not None):
            if entry.msgid is not None:
                finish()
        if kind == "msgstr":
            form = int(form) if form is not None else 0
            entry.msgstr[form] = text
            field = ("msgstr", form)
        else:
            setattr(entry, {"msgctxt": "context"}.get(kind, kind), text)
            field = ({"msgctxt": "context"}.get(kind, kind), None)
    finish()
    return entries


def header(entries):
    """The header fields ("Language", "Plural-Forms", ...) as a dict."""
    for e in entries:
        if e.msgid == "" and e.context is None:
            fields = {}
            for line in e.msgstr.get(0, "").splitlines():
                name, _, value = line.partition(":")
                if value:
                    fields[name.strip()] = value.strip()
            return fields
    return {}


def linguas(po_dir):
    """The languages listed in po/LINGUAS, in order."""
    names = []
    with open(os.path.join(po_dir, "LINGUAS"), encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0]
            names += line.split()
    return names


def translations(path):
    """The English text -> translated text of a catalogue's entries without a
    count (untranslated and fuzzy ones left out)."""
    return {e.msgid: e.msgstr[0] for e in read(path)
            if e.msgid and e.msgid_plural is None and e.context is None and e.translated()}
