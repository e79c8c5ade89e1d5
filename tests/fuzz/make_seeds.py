"""Seeds for the fuzz targets that read outside bytes, made from real inputs.

    make_seeds.py BUILD_DIR OUT_DIR

writes OUT_DIR/fuzz_png_reader (the smallest pictures the art generator drew),
OUT_DIR/fuzz_resource_pack (small packs built from entries of the real pack) and
OUT_DIR/fuzz_sim_input (the simulator's command lines and scripts as the end-to-end
tests use them). A source that the build has not made is left out.
"""

import os
import struct
import sys

# Scripts as the end-to-end tests run them (tests/e2e/shell_basics.py, round.py).
SCRIPTS = [
    "# a short walk through the start of the program\nwait 300\nshot early\ndump early\n"
    "tap 203 309\nwait 400\npress right\nwait 30\nrelease right\npress hw3\nwait 20\n"
    "release hw3\nshot later\ndump later\nquit\n",
    "wait 300\ntap 203 309\nwait 300\ntap 120 160\nwait 1500\ntap 30 60\nwait 1000\n"
    "dump start\ntap-duck\nwait 300\ntap 20 150\nwait 60\ntap 220 80\nwait 60\n"
    "press left\nwait 600\nrelease left\ndown 10 10\ndrag 12 14\nup 12 14\n"
    "wait 180000\ndump over\nquit\n",
]
COMMAND_LINES = [
    ["--store", "/tmp/store-x", "--out", "/tmp/out", "script.sim"],
    ["--store", "/tmp/store-x", "--out", "/tmp/out", "--clock-start", "4294967295",
     "--audio", "/tmp/a.wav", "script.sim"],
    ["script.sim"],
]


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def pack_entries(data):
    """(type, id, bytes) of every entry of a pack, as the game's reader takes them."""
    if len(data) < 12 or data[:4] != b"TRPK":
        return []
    count = struct.unpack_from("<I", data, 8)[0]
    out = []
    for i in range(count):
        kind, ident, offset, size = struct.unpack_from("<8sIII", data, 12 + 20 * i)
        out.append((kind, ident, data[offset:offset + size]))
    return out


def build_pack(entries):
    head = b"TRPK" + struct.pack("<II", 1, len(entries))
    offset = 12 + 20 * len(entries)
    table, body = b"", b""
    for kind, ident, blob in entries:
        table += kind + struct.pack("<III", ident, offset, len(blob))
        padded = blob + b"\0" * (-len(blob) % 4)
        body += padded
        offset += len(padded)
    return head + table + body


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    build, out = sys.argv[1], sys.argv[2]

    art = os.path.join(build, "art", "png")
    if os.path.isdir(art):
        pictures = sorted((os.path.getsize(os.path.join(art, n)), n)
                          for n in os.listdir(art) if n.endswith(".png"))
        for _, name in pictures[:12]:
            with open(os.path.join(art, name), "rb") as f:
                write(os.path.join(out, "fuzz_png_reader"), name, f.read())

    pack = os.path.join(build, "pack", "pack.bin")
    if os.path.isfile(pack):
        with open(pack, "rb") as f:
            entries = pack_entries(f.read())
        small = sorted(entries, key=lambda e: len(e[2]))
        folder = os.path.join(out, "fuzz_resource_pack")
        for kind in (b"PCT", b"WAVE"):
            chosen = [e for e in small if e[0].rstrip(b"\0") == kind][:3]
            if chosen:
                write(folder, kind.decode().lower() + ".pack", build_pack(chosen))
        if small:
            write(folder, "mixed.pack", build_pack(small[:5]))
        write(folder, "empty.pack", build_pack([]))

    folder = os.path.join(out, "fuzz_sim_input")
    for i, line in enumerate(COMMAND_LINES):
        for j, script in enumerate(SCRIPTS):
            args = b"\0".join(a.encode() for a in line)
            write(folder, "run%d-%d" % (i, j), args + b"\0\0" + script.encode())
    return 0


if __name__ == "__main__":
    sys.exit(main())
