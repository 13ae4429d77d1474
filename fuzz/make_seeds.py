#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets from real inputs: the frame trace of a
configuration read from the virtual controller, a configuration file written by read-config,
the sample firmware files, and typical texts. Run from the repository after a build:
    build/src/korvex-cli --demo --trace read-config /tmp/seed.KSWA 2>/tmp/trace.txt
    build/src/korvex-cli --lang ru text /tmp/seed.KSWA /tmp/seed.txt --all
    python3 fuzz/make_seeds.py /tmp/trace.txt /tmp/seed.KSWA /tmp/seed.txt
"""
import os
import re
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def check(data):
    crc = 0
    for b in data:
        x = crc ^ b
        crc = (x << 1) & 0xFF
        if x & 0x80:
            crc ^= 0x21
    return crc


def frame(cmd, offset, payload=b""):
    body = bytes([cmd]) + struct.pack("<H", offset) + bytes([len(payload)]) + payload
    return b"\x55" + body + bytes([check(body)])


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main(trace_path, config_path):
    identity = struct.pack("<IIII", 136, 230417, 105, 1) + b"KORVEX-SWC-ADP".ljust(32, b"\0")
    identity += struct.pack("<H", 0xC000)
    replies = []
    for line in open(trace_path, encoding="utf-8"):
        m = re.search(r"< CMD:([0-9A-F]{2}) OFFSET:(\d+) LEN:(\d+)(?: \[([0-9A-F]*)\])?", line)
        if m:
            replies.append(frame(int(m.group(1), 16), int(m.group(2)), bytes.fromhex(m.group(4) or "")))
    pieces = bytes([63, 7, 200, 1])  # read sizes, then the order of the steps
    ident = frame(0x81, 0, identity)
    write("fuzz_replies", "identity-then-config", pieces + b"\0" + ident * 2 + b"".join(replies[:3]))
    write("fuzz_replies", "whole-config", pieces + b"\2" + ident + b"".join(replies))
    write("fuzz_replies", "notices-and-text",
          pieces + b"\3" + ident + frame(0x97, 0, b"\1\1\x0c") + frame(0x98, 0, b"\1\1\x0d")
          + frame(0x85, 0, b"X LIN 3 EV:11 pressed\r\n") + frame(0x85, 0) + frame(0xFD, 0)
          + b"\x13\x55\x55" + frame(0xFE, 0))
    write("fuzz_configfile", "read-config.KSWA", open(config_path, "rb").read())
    write("fuzz_configfile", "cr-only-bom.KSWA",
          b"\xef\xbb\xbf[PARAM]\rPINS=0102\r[EVENTS]\rEVENT1=" + b"A" * 66 + b"\r")
    write("fuzz_configfile", "utf16.KSWA", "[PARAM]\r\nPINS=01\r\n".encode("utf-16"))
    samples = os.path.join(os.path.dirname(ROOT), "..", "samples")
    for name in ("controller-1.37.LDR", "lamp-1.20.LDR"):
        write("fuzz_firmwarefile", name, b"\0" + open(os.path.join(samples, name), "rb").read())
    # A whole text and a snippet (fuzz_configtext: one language byte, then the text).
    if len(sys.argv) > 3:
        write("fuzz_configtext", "whole-ru.txt", b"\0" + open(sys.argv[3], "rb").read())
    write("fuzz_configtext", "snippet-crlf.txt", b"\1" + (
        "# KORVEX-SWC-ADP snippet\r\nX21 = Output +12V\r\nentry next = Громк\r\nevent = LIN\r\n"
        "key = VOL UP\r\npress = Any\r\nreaction = Radio control\r\nch1 = 1,5 V\r\n"
        "raw 32 = 5A\r\nbyte 2016 = 01 02\r\n").encode("utf-8"))
    write("fuzz_configtext", "snippet-utf16.txt", b"\0" + (
        "# KORVEX-SWC-ADP snippet\nentry 60 = Ёж\nevent = Voltage\nvoltage = > 12000 мВ\n"
        "for = 500\nreaction = Pin\npin = 1\n").encode("utf-16"))
    write("fuzz_values", "lin-params", b"\0\0\0\0\0\0\0\xff\1" + b"01 02 03 04 05 06")
    write("fuzz_values", "number", b"\0\0\0\0\0\0\x27\x10\1" + b"1500")
    write("fuzz_values", "volts", b"\0\0\0\0\0\0\0\0\0" + b"12,60")
    write("fuzz_settings", "settings.ini",
          b"[MainSettings]\r\nMainTop=100\r\nMainLeft=50\r\nTXHeight=80\r\nLog=1\r\nDebug=0\r\n"
          b"OnlyUsed=1\r\nLang=1\r\n[Files]\r\nConfigFile=/home/user/car.KSWA\r\n")
    write("fuzz_terminal", "lines", b"\x05\0\x10\0abc\r\ndef\n LIN 1 EV:12 U=12.6V\r\nX LIN 3 EV:76,\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
