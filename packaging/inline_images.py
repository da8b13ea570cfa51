#!/usr/bin/env python3
"""Writes the user guide as one self-contained file: each <img src="images/...">
becomes a data: URL, so the guide travels as a single Veilkeeper.html."""
import base64
import pathlib
import re
import sys


def main(source: str, target: str) -> None:
    guide = pathlib.Path(source)
    html = guide.read_text(encoding="utf-8")

    def inline(match: re.Match) -> str:
        image = guide.parent / match.group(1)
        data = base64.b64encode(image.read_bytes()).decode("ascii")
        return f'src="data:image/png;base64,{data}"'

    html = re.sub(r'src="(images/[^"]+\.png)"', inline, html)
    out = pathlib.Path(target)
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_text(html, encoding="utf-8")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
