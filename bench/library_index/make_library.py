#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A seeded song library for the library index benchmark.

    make_library.py OUT [--songs N] [--seed S]

OUT gets N song folders (default 3,000), each with 6 charts (.bms/.bme/.bml,
12 to 60 KB of chart lines, as real charts run) and 10 sound files (.ogg/.wav,
8 KB each, never read by a scan but walked past), so 18,000 charts and 30,000
sounds at the default. The same arguments give the same files.
"""
import argparse
import os
import random

KINDS = ["bms", "bms", "bme", "bme", "bml", "bms"]


def note_lines(rng):
    lines = []
    for _ in range(500):
        channel = rng.choice(["11", "12", "13", "14", "15", "16", "01"])
        notes = "".join(rng.choice(["00", "0A", "1B", "2C", "3D"]) for _ in range(16))
        lines.append(channel + ":" + notes)
    return lines


def chart(rng, pool, n):
    head = "#PLAYER 1\r\n#GENRE BENCH\r\n#TITLE song %d\r\n#ARTIST bench\r\n#BPM 150\r\n" % n
    count = rng.randint(12, 60) * 1024 // 42
    body = "".join("#%03d%s\r\n" % (bar % 1000, rng.choice(pool)) for bar in range(count))
    return (head + body).encode("ascii")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--songs", type=int, default=3000)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    pool = note_lines(rng)
    sound = bytes(rng.getrandbits(8) for _ in range(8192))
    for s in range(args.songs):
        folder = os.path.join(args.out, "%02d" % (s % 40), "song%05d" % s)
        os.makedirs(folder, exist_ok=True)
        for c in range(6):
            with open(os.path.join(folder, "chart%d.%s" % (c, KINDS[c])), "wb") as f:
                f.write(chart(rng, pool, s * 6 + c))
        for k in range(10):
            with open(os.path.join(folder, "sound%d.%s" % (k, "ogg" if k % 2 else "wav")), "wb") as f:
                f.write(sound)


if __name__ == "__main__":
    main()
