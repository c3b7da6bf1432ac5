#!/usr/bin/env python3
"""Writes resources/excel/Language_TALVEX.txt, the UTF-16 language table, from english.py and
translations.py. Columns: section key (on heading rows only), then one column per language in
Zq_Language order. A text missing from a translation is an error, not an English fallback."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from english import SECTIONS  # noqa: E402
from translations import LANGUAGES, TRANSLATIONS  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "excel",
                   "Language_TALVEX.txt")


def column(lang, section, heading, texts):
    if lang == "en":
        return [heading] + texts
    table = TRANSLATIONS[lang].get(section)
    if table is None or len(table) != len(texts) + 1:
        sys.exit(f"{lang}: section '{section}' needs {len(texts) + 1} cells (heading first)")
    return table


def main():
    rows = []
    for section, heading, texts in SECTIONS:
        columns = [column(lang, section, heading, texts) for lang in LANGUAGES]
        for i in range(len(texts) + 1):
            key = section if i == 0 else ""
            cells = [c[i] for c in columns]
            for cell in cells:
                if "\t" in cell or "\n" in cell:
                    sys.exit(f"tab or line break in a cell of '{section}'")
            rows.append("\t".join([key] + cells))
    with open(OUT, "w", encoding="utf-16", newline="\r\n") as f:
        f.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
