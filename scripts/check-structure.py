#!/usr/bin/env python3
"""Keeps the tree's layering and sizes in check.

- protocol/ includes nothing from serial/, ui/, skin/, app/ or tools/;
  skin/ nothing from ui/, serial/ or app/;
- no test includes a .cpp file;
- no per-style comparison (`== MacOS`, `s != Style::WinXP`, `case MacOS:`) outside
  the theme code; skinart may switch over the styles, as it draws each style's art;
- no source file over 500 lines; no function over 60 lines in the product and
  tool folders, headers included.
Prints one line per finding and exits 1 when there is any.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
SOURCE_DIRS = [
    "app", "modal", "platform", "protocol", "serial", "skin", "ui", "widgets", "tools", "tests", "bench", "fuzz",
    "measure",
]
FUNCTION_DIRS = ["app", "modal", "platform", "protocol", "serial", "skin", "ui", "widgets", "tools"]
FORBIDDEN_INCLUDES = {
    "protocol": ("serial/", "ui/", "skin/", "app/", "tools/"),
    "skin": ("ui/", "serial/", "app/"),
}
STYLES = r"(MacOS|WinXP|DeepBlue|Protein|BlueGlass|FromThemeFile)"
QUALIFIED = r"(?:\w+::)*"
STYLE_COMPARE = re.compile(rf"[!=]=\s*{QUALIFIED}{STYLES}\b|\b{STYLES}\s*[!=]=")
STYLE_CASE = re.compile(rf"\bcase\s+{QUALIFIED}{STYLES}\b")
STYLE_SWITCHES = "tools/skinart/"
THEME_FILES = {"skin/Suithemes.cpp", "skin/Suithemes.h"}
MAX_FILE_LINES = 500
MAX_FUNCTION_LINES = 60
NOT_FUNCTIONS = re.compile(r"\b(if|for|while|switch|catch|namespace|class|struct|union|enum|return|do|else|try)\b|=\s*$|^\s*$")


def sources():
    for top in SOURCE_DIRS:
        for path in sorted((ROOT / top).rglob("*")):
            if path.suffix in (".cpp", ".h") and path.is_file():
                yield path


def strip_code(text):
    """Blanks comments and literals, keeping line breaks, so braces count true."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif text.startswith('R"', i) and (i == 0 or not text[i - 1].isalnum()):
            k = text.find("(", i)
            delim = ")" + text[i + 2:k] + '"'
            j = text.find(delim, k)
            j = n if j < 0 else j + len(delim)
            out.append('""' + "\n" * text.count("\n", i, j))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def function_name(signature):
    """The (qualified) name before a signature's parameter list."""
    m = re.search(r"([\w:~]+)\s*\(", signature)
    return m.group(1) if m else ""


def long_functions(code):
    """Yields (first line, length, name) of every brace body that follows a signature."""
    stack, head = [], []
    line = 1
    for c in code:
        if c == "\n":
            line += 1
        if c == "{":
            signature = "".join(head).strip()
            is_function = (signature.endswith(")") or re.search(r"\)\s*(const|override|noexcept|final|mutable|->[^;]*)[\s\w:<>&*,]*$", signature)) \
                and not NOT_FUNCTIONS.search(signature.split("(")[0]) and not any(f for f, _, _ in stack)
            stack.append((is_function, line, function_name(signature)))
            head = []
        elif c == "}":
            if stack:
                is_function, start, name = stack.pop()
                if is_function and line - start + 1 > MAX_FUNCTION_LINES:
                    yield start, line - start + 1, name
            head = []
        elif c == ";":
            head = []
        else:
            head.append(c)


def main():
    findings = []
    for path in sources():
        rel = path.relative_to(ROOT).as_posix()
        text = path.read_text(encoding="utf-8", errors="replace")
        top = rel.split("/")[0]
        lines = text.count("\n")
        if lines > MAX_FILE_LINES:
            findings.append(f"{rel}: {lines} lines (at most {MAX_FILE_LINES})")
        for number, row in enumerate(text.splitlines(), 1):
            m = re.match(r'\s*#\s*include\s+"([^"]+)"', row)
            if m:
                if any(m.group(1).startswith(p) for p in FORBIDDEN_INCLUDES.get(top, ())):
                    findings.append(f"{rel}:{number}: {top}/ includes {m.group(1)}")
                if top == "tests" and m.group(1).endswith(".cpp"):
                    findings.append(f"{rel}:{number}: a test includes {m.group(1)}")
        code = strip_code(text)
        if top in ("skin", "ui", "widgets", "tools") and rel not in THEME_FILES:
            for number, row in enumerate(code.splitlines(), 1):
                if STYLE_COMPARE.search(row) or (STYLE_CASE.search(row) and not rel.startswith(STYLE_SWITCHES)):
                    findings.append(f"{rel}:{number}: per-style comparison outside the theme table")
        if top in FUNCTION_DIRS:
            for start, length, name in long_functions(code):
                findings.append(f"{rel}:{start}: {name} is {length} lines long (at most {MAX_FUNCTION_LINES})")
    for finding in findings:
        print(finding)
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
