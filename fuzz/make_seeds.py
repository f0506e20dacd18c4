#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets, fuzz/corpus/<target>/, from the samples."""
import os
import shutil

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE = os.path.join(ROOT, "samples", "boreholes", "B-12")
PATTERN = os.path.join(ROOT, "samples", "DOZORA")
CORPUS = os.path.join(ROOT, "fuzz", "corpus")

SOURCE_NAMES = ["X1.TXT", "X3.TXT", "X5.TXT", "X7.TXT", "X11.TXT", "X12.TXT", "R30.TXT",
                "R31.TXT", "R32.TXT", "R33.TXT", "R34.TXT", "R35.TXT", "R41.TXT", "N8.TXT",
                "N9.TXT", "G40.TXT", "G71.TXT", "G72.TXT", "G73.TXT", "G81.TXT", "Titl01.txt",
                "Titl02.txt"]
PATTERN_NAMES = ["L1.TXT", "L4.TXT", "L8.TXT", "L13.TXT", "L14.TXT", "L15.TXT", "L16.TXT",
                 "L17.TXT", "L18.TXT", "L18B.TXT", "L19.TXT", "KISHITU.TXT", "SHITU.TXT",
                 "MAJIRI.TXT"]
# The record lengths the converter reads, for the field reader's first byte.
FIELDS = {"X1.TXT": 4, "X3.TXT": 7, "X5.TXT": 11, "X7.TXT": 68, "X11.TXT": 5, "X12.TXT": 3,
          "R30.TXT": 6, "R41.TXT": 11, "N8.TXT": 3, "N9.TXT": 3, "G40.TXT": 8, "G71.TXT": 5,
          "G72.TXT": 8, "G73.TXT": 4, "G81.TXT": 5, "L8.TXT": 3, "L17.TXT": 3,
          "KISHITU.TXT": 6, "SHITU.TXT": 6, "MAJIRI.TXT": 6}


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def entry(index, content):
    content = content[:0xFFFF]
    return bytes([index, len(content) & 0xFF, len(content) >> 8]) + content


def main():
    shutil.rmtree(CORPUS, ignore_errors=True)
    for folder, names in ((SOURCE, SOURCE_NAMES), (PATTERN, PATTERN_NAMES)):
        for name in names:
            if not os.path.exists(os.path.join(folder, name)):
                continue
            data = read(folder, name)
            put("cp932_fields", name, bytes([(FIELDS.get(name, 2) - 1) % 16]) + data)

    texts = [b"1.5", b" 12.345 ", b"-0.5", b".3", b"1e5", b"+7.", b"3.4E+38", b"1e-45",
             b"abc", b"  ", b"\xb6\xde\xca\xdf\xb3\xde", b"12\xa0.5"]
    for k, text in enumerate(texts):
        put("text_routines", "text%02d" % k, bytes([k * 37 % 128, (k * 53) & 0xFF]) + text)
    put("text_routines", "utf16", bytes([0x80, 0x42]) + "深さ １２.５".encode("utf-16-le"))

    paths = ["C:\\DATA\\B-12", "D:\\OUT.1\\", " D:\\NEW\\DEEP ", "C:DATA", "D:",
             "D:\\ABCDEFGHI.TXT", "D:\\A.B.C", "Q:\\X", "OUT", "D:\\\\X", "Z:\\tmp",
             "D:\\ﾃﾞｰﾀ.TX"]
    for k, path in enumerate(paths):
        put("check_path", "path%02d" % k, path.encode("utf-8"))

    whole = b"".join(entry(k, read(SOURCE, name)) for k, name in enumerate(SOURCE_NAMES)
                     if os.path.exists(os.path.join(SOURCE, name)))
    put("whole_conversion", "sample", whole)
    put("whole_conversion", "sample_with_tables",
        whole + b"".join(entry(len(SOURCE_NAMES) + k, read(PATTERN, name))
                         for k, name in enumerate(PATTERN_NAMES)))
    for k, name in enumerate(SOURCE_NAMES):
        if os.path.exists(os.path.join(SOURCE, name)):
            put("whole_conversion", "only_" + name, entry(k, read(SOURCE, name)))


if __name__ == "__main__":
    main()
