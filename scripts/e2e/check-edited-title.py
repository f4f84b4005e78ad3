#!/usr/bin/env python3
"""Checks the file saved by edit-title.sh: the original bytes, with question 1's block moved to
the end of the file (a written question always goes last) and its title replaced; every other
line unchanged, Windows-1252, CR LF after every line."""
import sys


def expected_bytes(original: bytes, title: str) -> bytes:
    lines = original.split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    while lines and not lines[0].strip() and len(lines) >= 3:
        lines.pop(0)
    opening = next(i for i, line in enumerate(lines) if line.lower() == b"<bloc0000>")
    closing = lines.index(b"</BLOC0000>", opening)
    block = lines[opening:closing + 1]
    block[1] = b"TITLE " + title.encode("cp1252")
    rest = lines[:opening] + lines[closing + 1:]
    return b"".join(line + b"\r\n" for line in rest + block)


def main() -> int:
    original_path, saved_path, title = sys.argv[1:4]
    with open(original_path, "rb") as f:
        original = f.read()
    with open(saved_path, "rb") as f:
        saved = f.read()
    expected = expected_bytes(original, title)
    if saved != expected:
        print("saved file differs from the expected bytes")
        for n, (a, b) in enumerate(zip(saved.split(b"\r\n"), expected.split(b"\r\n"))):
            if a != b:
                print(f"first difference at line {n + 1}: saved {a!r}, expected {b!r}")
                break
        print(f"saved {len(saved)} bytes, expected {len(expected)}")
        return 1
    print(f"ok: {len(saved)} bytes as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
