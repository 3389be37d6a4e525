#!/usr/bin/env python3
"""Writes the translations of a Qt translation file (.ts) as a C++ table for
quillfence-cli, which has no Qt to read the compiled .qm file.

Usage: ts-table.py TS_FILE OUTPUT_CPP

The table holds what lrelease compiles into the window's .qm file, so that the
window and the CLI show the same text: every message with a translation that
is not empty, finished or not, except obsolete and vanished ones. Messages
with plural forms or a disambiguating comment are left out: the CLI looks a
text up by its context and source only. The entries are sorted by context,
then source, byte by byte as strcmp() compares them, for a binary search.
"""

import sys
import xml.etree.ElementTree as ElementTree


def element_text(element):
    """The text of an element, with Qt's <byte value="x"/> characters."""
    parts = [element.text or ""]
    for child in element:
        if child.tag == "byte":
            parts.append(chr(int(child.get("value"), 0)))
        parts.append(child.tail or "")
    return "".join(parts)


def cpp_string(text):
    """A C++ string literal of `text` in UTF-8."""
    out = ['"']
    for char in text:
        if char in '"\\':
            out.append("\\" + char)
        elif char == "\n":
            out.append("\\n")
        elif ord(char) < 0x20 or ord(char) == 0x7F:
            out.append("\\%03o" % ord(char))
        elif char == "?":
            out.append("\\?")  # no trigraph, whatever the compiler's mode
        else:
            out.append(char)
    out.append('"')
    return "".join(out)


def entries_of(ts_file):
    entries = {}
    for context in ElementTree.parse(ts_file).getroot().iter("context"):
        name = element_text(context.find("name"))
        for message in context.iter("message"):
            translation = message.find("translation")
            if message.get("numerus") == "yes" or message.find("comment") is not None or translation is None:
                continue
            if translation.get("type") in ("obsolete", "vanished"):
                continue
            text = element_text(translation)
            if not text:
                continue  # the source text is shown
            key = (name.encode("utf-8"), element_text(message.find("source")).encode("utf-8"))
            if key in entries:
                sys.exit("%s: %s / %s is translated twice" % (ts_file, name, key[1].decode("utf-8")))
            entries[key] = text
    return sorted(entries.items())


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[3])
    ts_file, output = sys.argv[1:]
    entries = entries_of(ts_file)
    lines = [
        "// Made by scripts/ts-table.py from %s: do not edit." % ts_file.rsplit("/", 1)[-1],
        '#include "cli/UiTextTable.h"',
        "",
        "UiTextTable englishTexts()",
        "{",
    ]
    if entries:
        lines.append("    static const UiTextEntry entries[] = {")
        for (context, source), translation in entries:
            lines.append("        {%s, %s, %s}," % (cpp_string(context.decode("utf-8")),
                                                    cpp_string(source.decode("utf-8")), cpp_string(translation)))
        lines += ["    };", "    return {entries, %d};" % len(entries)]
    else:
        lines.append("    return {nullptr, 0};")
    lines += ["}", ""]
    text = "\n".join(lines)
    # Written only when it changes: the CLI is not compiled again for nothing.
    try:
        with open(output, encoding="utf-8") as old:
            if old.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(output, "w", encoding="utf-8") as out:
        out.write(text)


if __name__ == "__main__":
    main()
