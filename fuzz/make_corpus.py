#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The seeds are kept in the repository; run this again only to change them."""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

CUT_SIGNATURE = b"fmt....NOVATEK.....?inf....trim....?"
JOIN_SIGNATURE = b"fmt....HZRQ917K.....?inf....group....?"


def field(text):
    return text.encode("ascii")[:14].ljust(14, b"0")


def number(value):
    return ("%.12f" % value).encode("ascii")[:14]


def gps_record(second, lat=25.033, lon=121.5645, kmh=42.5):
    time = "2024033102%02d%02d" % (30 + second // 60, second % 60)
    return (b"GPSDATA--" + field(time) + field("N%.6f" % (lat + second * 1e-4)) +
            field("E%.6f" % (lon + second * 1e-4)) + number(kmh) + number(0.25) +
            number(-0.375) + number(-0.5) + number(1.0))


def export_trailer(seconds, signature=CUT_SIGNATURE):
    return b"C" * 22 + b"".join(gps_record(i) for i in range(seconds)) + signature


def source_trailer(records):
    separator = b"\x00\x01"
    body = separator.join(b"rec%03d-%s" % (i, b"x" * 40) for i in range(records))
    return b"U" * 22 + separator + body + b"inf....NOVATEK....?"


def box(kind, payload):
    return (8 + len(payload)).to_bytes(4, "big") + kind + payload


def ride_record(lat_deg, lon_deg, altitude_m, kmh):
    def groups(digits):
        return b"".join(b"%02X" % int(digits[i:i + 2]) for i in range(0, len(digits), 2))

    def coordinate(value, degree_digits):
        whole = int(abs(value))
        minutes = round((abs(value) - whole) * 600000)
        return groups("%0*d%06d" % (degree_digits, whole, minutes))

    out = bytes([ord("S" if lat_deg < 0 else "N") + 3]) + coordinate(lat_deg, 2)[:8]
    out += bytes([ord("W" if lon_deg < 0 else "E") + 3]) + coordinate(lon_deg, 3)[:10]
    out += bytes([ord("-" if altitude_m < 0 else "+") + 3]) + groups("%04d" % round(abs(altitude_m) * 10))
    out += groups("%03d" % kmh)
    assert len(out) == 29, len(out)
    return out


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    shutil.rmtree(CORPUS, ignore_errors=True)
    video = box(b"ftyp", b"isom\x00\x00\x02\x00isomiso2") + box(b"free", b"") + box(b"mdat", b"v" * 64)
    write("metadataparser", "cut-3s", video + export_trailer(3))
    write("metadataparser", "join-2s", video + export_trailer(2, JOIN_SIGNATURE))
    write("metadataparser", "bare-marker", video + b"C" * 22 + CUT_SIGNATURE)
    write("metadataparser", "source-layout", video + source_trailer(4))
    write("metadataparser", "damaged", video + export_trailer(3)[:200] + b"zz" + export_trailer(2)[22:])
    # a trailer whose marker lies near the start of the 200 000-byte tail window
    write("metadataparser", "long-file", box(b"mdat", b"\x00" * 40000) + export_trailer(1450))

    ride = b"".join(ride_record(25.033 + i * 1e-4, 121.5645 + i * 1e-4, 12.5 + i, 20 + i % 15)
                    for i in range(12))
    write("ridedata", "ride-12", ride)
    write("ridedata", "south-west", ride_record(-33.8688, -151.2093, -3.0, 7) * 3)
    write("ridedata", "no-fix", ride_record(0.0, 0.0, 0.0, 0) * 2 + ride[:29])
    write("ridedata", "short-tail", ride[:29 * 2 + 11])

    factory = (b"Style=0\nLanguage=0\nSpeed Unit=1\nDate=0\nMaps=0\nMode=0\nAutomatically=1\n"
               b"DisplayMode=1\nDashcamLocationSecond=7\nVerticalFlip=0\nSubVerticalFlip=0\n")
    write("settingsfile", "factory", factory)
    write("settingsfile", "changed", factory.replace(b"Style=0", b"Style=1").replace(b"Language=0", b"Language=11"))
    write("settingsfile", "garbled", b"Style=9\nLanguage=\xff\xfe\n# note\n = 3\nDate")
    write("settingsfile", "crlf", factory.replace(b"\n", b"\r\n"))


if __name__ == "__main__":
    main()
