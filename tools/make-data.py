#!/usr/bin/env python3
"""Writes the files installed with the program into data/.

fusi.dat holds each field shifted down by K (the program's kShift) as
Windows-1252 bytes; the plain table below is its source.
Class: 0 no summer time, 1 northern summer time, 2 half-hour zone, 3 southern summer time.
Zone: the city's zone in the system's time-zone database, a name tzdata
lists for selection (zone.tab or zone1970.tab), never a backward link that
newer tzdata moves to tzdata-legacy (Europe/Kyiv, not Europe/Kiev).

fusi.tz gives each shipped city its zone of the system's time-zone database,
then the cities of zone1970.tab under English names taken from their zone
IDs, shortened where the name box could not take them, so that every zone
can be found by a name typed into "Tabella Fusi". It is read from the
tzdata installed here (/usr/share/zoneinfo).
"""
import math, pathlib, struct, wave

ZONEINFO = pathlib.Path("/usr/share/zoneinfo")

K = 7
DATA = pathlib.Path(__file__).resolve().parent.parent / "data"

ZONES = [
    # page 1: the most asked-for cities
    ("Roma", "1", "+1", "Europe/Rome"),
    ("Londra", "1", "0", "Europe/London"),
    ("Parigi", "1", "+1", "Europe/Paris"),
    ("Berlino", "1", "+1", "Europe/Berlin"),
    ("Madrid", "1", "+1", "Europe/Madrid"),
    ("Mosca", "0", "+3", "Europe/Moscow"),
    ("Istanbul", "0", "+3", "Europe/Istanbul"),
    ("Il Cairo", "1", "+2", "Africa/Cairo"),
    ("Dubai", "0", "+4", "Asia/Dubai"),
    ("Nuova Delhi", "2", "+5", "Asia/Kolkata"),
    ("Pechino", "0", "+8", "Asia/Shanghai"),
    ("Tokyo", "0", "+9", "Asia/Tokyo"),
    ("Seul", "0", "+9", "Asia/Seoul"),
    ("Hong Kong", "0", "+8", "Asia/Hong_Kong"),
    ("Singapore", "0", "+8", "Asia/Singapore"),
    ("Bangkok", "0", "+7", "Asia/Bangkok"),
    ("Sydney", "3", "+10", "Australia/Sydney"),
    ("Auckland", "3", "+12", "Pacific/Auckland"),
    ("Los Angeles", "1", "-8", "America/Los_Angeles"),
    ("Chicago", "1", "-6", "America/Chicago"),
    ("New York", "1", "-5", "America/New_York"),
    ("Toronto", "1", "-5", "America/Toronto"),
    ("Mexico City", "0", "-6", "America/Mexico_City"),
    ("San Paolo", "0", "-3", "America/Sao_Paulo"),
    ("Buenos Aires", "0", "-3", "America/Argentina/Buenos_Aires"),
    ("Johannesburg", "0", "+2", "Africa/Johannesburg"),
    ("Giacarta", "0", "+7", "Asia/Jakarta"),
    # page 2
    ("Lisbona", "1", "0", "Europe/Lisbon"),
    ("Dublino", "1", "0", "Europe/Dublin"),
    ("Amsterdam", "1", "+1", "Europe/Amsterdam"),
    ("Bruxelles", "1", "+1", "Europe/Brussels"),
    ("Vienna", "1", "+1", "Europe/Vienna"),
    ("Zurigo", "1", "+1", "Europe/Zurich"),
    ("Stoccolma", "1", "+1", "Europe/Stockholm"),
    ("Atene", "1", "+2", "Europe/Athens"),
    ("Helsinki", "1", "+2", "Europe/Helsinki"),
    ("Kiev", "1", "+2", "Europe/Kyiv"),
    ("Gerusalemme", "1", "+2", "Asia/Jerusalem"),
    ("Riad", "0", "+3", "Asia/Riyadh"),
    ("Teheran", "2", "+3", "Asia/Tehran"),
    ("Kabul", "2", "+4", "Asia/Kabul"),
    ("Karachi", "0", "+5", "Asia/Karachi"),
    ("Dacca", "0", "+6", "Asia/Dhaka"),
    ("Yangon", "2", "+6", "Asia/Yangon"),
    ("Manila", "0", "+8", "Asia/Manila"),
    ("Darwin", "2", "+9", "Australia/Darwin"),
    ("Melbourne", "3", "+10", "Australia/Melbourne"),
    ("Santiago", "3", "-4", "America/Santiago"),
    ("Honolulu", "0", "-10", "Pacific/Honolulu"),
    ("Anchorage", "1", "-9", "America/Anchorage"),
    ("Denver", "1", "-7", "America/Denver"),
    ("Phoenix", "0", "-7", "America/Phoenix"),
    ("Lima", "0", "-5", "America/Lima"),
    ("Reykjavik", "0", "0", "Atlantic/Reykjavik"),
]


CITY_ZONES_HEADER = """\
# Vemar: le città che seguono il database dei fusi orari del sistema (tzdata).
# Una riga per città: il nome come in "Tabella Fusi", una tabulazione, il
# fuso come lo chiama il database (Europe/Rome), oppure "-" perché la città
# segua la sua classe. Vale la prima riga di ogni nome; le righe che
# iniziano con # non contano. Senza questo file ogni città segue la sua classe.
"""


def admitted(name):
    """A name the zone editor's name box keeps as typed."""
    return len(name) <= 13 and all(c == " " or 64 <= ord(c) <= 122 for c in name)


# Words a name can do without when it is too long for the name box, and a
# short form where none will do.
JOINING_WORDS = {"au", "de", "del", "di", "do", "du", "la", "le", "of"}
SHORT_FORMS = {"Bahia Banderas": "Bahia Bandera"}


def typable(name):
    """A name of a zone as the name box can take it: hyphens and underscores
    as blanks, then joining words dropped, then a short form; None if it
    still will not do ("Port-au-Prince" becomes "Port Prince")."""
    name = name.replace("_", " ").replace("-", " ")
    if not admitted(name):
        name = " ".join(w for w in name.split() if w.lower() not in JOINING_WORDS)
    name = SHORT_FORMS.get(name, name)
    return name if admitted(name) else None


def zone_tab(name):
    """The zone column of one of tzdata's tables."""
    rows = (line.split("\t") for line in (ZONEINFO / name).read_text().splitlines())
    return [row[2].strip() for row in rows if row and not row[0].startswith("#") and len(row) > 2]


def city_zones():
    selectable = set(zone_tab("zone.tab")) | set(zone_tab("zone1970.tab"))
    lines, names = [], set()
    for name, _, _, zone in ZONES:
        assert zone in selectable, zone
        lines.append(f"{name}\t{zone}")
        names.add(name)
    for zone in sorted(zone_tab("zone1970.tab")):
        name = typable(zone.rsplit("/", 1)[-1])
        assert name, f"{zone}: no name the name box can take"
        if name not in names:
            lines.append(f"{name}\t{zone}")
            names.add(name)
    return (CITY_ZONES_HEADER + "\n".join(lines) + "\n").encode("utf-8")


def scramble(text):
    return bytes(b - K for b in text.encode("cp1252"))


def fusi():
    assert len(ZONES) == 54 and len({n for n, _, _, _ in ZONES}) == 54
    out = b""
    for name, cls, off, _ in ZONES:
        assert len(name) <= 13 and all(c == " " or 64 <= ord(c) <= 122 for c in name)
        assert -12 <= int(off) <= 12
        out += b",".join(b'"' + scramble(f) + b'"' for f in (name, cls, off)) + b"\r\n"
    return out


def chime(path, rate=22050):
    """Two soft bell tones, 0.9 s: the sound of the information window."""
    frames = bytearray()
    for i in range(int(rate * 0.9)):
        t = i / rate
        v = 0.0
        for start, freq in ((0.0, 880.0), (0.25, 1318.5)):
            if t >= start:
                u = t - start
                v += math.sin(2 * math.pi * freq * u) * math.exp(-5 * u)
                v += 0.3 * math.sin(4 * math.pi * freq * u) * math.exp(-9 * u)
        frames += struct.pack("<h", int(max(-1, min(1, 0.35 * v)) * 32767))
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


DATA.mkdir(exist_ok=True)
(DATA / "fusi.dat").write_bytes(fusi())
(DATA / "fusi.tz").write_bytes(city_zones())
(DATA / "Parleg.dat").write_bytes(b"2,4,0,9,4,0\r\n")
# Roma: 41 deg 54' N, 12 deg 29' E (east is negative), zone +1 stored as -1.
(DATA / "lxp2.par").write_bytes(b"41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n")
(DATA / "car.tip").write_bytes('"*","°","","",""\r\n'.encode("cp1252"))
chime(DATA / "Infor.snm")
