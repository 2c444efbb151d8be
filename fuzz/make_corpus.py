#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/ from the program's real
files (cropped where they are large) and a few hand-made edge cases. Run it
again after a file format changes; libFuzzer grows the corpus from there."""
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "fuzz", "corpus")


def read(*parts):
    with open(os.path.join(ROOT, *parts), "rb") as f:
        return f.read()


def put(target, name, data):
    folder = os.path.join(OUT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# --- bitmaps ---------------------------------------------------------------

SHEET = read("resources", "tumbla.bmp")


def dib(width, height, bits, table, pixels, header_size=40, colours_used=0):
    header = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, 0, len(pixels),
                         0, 0, colours_used, 0)
    header += b"\0" * (header_size - 40)
    return header + table + pixels


def bmp_file(packed, header_size=40, table_entries=None):
    if table_entries is None:
        table_entries = 0
    offset = 14 + header_size + 4 * table_entries
    return b"BM" + struct.pack("<IHHI", 14 + len(packed), 0, 0, offset) + packed


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def sheet_crop(left, top, width, height):
    """A region of the real sprite sheet with its real 256-entry table."""
    sheet_width, sheet_height = 350, 650
    sheet_stride = stride(sheet_width, 8)
    pixels_at = struct.unpack_from("<I", SHEET, 10)[0]
    table = SHEET[54:54 + 1024]
    rows = []
    for y in range(height - 1, -1, -1):  # bottom row first
        stored = sheet_height - 1 - (top + y)
        row = SHEET[pixels_at + stored * sheet_stride + left:][:width]
        rows.append(row + b"\0" * (stride(width, 8) - width))
    return dib(width, height, 8, table, b"".join(rows))


def small_bitmaps():
    """Hand-made pictures of every depth the loader takes, and bad ones."""
    out = {}
    grey2 = struct.pack("<4B", 0, 0, 0, 0) + struct.pack("<4B", 255, 255, 255, 0)
    out["1bit_3x2"] = dib(3, 2, 1, grey2, b"\xa0\0\0\0\x40\0\0\0")
    table16 = b"".join(struct.pack("<4B", 17 * i, 17 * i, 17 * i, 0) for i in range(16))
    out["4bit_5x3"] = dib(5, 3, 4, table16, bytes(range(12)))
    out["8bit_used2_top_down"] = dib(4, -2, 8, grey2, b"\0\1\0\1\1\0\1\0", colours_used=2)
    out["16bit_2x2"] = dib(2, 2, 16, b"", b"\x1f\x00\xe0\x03\x00\x7c\xff\x7f")
    out["24bit_2x2"] = dib(2, 2, 24, b"", b"\0\0\xff\0\xff\0\0\0" + b"\xff\0\0\xff\xff\xff\0\0")
    out["32bit_1x1"] = dib(1, 1, 32, b"", b"\x10\x20\x30\x40")
    out["header_108"] = dib(2, 1, 8, grey2, b"\0\1\0\0", header_size=108, colours_used=2)
    out["rle8_refused"] = dib(2, 1, 8, grey2, b"\0\1\0\0", colours_used=2)[:16] + \
        struct.pack("<I", 1) + dib(2, 1, 8, grey2, b"\0\1\0\0", colours_used=2)[20:]
    return out


def bitmap_seeds():
    """(name, packed DIB, whether a file form makes sense)."""
    seeds = [("sheet_tile_crop", sheet_crop(225, 65, 24, 20)),
             ("sheet_explosion_crop", sheet_crop(62, 8, 16, 12))]
    seeds += sorted(small_bitmaps().items())
    # The real header and table, pixels cut short: a truncated sprite sheet.
    seeds.append(("sheet_header_truncated", SHEET[14:14 + 40 + 1024 + 64]))
    return seeds


def bitmap_file_corpus():
    for name, packed in bitmap_seeds():
        bits = struct.unpack_from("<H", packed, 14)[0]
        used = struct.unpack_from("<I", packed, 32)[0]
        entries = (used or (1 << bits)) if bits <= 8 else 0
        header_size = struct.unpack_from("<I", packed, 0)[0]
        put("fuzz_bitmap_file", name + ".bmp", bmp_file(packed, header_size, entries))
    put("fuzz_bitmap_file", "sample.bmp", read("tests", "tools", "fixtures", "sample.bmp"))
    put("fuzz_bitmap_file", "sheet_file_header_only.bmp", SHEET[:14 + 40 + 1024])
    put("fuzz_bitmap_file", "not_a_bitmap.bmp", b"BZ" + SHEET[2:80])
    put("fuzz_bitmap_file", "zero_offset.bmp", SHEET[:10] + b"\0\0\0\0" + SHEET[14:200])


def bitmap_resource_corpus():
    # Two leading bytes ask for a size (0 keeps the picture's own).
    for name, packed in bitmap_seeds():
        put("fuzz_bitmap_resource", name, b"\0\0" + packed)
    _, tile = bitmap_seeds()[0]
    put("fuzz_bitmap_resource", "sheet_tile_crop_resized", b"\x07\x05" + tile)
    put("fuzz_bitmap_resource", "empty", b"\0\0")


def palette_corpus():
    # First byte: even reads a file, odd a resource.
    for name, packed in bitmap_seeds()[:4]:
        bits = struct.unpack_from("<H", packed, 14)[0]
        used = struct.unpack_from("<I", packed, 32)[0]
        entries = (used or (1 << bits)) if bits <= 8 else 0
        put("fuzz_palette_file", "file_" + name, b"\0" + bmp_file(packed, 40, entries))
        put("fuzz_palette_file", "resource_" + name, b"\1" + packed)
    put("fuzz_palette_file", "file_sheet_header", b"\0" + SHEET[:14 + 40 + 1024])
    put("fuzz_palette_file", "resource_sheet_header", b"\1" + SHEET[14:14 + 40 + 1024])
    put("fuzz_palette_file", "file_short", b"\0" + SHEET[:30])
    long_header = dib(1, 1, 8, b"\x01\x02\x03\0" * 4, b"\0\0\0\0", header_size=56, colours_used=4)
    put("fuzz_palette_file", "resource_header_56", b"\1" + long_header)
    put("fuzz_palette_file", "file_header_56", b"\0" + bmp_file(long_header, 56, 4))
    huge = bytearray(SHEET[14:14 + 40 + 64])
    struct.pack_into("<I", huge, 32, 100000)
    put("fuzz_palette_file", "resource_colours_used_huge", b"\1" + bytes(huge))


# --- waves -----------------------------------------------------------------

def wave(fmt, chunks, riff_extra=b""):
    body = b"WAVE" + fmt + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body + riff_extra


def fmt_chunk(channels, rate, bits, size=16, tag=1):
    align = channels * bits // 8
    data = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    data += b"\0" * (size - 16)
    return b"fmt " + struct.pack("<I", size) + data


def data_chunk(samples, declared=None, pad=True):
    size = len(samples) if declared is None else declared
    chunk = b"data" + struct.pack("<I", size) + samples
    if pad and len(samples) % 2:
        chunk += b"\0"
    return chunk


def wave_corpus():
    explode = read("resources", "explode.wav")
    applause = read("resources", "applause.wav")
    put("fuzz_wave", "sample.wav", read("tests", "tools", "fixtures", "sample.wav"))
    # The real sounds' headers with the first few samples.
    put("fuzz_wave", "explode_crop.wav", wave(explode[12:36], [data_chunk(explode[44:44 + 64])]))
    put("fuzz_wave", "applause_crop.wav",
        wave(applause[12:36], [data_chunk(applause[44:44 + 63])]))
    put("fuzz_wave", "explode_header_truncated.wav", explode[:60])
    put("fuzz_wave", "16bit_stereo.wav", wave(fmt_chunk(2, 44100, 16), [data_chunk(b"\0\1" * 8)]))
    put("fuzz_wave", "list_chunk_first.wav",
        wave(fmt_chunk(1, 8000, 8), [b"LIST" + struct.pack("<I", 5) + b"abcde\0",
                                     data_chunk(b"\x80\x90\x70")]))
    put("fuzz_wave", "odd_data_no_pad.wav",
        wave(fmt_chunk(1, 11025, 8), [data_chunk(b"\x80\x81\x82", pad=False)]))
    put("fuzz_wave", "fmt_18_bytes.wav", wave(fmt_chunk(1, 22050, 8, size=18),
                                              [data_chunk(b"\x80" * 4)]))
    put("fuzz_wave", "data_size_too_big.wav",
        wave(fmt_chunk(1, 22050, 8), [data_chunk(b"\x80" * 4, declared=0xFFFFFFF0)]))
    put("fuzz_wave", "trailing_bytes.wav",
        wave(fmt_chunk(1, 22050, 8), [data_chunk(b"\x80" * 2)], riff_extra=b"junk"))


# --- score file --------------------------------------------------------------

def record(name, score):
    text = name.ljust(10)[:10].encode() + str(score).rjust(9).encode()
    return text + b"\0\0"


BLANK = b" " * 20 + b"\0"


def score_corpus():
    put("fuzz_score_file", "fresh_399_spaces", b" " * 399)
    put("fuzz_score_file", "one_entry", record("ANNA", 1234) + BLANK * 9)
    put("fuzz_score_file", "full_table",
        b"".join(record("P%d" % i, 900 - 90 * i) for i in range(10)))
    put("fuzz_score_file", "short_100_bytes", (record("BEN", 77) + BLANK * 4)[:99] + b" ")
    put("fuzz_score_file", "cut_after_digit", record("CY", 5)[:19])
    put("fuzz_score_file", "crlf_and_lone_cr", b"NAME\r\n    \r   42\r\n" * 12)
    put("fuzz_score_file", "ctrl_z_middle", record("DORA", 300) + b"\x1a" + BLANK * 9)
    put("fuzz_score_file", "ctrl_z_trailing", record("EVE", 12) + BLANK * 9 + b"\x1a")
    put("fuzz_score_file", "zero_bytes_in_rows", b"AB\0CD\0\0EF" + b"\0" * 12 + BLANK * 9)
    put("fuzz_score_file", "letters_and_signs", b"X" * 10 + b"  -12abc\0\0\0" + BLANK * 9)
    put("fuzz_score_file", "empty", b"")
    put("fuzz_score_file", "cr_at_end", BLANK * 9 + b" " * 20 + b"\r")


# --- text mode ------------------------------------------------------------------

def crt(flags, content, ops):
    return bytes([flags]) + struct.pack("<H", len(content)) + content + ops


def read_op(count):
    return bytes([0, count])


def seek_op(origin, offset):
    return bytes([2 | origin << 2]) + struct.pack("<h", offset)


def write_op(data):
    return bytes([3, len(data)]) + data


def crt_corpus():
    lines = b"one\r\ntwo\rthree\nfour\r\n"
    put("fuzz_crt_text", "crlf_one_byte_reads", crt(0, lines, read_op(1) * 24))
    put("fuzz_crt_text", "cr_at_read_end", crt(0, lines, read_op(4) + read_op(1) * 4 + read_op(9)))
    put("fuzz_crt_text", "ctrl_z_then_seek",
        crt(0, b"ab\x1acd\r\n", read_op(8) + read_op(8) + seek_op(1, 0) + read_op(8) +
            seek_op(0, 3) + read_op(8)))
    put("fuzz_crt_text", "trailing_ctrl_z_cut", crt(0, b"line\r\n\x1a", read_op(16)))
    put("fuzz_crt_text", "trailing_ctrl_z_read_only", crt(2, b"line\r\n\x1a", read_op(16)))
    put("fuzz_crt_text", "binary", crt(1, lines + b"\x1a", read_op(7) + read_op(30)))
    put("fuzz_crt_text", "write_lf_then_read",
        crt(0, b"abc", seek_op(2, 0) + write_op(b"x\ny\r\n") + seek_op(0, 0) + read_op(20)))
    put("fuzz_crt_text", "seek_past_end_write",
        crt(0, b"abc", seek_op(2, 5) + write_op(b"\n") + seek_op(0, 0) + read_op(20)))
    put("fuzz_crt_text", "score_file_pass",
        crt(0, b" " * 399, read_op(1) * 40 + seek_op(0, 0) + read_op(1) * 40))


# --- profile ------------------------------------------------------------------------

def profile(text, section, key, value):
    return text + b"\0" + section + b"\0" + key + b"\0" + value


def profile_corpus():
    put("fuzz_profile", "game_file", profile(b"[Options]\r\nSounds=TRUE\r\n", b"Options",
                                             b"Sounds", b"FALSE"))
    put("fuzz_profile", "empty_file", profile(b"", b"Options", b"Sounds", b"TRUE"))
    put("fuzz_profile", "other_sections",
        profile(b"; settings\n[Window]\nx = 3\n\n[options]\n  SOUNDS =  \"TRUE\"  \n[Last]\ny=1",
                b"Options", b"Sounds", b" \"FALSE\" "))
    put("fuzz_profile", "missing_key_unended",
        profile(b"[Options]\r\nOther=1", b"Options", b"Sounds", b"TRUE"))
    put("fuzz_profile", "duplicate_sections",
        profile(b"[A]\nk=1\n[A]\nk=2\n", b"A", b"k", b"3"))
    put("fuzz_profile", "invalid_key", profile(b"[A]\nk=1\n", b"A", b"[k", b"3"))
    put("fuzz_profile", "bracket_without_close",
        profile(b"[Open\nk=1\n", b"Open", b"k", b"2"))


# --- resource scripts -------------------------------------------------------------------

def rc_corpus():
    put("fuzz_rc", "tumbla.rc", read("resources", "tumbla.rc"))
    put("fuzz_rc", "conditionals.rc", b"""#include "resource.h"
#define BASE 300
#if defined(IDR_MENU) && IDR_MENU == 101 || 0
#define NAME BASE + 1
#elif 1
#error not here
#else
#endif
NAME MENU { POPUP "&A" { MENUITEM "B", 1, CHECKED, GRAYED
MENUITEM SEPARATOR } }
/* a comment
   over lines */ 7 RCDATA "x.bin"
""")
    put("fuzz_rc", "dialogex.rc", b"""1 DIALOGEX 0, 0, 100, 50, 7
STYLE WS_POPUP | NOT WS_BORDER
EXSTYLE WS_EX_TOPMOST
CAPTION "T\\x41\\101"
MENU 5
CLASS "cls"
FONT 8, "F", 400, 1, 0
BEGIN
    CONTROL "c", 10, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 1, 2, 3, 4, 0, 9
    ICON 5, -1, 1, 1
    CTEXT "x", -1, -1, -2, 3, 4, SS_NOPREFIX
END
IDB_X BITMAP DISCARDABLE "a.bmp"
IDI_X ICON "a.ico"
""")
    put("fuzz_rc", "broken_string.rc", b'1 MENU BEGIN MENUITEM "open, 1 END\n')


def main():
    bitmap_file_corpus()
    bitmap_resource_corpus()
    palette_corpus()
    wave_corpus()
    score_corpus()
    crt_corpus()
    profile_corpus()
    rc_corpus()
    return 0


if __name__ == "__main__":
    sys.exit(main())
