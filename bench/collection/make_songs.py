#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A seeded collection of song archives for the whole-program benchmarks.

    make_songs.py OUT [--archives N] [--mixed K] [--seed S]

OUT/zip/ gets N song ZIPs shaped like a downloaded BMS collection: each holds
one song folder (a Shift-JIS name) with 2 to 4 Shift-JIS charts, a few
images, sometimes a preview, and 100 to 190 key sounds of a few dozen KB;
sounds and images are incompressible, so the archives are as big as what
they unpack to. Half the archives deflate everything (as Explorer and 7-Zip
do), half store what does not shrink (as Info-ZIP does). At N = 200 the
collection has about 30,000 entries, 540 charts and 1.8 GB.

OUT/mixed/<format>/ gets the first K songs once per format (zip lzh tar
tgz bz2 cab arj rar txz tzst, and lzh5 and 7z whose sounds compress, so that
the decoders are measured rather than stored entries), for holding each archiver
library against its reference tool. ZIP, TAR, TGZ, BZ2 and RAR (stored, as
Debian has no RAR packer) and tar.xz are written here; LZH, CAB, ARJ, 7z and
tar.zst by jlha, gcab, arj, 7zz and tar | zstd from a folder on disk whose file times are fixed. The same
arguments give the same archive bytes.

OUT/stats holds "archives bytes entries charts" of the ZIP set.
"""
import argparse
import bz2
import lzma
import gzip
import io
import os
import random
import shutil
import struct
import subprocess
import tarfile
import tempfile
import zlib

STAMP = (2024, 3, 9, 21, 30, 0)
STAMP_EPOCH = 1710019800  # the same moment as a Unix time, for the tools
DOS_TIME = (STAMP[3] << 11) | (STAMP[4] << 5) | (STAMP[5] // 2)
DOS_DATE = ((STAMP[0] - 1980) << 9) | (STAMP[1] << 5) | STAMP[2]

WORDS = ["夜明け", "桜", "星屑", "電脳", "幻想", "蒼穹", "残響", "迷宮", "彼方", "雷鳴",
         "Ｓｔａｒｄｕｓｔ", "ソナタ", "ワルツ", "ノクターン", "メトロ", "エレクトロ", "輪廻", "白夜"]
ARTISTS = ["ｘｘ／ｙｙ", "山田太郎", "ＤＪ　Ｋ", "鈴木花子 vs 佐藤", "Ｔ－Ｐｒｏｊｅｃｔ", "田中", "obj. 匿名"]
GENRES = ["ハードコア", "トランス", "ピアノ", "ドラムンベース", "ＪＰＯＰ", "テクノ"]
DIFFICULTIES = [("_n", 5), ("_h", 8), ("_a", 11), ("_x", 12)]
SOUND_NAMES = ["kick", "snare", "hat", "piano", "bass", "synth", "pad", "vox"]
SOUND_NAMES_JA = ["ドラム", "ピアノ", "ベース", "ボーカル", "シンセ"]


def b36(n):
    digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    return digits[n // 36 % 36] + digits[n % 36]


def sjis(text):
    return text.encode("cp932")


def chart_text(rng, title, artist, genre, level, sounds, images):
    """A chart's bytes: the header, one #WAV per key sound, #BMP per image,
    then note lines until it is as long as real charts are (tens of KB)."""
    lines = [b"", b"*---------------------- HEADER FIELD", b"#PLAYER 1",
             b"#GENRE " + sjis(genre), b"#TITLE " + sjis(title), b"#ARTIST " + sjis(artist),
             b"#BPM %d" % rng.choice([128, 150, 155, 170, 174, 180, 200]),
             b"#PLAYLEVEL %d" % level, b"#RANK 2", b"#TOTAL %d" % rng.randint(200, 500),
             b"#STAGEFILE " + images[0], b""]
    for i, name in enumerate(sounds):
        lines.append(b"#WAV" + b36(i + 1).encode() + b" " + name)
    for i, name in enumerate(images[1:]):
        lines.append(b"#BMP" + b36(i + 1).encode() + b" " + name)
    lines += [b"", b"*---------------------- MAIN DATA FIELD", b""]
    size = sum(len(x) + 2 for x in lines)
    target = rng.randint(30_000, 120_000)
    measure = 0
    while size < target:
        for channel in (11, 12, 13, 14, 15, 18, 19, 1):
            notes = b"".join(b36(rng.randrange(1, len(sounds) + 1)).encode() if rng.random() < 0.4 else b"00"
                             for _ in range(rng.choice([4, 8, 16])))
            line = b"#%03d%02d:" % (measure % 1000, channel) + notes
            lines.append(line)
            size += len(line) + 2
        measure += 1
    return b"\r\n".join(lines) + b"\r\n"


def noise(rng, lo, hi, magic=b""):
    return magic + rng.randbytes(rng.randint(lo, hi) - len(magic))


def make_song(seed, index):
    """One song: (folder name as Shift-JIS bytes, [(name bytes, data, is chart)])."""
    rng = random.Random(seed * 1_000_003 + index)
    title = "".join(rng.sample(WORDS, 2)) + " %d" % index
    artist, genre = rng.choice(ARTISTS), rng.choice(GENRES)
    folder = sjis("[%s] %s" % (artist, title))
    ja = rng.random() < 0.3
    sounds = []
    for i in range(rng.randint(100, 190)):
        stem = rng.choice(SOUND_NAMES_JA) if ja else rng.choice(SOUND_NAMES)
        ext = ".wav" if rng.random() < 0.2 else ".ogg"
        sounds.append((sjis("%s_%03d%s" % (stem, i, ext)),
                       int(min(2_000_000, max(1_000, rng.lognormvariate(10.62, 0.8))))))
    images = [b"stagefile.png", b"banner.jpg"] + [b"bga%02d.png" % i for i in range(rng.randint(0, 3))]
    files = []
    for name, size in sounds:
        files.append((name, noise(rng, size, size, b"OggS"), False))
    for name in images:
        files.append((name, noise(rng, 20_000, 400_000), False))
    if rng.random() < 0.5:
        files.append((b"preview.ogg", noise(rng, 200_000, 600_000, b"OggS"), False))
    count = rng.choices([2, 3, 4], weights=[4, 5, 1])[0]
    upper = rng.random() < 0.1
    sound_names = [n for n, _ in sounds]
    for suffix, level in rng.sample(DIFFICULTIES, count):
        text = chart_text(rng, title + " [%s]" % suffix[1:].upper(), artist, genre, level, sound_names, images)
        name = sjis(title) + suffix.encode() + (b".BMS" if upper else b".bms")
        files.append((name, text, True))
    rng.shuffle(files)
    return folder, files


# ZIP, written by hand: names stay Shift-JIS without the UTF-8 flag, as
# Japanese Windows archivers write them, and incompressible data is
# "deflated" into the stored blocks zlib itself would emit, without the cost
# of zlib trying.
def deflate_stored(data):
    out = bytearray()
    step = 16_384
    for at in range(0, max(len(data), 1), step):
        block = data[at:at + step]
        last = at + step >= len(data)
        out += struct.pack("<BHH", 1 if last else 0, len(block), len(block) ^ 0xFFFF) + block
    return bytes(out)


def deflate(data):
    c = zlib.compressobj(6, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def write_zip(path, folder, files, deflate_all):
    out, central = bytearray(), bytearray()
    entries = [(folder + b"/", b"", False)] if deflate_all else []
    entries += [(folder + b"/" + name, data, chart) for name, data, chart in files]
    for name, data, chart in entries:
        directory = name.endswith(b"/")
        if chart:
            method, packed = 8, deflate(data)
        elif deflate_all and not directory:
            method, packed = 8, deflate_stored(data)
        else:
            method, packed = 0, data
        crc = zlib.crc32(data)
        fields = struct.pack("<HHHHHIIIHH", 20, 0, method, DOS_TIME, DOS_DATE, crc, len(packed), len(data),
                             len(name), 0)
        central += struct.pack("<IH", 0x02014B50, 20) + fields + struct.pack(
            "<HHHII", 0, 0, 0, 0x10 if directory else 0x20, len(out)) + name
        out += struct.pack("<I", 0x04034B50) + fields + name + packed
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), len(out), 0)
    write_bytes(path, out + central + end)
    return len(entries)


def tar_bytes(folder, files):
    buf = io.BytesIO()
    with tarfile.open(fileobj=buf, mode="w", format=tarfile.GNU_FORMAT, encoding="cp932") as tar:
        for name, data, _ in files:
            info = tarfile.TarInfo((folder + b"/" + name).decode("cp932"))
            info.size, info.mtime, info.mode = len(data), STAMP_EPOCH, 0o644
            tar.addfile(info, io.BytesIO(data))
    return buf.getvalue()


def crc16_of_crc32(data):
    return zlib.crc32(data) & 0xFFFF


def rar4_header(kind, flags, rest):
    body = struct.pack("<BHH", kind, flags, len(rest) + 7) + rest
    return struct.pack("<H", crc16_of_crc32(body)) + body


def write_rar(path, folder, files):
    out = bytearray(b"Rar!\x1a\x07\x00")
    out += rar4_header(0x73, 0, bytes(6))
    for name, data, _ in files:
        full = folder + b"\\" + name
        rest = struct.pack("<IIBIIBBHI", len(data), len(data), 2, zlib.crc32(data), (DOS_DATE << 16) | DOS_TIME,
                           29, 0x30, len(full), 0x20) + full
        out += rar4_header(0x74, 0x8000, rest) + data
    out += rar4_header(0x7B, 0x4000, b"")
    write_bytes(path, out)


def with_tool(path, index, files, pack):
    """Writes the song to a folder "songN" on disk and runs pack(src, path)."""
    src = tempfile.mkdtemp(prefix="bmslist-songs-", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    try:
        song = os.path.join(src, "song%03d" % index)
        os.mkdir(song)
        names = []
        for i, (name, data, chart) in enumerate(files):
            # ASCII names on disk: the tools differ in what they make of others.
            plain = "chart%d.bms" % i if chart else "file%03d%s" % (i, os.path.splitext(name.decode("cp932"))[1])
            with open(os.path.join(song, plain), "wb") as f:
                f.write(data)
            os.utime(os.path.join(song, plain), (STAMP_EPOCH, STAMP_EPOCH))
            names.append(os.path.join("song%03d" % index, plain))
        os.utime(song, (STAMP_EPOCH, STAMP_EPOCH))
        pack(src, sorted(names), os.path.abspath(path))
    finally:
        shutil.rmtree(src)


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def run(cmd, cwd):
    subprocess.run(cmd, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=dict(os.environ, TZ="UTC"))


# Sounds squeezed to 16 byte values: LZH's coders then compress them by
# about half (as they do PCM), so the decoder is measured, not a copy.
SQUEEZE = bytes(range(16)) * 16


def squeezed(files):
    return [(n, d if chart else d.translate(SQUEEZE), chart) for n, d, chart in files]


def lzh(src, names, out):
    run(["jlha", "a", out] + names, src)


def tar_zstd(src, names, out):
    # Python has no zstd: the tar of the folder through zstd.
    run(["sh", "-c", "tar --mtime=@0 --owner=0 --group=0 -cf - \"$@\" | zstd -q -19 -o \"$0\"", out] + names, src)


def sevenzip(src, names, out):
    # Sounds squeezed as for lzh5, so that LZMA2 decodes rather than copies.
    run(["7zz", "a", "-bso0", "-bsp0", "-mtm=on", "-mtc=off", "-mta=off", out] + names, src)


def cab(src, names, out):
    run(["gcab", "-c", "-z", out] + names, src)


def arj(src, names, out):
    run(["arj", "a", "-y", "-m1", out] + names, src)
    # arj stamps the main header with the time it ran, each entry with the
    # file's change time (which utime cannot set), and fills a reserved byte
    # of every header with a varying value: the fixed stamp and 0 instead, and each header's CRC-32 again, so that runs give equal bytes.
    with open(out, "rb") as f:
        data = bytearray(f.read())
    at, first = 0, True
    while True:
        size = struct.unpack_from("<H", data, at + 2)[0]
        if size == 0:
            break
        head = at + 4
        data[head + 7] = 0
        if first:
            data[head + 8:head + 16] = struct.pack("<I", (DOS_DATE << 16) | DOS_TIME) * 2
        elif data[head] >= 42:
            data[head + 38:head + 42] = struct.pack("<I", STAMP_EPOCH)
        struct.pack_into("<I", data, head + size, zlib.crc32(data[head:head + size]))
        at = head + size + 4
        while struct.unpack_from("<H", data, at)[0]:  # extended headers
            at += 2 + struct.unpack_from("<H", data, at)[0] + 4
        at += 2
        if not first:
            at += struct.unpack_from("<I", data, head + 12)[0]  # the entry's packed data
        first = False
    write_bytes(out, data)


# Folder of the mixed set: (file name extension, writer).
MIXED = {
    "zip": ("zip", lambda p, i, folder, files: write_zip(p, folder, files, deflate_all=i % 2 == 0)),
    "lzh": ("lzh", lambda p, i, folder, files: with_tool(p, i, files, lzh)),
    "lzh5": ("lzh", lambda p, i, folder, files: with_tool(p, i, squeezed(files), lzh)),
    "tar": ("tar", lambda p, i, folder, files: write_bytes(p, tar_bytes(folder, files))),
    "tgz": ("tgz", lambda p, i, folder, files: write_bytes(p, gzip.compress(tar_bytes(folder, files), 6, mtime=0))),
    "bz2": ("tar.bz2", lambda p, i, folder, files: write_bytes(p, bz2.compress(tar_bytes(folder, files), 9))),
    "cab": ("cab", lambda p, i, folder, files: with_tool(p, i, files, cab)),
    "arj": ("arj", lambda p, i, folder, files: with_tool(p, i, files, arj)),
    "rar": ("rar", lambda p, i, folder, files: write_rar(p, folder, files)),
    "7z": ("7z", lambda p, i, folder, files: with_tool(p, i, squeezed(files), sevenzip)),
    "txz": ("tar.xz", lambda p, i, folder, files: write_bytes(p, lzma.compress(tar_bytes(folder, files)))),
    "tzst": ("tar.zst", lambda p, i, folder, files: with_tool(p, i, files, tar_zstd)),
}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("out")
    ap.add_argument("--archives", type=int, default=60)
    ap.add_argument("--mixed", type=int, default=8, help="songs per format of the mixed set")
    ap.add_argument("--seed", type=int, default=16)
    a = ap.parse_args()
    os.makedirs(os.path.join(a.out, "zip"), exist_ok=True)
    total = entries = charts = 0
    for i in range(1, a.archives + 1):
        folder, files = make_song(a.seed, i)
        path = os.path.join(a.out, "zip", "song%03d.zip" % i)
        entries += write_zip(path, folder, files, deflate_all=i % 2 == 0)
        charts += sum(1 for f in files if f[2])
        total += os.path.getsize(path)
    for i in range(1, a.mixed + 1):
        folder, files = make_song(a.seed, i)
        for kind, (ext, write) in MIXED.items():
            d = os.path.join(a.out, "mixed", kind)
            os.makedirs(d, exist_ok=True)
            write(os.path.join(d, "song%03d.%s" % (i, ext)), i, folder, files)
    with open(os.path.join(a.out, "stats"), "w") as f:
        f.write("%d %d %d %d\n" % (a.archives, total, entries, charts))


if __name__ == "__main__":
    main()
