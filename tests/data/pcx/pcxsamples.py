#!/usr/bin/python3
"""PCX files written by ImageMagick and Pillow, and their own decodings, for the cross-checks.

    pcxsamples.py make DIR
        Writes DIR/<name>.pcx for every layout the two programs write, each with
        DIR/<name>.source.ppm, the picture handed to the writer, and the decodings of
        that file by both programs as in "decode" (binary PPM, 8 bits per sample).
    pcxsamples.py decode DIR NAME...
        Decodes DIR/<NAME>.pcx (written by us) with both programs into
        DIR/<NAME>.pillow.ppm and DIR/<NAME>.magick.ppm, or a .err file holding the
        refusal when a program cannot read that layout.

Every source picture is drawn here from arithmetic, so the samples are the same on every run.
"""

import subprocess
import sys
from pathlib import Path

from PIL import Image


def photo(width, height):
    """Smooth gradients crossed by stripes: long runs, short runs and lone values."""
    im = Image.new("RGB", (width, height))
    px = im.load()
    for y in range(height):
        for x in range(width):
            stripe = 0xC8 if (x // 3 + y) % 5 == 0 else 0
            px[x, y] = ((x * 255 // max(width - 1, 1)) ^ stripe,
                        (y * 255 // max(height - 1, 1)),
                        ((x * y * 7) & 0xFF) | (0xC0 if x % 11 == 0 else 0))
    return im


def bilevel(width, height):
    im = Image.new("1", (width, height))
    px = im.load()
    for y in range(height):
        for x in range(width):
            px[x, y] = 255 if (x * x + 3 * y) % 7 < 3 else 0
    return im


def indexed(width, height, colours):
    return photo(width, height).quantize(colours, dither=Image.Dither.NONE)


def magick(*args):
    subprocess.run(["convert", *args], check=True)


def magick_decode(pcx, ppm):
    magick(str(pcx), "-depth", "8", "ppm:" + str(ppm))


def pillow_decode(pcx, ppm):
    with Image.open(pcx) as im:
        im.convert("RGB").save(ppm, "PPM")


def make(folder):
    folder.mkdir(parents=True, exist_ok=True)
    written = []
    for width, height in ((37, 11), (64, 20), (3, 2)):
        size = f"{width}x{height}"
        # Pillow writes the modes 1, L, P and RGB.
        sources = {
            "1": bilevel(width, height),
            "L": photo(width, height).convert("L"),
            "P": indexed(width, height, 200),
            "RGB": photo(width, height),
        }
        for mode, im in sources.items():
            name = f"pillow-{mode.lower()}-{size}"
            im.save(folder / f"{name}.pcx")
            im.convert("RGB").save(folder / f"{name}.source.ppm", "PPM")
            written.append(name)

        # ImageMagick writes 1 bit from a two-colour palette picture, 8 bits from other
        # palette pictures, three planes from full colour, four planes when there is alpha.
        work = folder / "work"
        work.mkdir(exist_ok=True)
        bilevel(width, height).convert("P").save(work / "bilevel.gif")
        indexed(width, height, 16).save(work / "indexed16.png")
        indexed(width, height, 256).save(work / "indexed256.png")
        photo(width, height).save(work / "photo.png")
        rgba = photo(width, height).convert("RGBA")
        rgba.putalpha(128)
        rgba.save(work / "rgba.png")
        jobs = {
            f"magick-1bit-{size}": ("bilevel.gif", []),
            f"magick-8bit16-{size}": ("indexed16.png", ["-type", "palette"]),
            f"magick-8bit256-{size}": ("indexed256.png", ["-type", "palette"]),
            f"magick-24bit-{size}": ("photo.png", ["-type", "truecolor"]),
            f"magick-24bit150dpi-{size}": ("photo.png", ["-type", "truecolor", "-units",
                                                       "PixelsPerInch", "-density", "150"]),
            f"magick-32bit-{size}": ("rgba.png", ["-type", "truecolormatte"]),
        }
        for name, (source, args) in jobs.items():
            magick(str(work / source), *args, str(folder / f"{name}.pcx"))
            with Image.open(work / source) as im:
                im.convert("RGB").save(folder / f"{name}.source.ppm", "PPM")
            written.append(name)
    decode(folder, written)
    print("\n".join(written))


def decode(folder, names):
    for name in names:
        pcx = folder / f"{name}.pcx"
        for program, run in (("pillow", pillow_decode), ("magick", magick_decode)):
            ppm = folder / f"{name}.{program}.ppm"
            try:
                run(pcx, ppm)
            except Exception as error:  # the test reads the refusal
                (folder / f"{name}.{program}.err").write_text(str(error))


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "make":
        make(Path(sys.argv[2]))
    elif len(sys.argv) >= 4 and sys.argv[1] == "decode":
        decode(Path(sys.argv[2]), sys.argv[3:])
    else:
        sys.exit(__doc__)
