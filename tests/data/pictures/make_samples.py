#!/usr/bin/python3
"""Writes the sample pictures of the picture tests into this folder.

Run it again only to change a sample; the tests read the committed files.
Needs Pillow (python3-pil) and ImageMagick. The metafiles are written record by record.
"""
import os
import struct
import subprocess

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))


def path(name):
    return os.path.join(HERE, name)


def gradient(width, height):
    image = Image.new("RGB", (width, height))
    pixels = image.load()
    for y in range(height):
        for x in range(width):
            pixels[x, y] = (x * 255 // max(width - 1, 1), y * 255 // max(height - 1, 1),
                            (x * y) % 256)
    return image


def write_raster_samples():
    gradient(40, 30).save(path("bitmap.bmp"))
    # Same bytes under a GIF name: the GIF reader must refuse it by its signature.
    with open(path("bitmap.bmp"), "rb") as source, open(path("bitmap-renamed.gif"), "wb") as target:
        target.write(source.read())

    # ImageMagick writes the classic layout (bitmap and mask), as Windows icons of this
    # size are; Pillow would embed a PNG.
    subprocess.run(["convert", "-size", "32x32", "xc:none", "-fill", "red",
                    "-draw", "circle 16,16 16,3", path("icon.ico")], check=True)

    colour = gradient(64, 48)
    colour.save(path("colour.jpg"), quality=92)
    colour.save(path("progressive.jpg"), quality=92, progressive=True)
    gradient(64, 48).convert("L").save(path("grey.jpg"), quality=92)

    # A readable header over damaged data: the frame header's first component asks for
    # quantisation table 3, which the file never defines. Decoding fails, reading the header
    # does not.
    data = bytearray(open(path("colour.jpg"), "rb").read())
    sof = data.index(b"\xff\xc0")
    first_component_table = sof + 2 + 2 + 1 + 2 + 2 + 1 + 2
    data[first_component_table] = 3
    open(path("damaged.jpg"), "wb").write(bytes(data))

    still = Image.new("P", (24, 16), 0)
    still.putpalette([255, 255, 255, 0, 0, 255, 255, 0, 0] + [0] * (253 * 3))
    ImageDraw.Draw(still).rectangle((4, 4, 19, 11), fill=1)
    still.save(path("still.gif"), transparency=0)

    frames = []
    for colour_index in (1, 2, 1):
        frame = Image.new("P", (20, 10), 0)
        frame.putpalette([255, 255, 255, 0, 0, 255, 255, 0, 0] + [0] * (253 * 3))
        ImageDraw.Draw(frame).rectangle((2, 2, 17, 7), fill=colour_index)
        frames.append(frame)
    frames[0].save(path("animated.gif"), save_all=True, append_images=frames[1:],
                   duration=40, loop=0, disposal=1)


def wmf_record(function, *words):
    return struct.pack("<IH", 3 + len(words), function) + struct.pack("<%dh" % len(words), *words)


def write_wmf():
    META_SETWINDOWORG, META_SETWINDOWEXT = 0x020B, 0x020C
    META_CREATEBRUSHINDIRECT, META_SELECTOBJECT = 0x02FC, 0x012D
    META_RECTANGLE, META_ELLIPSE, META_EOF = 0x041B, 0x0418, 0x0000
    width, height, inch = 2880, 1440, 1440  # 2 by 1 inches: 192 by 96 screen pixels
    records = b"".join([
        wmf_record(META_SETWINDOWORG, 0, 0),
        wmf_record(META_SETWINDOWEXT, height, width),
        struct.pack("<IHHIH", 7, META_CREATEBRUSHINDIRECT, 0, 0x0000FF, 0),
        wmf_record(META_SELECTOBJECT, 0),
        wmf_record(META_RECTANGLE, height - 100, width - 100, 100, 100),
        wmf_record(META_ELLIPSE, height - 300, width - 300, 300, 300),
        wmf_record(META_EOF),
    ])
    total_words = (18 + len(records)) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, total_words, 1, 7, 0)
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, width, height, inch, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", placeable):
        checksum ^= word
    with open(path("drawing.wmf"), "wb") as out:
        out.write(placeable + struct.pack("<H", checksum) + header + records)


def write_emf():
    EMR_HEADER, EMR_EOF = 1, 14
    EMR_SELECTOBJECT, EMR_CREATEBRUSHINDIRECT = 37, 39
    EMR_ELLIPSE, EMR_RECTANGLE = 42, 43
    body = b"".join([
        struct.pack("<IIIIII", EMR_CREATEBRUSHINDIRECT, 24, 1, 0, 0x00FF00, 0),
        struct.pack("<III", EMR_SELECTOBJECT, 12, 1),
        struct.pack("<II4i", EMR_RECTANGLE, 24, 10, 10, 181, 85),
        struct.pack("<II4i", EMR_ELLIPSE, 24, 30, 20, 161, 75),
        struct.pack("<IIIII", EMR_EOF, 20, 0, 16, 20),
    ])
    records = 1 + 5
    total = 88 + len(body)
    # Bounds in device pixels, frame in hundredths of a millimetre: 192 by 96 pixels at 96 dpi.
    header = struct.pack("<II4i4iIIIIHHIII2i2i", EMR_HEADER, 88, 0, 0, 191, 95,
                         0, 0, 5080, 2540, 0x464D4520, 0x10000, total, records, 2, 0, 0, 0, 0,
                         1024, 768, 271, 203)
    with open(path("drawing.emf"), "wb") as out:
        out.write(header + body)


if __name__ == "__main__":
    write_raster_samples()
    write_wmf()
    write_emf()
