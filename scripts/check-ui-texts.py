#!/usr/bin/env python3
"""Finds the Chinese texts of the programs that are not marked for
translation: every user-visible text goes through tr(), QT_TR_NOOP,
QT_TRANSLATE_NOOP, QF_TEXT or QCoreApplication::translate(), so that
scripts/update-translations.sh extracts it and an English start shows it in
English.

Usage: check-ui-texts.py [ROOT [FOLDER...]]
  ROOT     the source tree (default: this script's tree)
  FOLDER   the folders under ROOT to look through (default: the programs' own)

Looked at: string literals of .cpp and .h files (comments are not), and the
<string> properties of .ui files that are marked notr="true" (uic passes the
others through translate()). A literal counts as marked when it is a whole
argument of one of the marking calls. Chinese that is data rather than text
shown to the user is left out by ALLOWED below, each with its reason.
Prints path:line: text for each one found; exits 1 when there is any.
"""

import html
import os
import re
import sys

FOLDERS = ["app", "cli", "common", "disk", "files", "firmware", "helper", "history", "pages", "smart", "widgets",
           "worker"]
MARKING_CALLS = {"tr", "trUtf8", "translate", "QT_TR_NOOP", "QT_TR_NOOP_UTF8", "QT_TR_N_NOOP", "QT_TRANSLATE_NOOP",
                 "QT_TRANSLATE_NOOP3", "QT_TRANSLATE_N_NOOP", "QF_TEXT"}
# Chinese characters, their punctuation and the full-width forms.
CHINESE = re.compile("[\u3000-\u303f\u3400-\u4dbf\u4e00-\u9fff\uff00-\uffef]")

# (path pattern or None for every file, what is left out of a literal, why).
ALLOWED = [
    (None, r"微软雅黑|黑体|宋体",
     "font family names, in QFont and style sheets: the font database matches them, nobody reads them"),
    (None, r"/\*.*?\*/", "comments inside style sheets"),
    (None, r"[^\"/]*\.png$", "the file names of images among the resources"),
    (r"^smart/core/SmartNames\.cpp$", r".*",
     "the catalogue's Chinese descriptions as keys of their English names in the JSON output and the metrics"),
    (r"^cli/(main|MetricsCommand)\.cpp$", r"警告|正常|良好",
     "the health levels as the JSON output and the metrics carry them, named in English help texts"),
    (r"^widgets/gallery/|^app/HistoryBench\.cpp$", r".*", "developers' tools, not installed"),
    (r"^smart/core/(SmartCatalog|SmartFormat|NvmeHealth)\.cpp$", r"^(?:小时|次|个|扇区|微法|字节|分钟|条)$",
     "a value's unit as the catalogues name it: the key of its template (\"%1小时\"), which is what is shown"),
    (r"^app/DiskNotifications(Linux|Windows)\.cpp$", r"^注册失败$",
     "the debug log line when the device notifications cannot be registered, for developers, never in the window"),
]


def allowed_rest(path, text):
    for path_pattern, pattern, _reason in ALLOWED:
        if path_pattern is None or re.search(path_pattern, path):
            text = re.sub(pattern, "", text, flags=re.S)
    return text


TOKEN = re.compile(r"""
    (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<raw>(?:u8|u|U|L)?R"(?P<delim>[^()\\ ]{0,16})\((?P<rawtext>.*?)\)(?P=delim)")
  | (?P<string>(?:u8|u|U|L)?"(?P<text>(?:[^"\\\n]|\\.)*)")
  | (?P<char>(?:u8|u|U|L)?'(?:[^'\\\n]|\\.)*')
  | (?P<number>\.?[0-9](?:[eEpP][+-]|[0-9A-Za-z_.'])*)
  | (?P<name>[A-Za-z_][A-Za-z0-9_]*)
  | (?P<punct>\S)
""", re.S | re.X)


def tokens(source):
    """(kind, text, line) of each token; a literal's text is its content."""
    line = 1
    position = 0
    for match in TOKEN.finditer(source):
        line += source.count("\n", position, match.start())
        position = match.start()
        kind = match.lastgroup
        if kind in ("delim", "rawtext", "text"):
            kind = "raw" if match.group("raw") else "string"
        if kind == "comment":
            continue
        if kind == "raw":
            yield "string", match.group("rawtext"), line
        elif kind == "string":
            yield "string", match.group("text"), line
        else:
            yield kind, match.group(0), line


def unmarked_in_code(path, source):
    found = []
    toks = list(tokens(source))
    # The calls the tokens are in: the name before each open bracket (None
    # for a bracket that is not a call's).
    calls = []
    for index, (kind, text, line) in enumerate(toks):
        if kind == "punct" and text in "([{":
            before = toks[index - 1] if index else None
            calls.append(before[1] if text == "(" and before and before[0] == "name" else None)
        elif kind == "punct" and text in ")]}":
            if calls:
                calls.pop()
        elif kind == "string" and CHINESE.search(allowed_rest(path, text)):
            if calls and calls[-1] in MARKING_CALLS and whole_argument(toks, index):
                continue
            found.append((line, text))
    return found


def whole_argument(toks, index):
    """Whether the literal at `index`, with the literals next to it, is a whole argument."""
    start = index
    while start > 0 and toks[start - 1][0] == "string":
        start -= 1
    end = index
    while end + 1 < len(toks) and toks[end + 1][0] == "string":
        end += 1
    before = toks[start - 1][1] if start > 0 else ""
    after = toks[end + 1][1] if end + 1 < len(toks) else ""
    return before in ("(", ",") and after in (")", ",")


UI_STRING = re.compile(r"<string(?P<attributes>[^>]*)>(?P<text>.*?)</string>", re.S)


def unmarked_in_form(path, source):
    found = []
    for match in UI_STRING.finditer(source):
        if not re.search(r'\bnotr\s*=\s*"true"', match.group("attributes")):
            continue
        text = html.unescape(match.group("text"))
        if CHINESE.search(allowed_rest(path, text)):
            found.append((source.count("\n", 0, match.start()) + 1, text))
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    folders = sys.argv[2:] or FOLDERS
    problems = 0
    for folder in folders:
        for directory, subdirectories, files in os.walk(os.path.join(root, folder)):
            subdirectories.sort()
            for name in sorted(files):
                full = os.path.join(directory, name)
                path = os.path.relpath(full, root).replace(os.sep, "/")
                if name.endswith((".cpp", ".h")):
                    check = unmarked_in_code
                elif name.endswith(".ui"):
                    check = unmarked_in_form
                else:
                    continue
                with open(full, encoding="utf-8") as source:
                    for line, text in check(path, source.read()):
                        print("%s:%d: %s" % (path, line, text))
                        problems += 1
    if problems:
        print("%d Chinese text(s) outside the translation mechanism: mark each with tr(), QT_TRANSLATE_NOOP or "
              "QF_TEXT (see common/UiText.h), or, where it is data nobody reads, add it to ALLOWED in %s with "
              "the reason" % (problems, os.path.relpath(__file__, root)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
