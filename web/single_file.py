#!/usr/bin/env python3
"""Writes the page as one self-contained HTML file, which works when opened
from disk: the style sheet, the core module (with its WebAssembly inside) and
the page's script are put into the page itself.

    single_file.py PAGE_FOLDER CORE_SINGLE.js OUTPUT.html
"""
import pathlib
import sys


def inline_script(code):
    # A script element ends at the first "</script"; none may hide in the code.
    return "<script>\n" + code.replace("</script", "<\\/script") + "\n</script>"


def main():
    folder, core, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    page = (folder / "index.html").read_text(encoding="utf-8")
    parts = {
        '<link rel="stylesheet" href="waitline.css">':
            "<style>\n" + (folder / "waitline.css").read_text(encoding="utf-8") + "</style>",
        '<script src="waitline-core.js"></script>': inline_script(core.read_text(encoding="utf-8")),
        '<script src="waitline.js"></script>': inline_script((folder / "waitline.js").read_text(encoding="utf-8")),
    }
    for reference, content in parts.items():
        if page.count(reference) != 1:
            sys.exit(f"single_file.py: the page must refer once to: {reference}")
        page = page.replace(reference, content)
    output.write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
