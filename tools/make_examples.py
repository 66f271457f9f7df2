#!/usr/bin/env python3
"""Writes the example summit list and track file in examples/.

The summit list is laid out the way the program saves it (tabs, numbers in
the general form, CR LF, Windows-1250); the summit list test checks that
loading and saving it gives back the same bytes.
"""
import math
import pathlib
import random
import struct

OUT = pathlib.Path(__file__).resolve().parent.parent / "examples"
HEADER = ["GEBIET", "TEILGEBIET", "GIPFELNAME_D", "GIPFELNAME_CZ", "TYP",
          "GIPFELNR", "GIPFELOST", "GIPFELNORD", "POSFEHLER"]

# German name, Czech name, type, sub-area
SUMMITS = [
    ("Großer Falkenstein", "Velký Sokolí kámen", "G", "Nordkamm"),
    ("Kleiner Falkenstein", "Malý Sokolí kámen", "G", "Nordkamm"),
    ("Mönchskopf", "Mnichova hlava", "G", "Nordkamm"),
    ("Bärenstein", "Medvědí skála", "G", "Nordkamm"),
    ("Weißer Turm", "Bílá věž", "G", "Talgrund"),
    ("Schwarze Nadel", "Černá jehla", "G", "Talgrund"),
    ("Jungfernsprung", "Panenský skok", "G", "Talgrund"),
    ("Hohe Wand", "Vysoká stěna", "W", "Talgrund"),
    ("Rabenwand", "Havraní stěna", "W", "Südhang"),
    ("Sonnenwand", "Sluneční stěna", "W", "Südhang"),
    ("Köhlerhütte", "Uhlířská chata", "H", "Südhang"),
    ("Grenzbaude", "Hraniční bouda", "H", "Grenzweg"),
    ("Forsthaus Grünthal", "Hájovna Zelené údolí", "H", "Grenzweg"),
    ("Schöne Aussicht", "Krásná vyhlídka", "P", "Grenzweg"),
    ("Felsentor", "Skalní brána", "P", "Grenzweg"),
    ("Hirschsprung", "Jelení skok", "P", "Südhang"),
    ("Lärchenkopf", "Modřínový vrch", "C", "Nordkamm"),
    ("Dürrer Berg", "Suchý vrch", "C", "Nordkamm"),
    ("Zinnbergturm", "Cínová věž", "T", "Grenzweg"),
    ("Aussichtsturm Eulenberg", "Rozhledna Sovinec", "T", "Talgrund"),
    ("Krähenstein", "Vraní kámen", "G", "Talgrund"),
    ("", "Liščí díra", "G", "Talgrund"),
    ("Teufelsmühle", "Čertův mlýn", "G", "Südhang"),
    ("Bröselwand", "", "W", "Südhang"),
    ("Löwenkopf", "Lví hlava", "G", "Südhang"),
    ("Zwölf Apostel", "Dvanáct apoštolů", "G", "Südhang"),
    ("Siebenbrüder", "Sedm bratří", "G", "Nordkamm"),
    ("Wächter", "Strážce", "G", "Nordkamm"),
    ("Kanzel", "Kazatelna", "P", "Talgrund"),
    ("Türmchen", "Věžička", "G", "Talgrund"),
    ("Ziegenrücken", "Kozí hřbet", "G", "Grenzweg"),
    ("Drachenzahn", "Dračí zub", "G", "Grenzweg"),
    ("Spitzer Stein", "Špičatý kámen", "G", "Grenzweg"),
    ("Erzgrube", "Rudný důl", "C", "Südhang"),
    ("", "Mlžný vrch", "C", "Nordkamm"),
    ("Heidelbeerwand", "Borůvková stěna", "W", "Nordkamm"),
    ("Rübezahlstuhl", "Krakonošův stolec", "G", "Talgrund"),
    ("Schleierfall", "Závojový vodopád", "P", "Talgrund"),
    ("Hüttenbachbaude", "Potoční bouda", "H", "Grenzweg"),
    ("Grenzturm", "Hraniční věž", "T", "Grenzweg"),
]
WITHOUT_POSITION = {6, 22, 33}  # not yet located on the map

# The hill tops of examples/beispielkarte.bmp (longitude, latitude), H01 to
# H40 as examples/README.md lists them; every located summit stands on one.
HILLS = [
    (14.0683, 50.9635), (14.0747, 50.9074), (14.0767, 50.9319), (14.0814, 50.8925),
    (14.0848, 50.8636), (14.0974, 50.9622), (14.1128, 50.9060), (14.1151, 50.9216),
    (14.1255, 50.8533), (14.1280, 50.9345), (14.1291, 50.9628), (14.1399, 50.9173),
    (14.1455, 50.8890), (14.1483, 50.9472), (14.1665, 50.8637), (14.1687, 50.9206),
    (14.1765, 50.8999), (14.1768, 50.9664), (14.1772, 50.9445), (14.1919, 50.9158),
    (14.2009, 50.9316), (14.2045, 50.9465), (14.2076, 50.8754), (14.2153, 50.9656),
    (14.2269, 50.9139), (14.2275, 50.8605), (14.2288, 50.9431), (14.2434, 50.8838),
    (14.2549, 50.9197), (14.2587, 50.9348), (14.2723, 50.9515), (14.2803, 50.9692),
    (14.2806, 50.8600), (14.2853, 50.9139), (14.2873, 50.9339), (14.2877, 50.8833),
    (14.3140, 50.8614), (14.3184, 50.9673), (14.3237, 50.9308), (14.3248, 50.8801),
]
# Hill number of each located summit in list order. The first five and the
# eleventh to fifteenth are neighbours, so that each track segment walks a
# short round over the middle of the map.
HILL_OF_SUMMIT = [13, 17, 20, 16, 12, 1, 2, 3, 4, 5,
                  21, 22, 27, 30, 29, 6, 7, 8, 9, 10,
                  11, 14, 15, 18, 19, 23, 24, 25, 26, 28,
                  31, 32, 34, 35, 36, 37, 38]


def general(value, digits):
    """The program's general number form: blank or '-', no zero before the point."""
    if value == 0:
        return " 0"
    text = format(abs(value), f".{digits}g")
    assert "e" not in text
    if text.startswith("0."):
        text = text[1:]
    return ("-" if value < 0 else " ") + text


def single(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def main():
    rng = random.Random(7)
    lines = ["$GIPFEL:", "\t".join(HEADER)]
    positions = []
    for i, (de, cz, typ, part) in enumerate(SUMMITS):
        if i in WITHOUT_POSITION:
            lon = lat = 0.0
        else:
            lon, lat = HILLS[HILL_OF_SUMMIT[len(positions)] - 1]
            positions.append((lat, lon, de or cz))
        number = float(i + 1) if i % 9 else i + 1.5
        error = rng.choice([10, 25, 25, 50, 75, 100, 150, 200])
        fields = ["Kreuzbergland", part, de, cz, typ,
                  general(single(number), 7), general(lon, 15), general(lat, 15), " " + str(error)]
        lines.append("\t".join(fields))
    (OUT / "gipfelliste.txt").write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1250"))

    # The track wanders from summit to summit in two segments.
    track = []
    for segment, stops in enumerate((positions[0:5], positions[10:15])):
        kind = "N"
        for (lat1, lon1, _), (lat2, lon2, _) in zip(stops, stops[1:]):
            for k in range(40):
                t = k / 40
                lat = lat1 + (lat2 - lat1) * t + 0.0008 * math.sin(k / 3 + segment)
                lon = lon1 + (lon2 - lon1) * t + 0.0011 * math.cos(k / 4)
                track.append(f"{kind},2026-06-1{4 + segment} {9 + k // 20:02d}:{k % 60:02d}:00,"
                             f"{lat:.6f},{lon:.6f},{380 + 40 * math.sin(k / 5):.1f}")
                kind = "T"
    notes = ["Gipfelbuch am Nordgrat", "Einstieg über die Rinne", "Zustieg vom Parkplatz",
             "Hütte nur am Wochenende offen", "Aussicht nach Süden", "Ringe alt, Vorsicht",
             "Quelle unterhalb", "Wegweiser fehlt", "Abseilstelle", "Rastplatz mit Bank",
             "Brücke gesperrt", "Höhle am Wandfuß"]
    waypoints = []
    for n, (lat, lon, name) in enumerate(positions[:12]):
        short = "".join(c for c in name.upper() if c.isalnum())[:8]
        # Taken at the foot of the summit, some 70 to 100 m south of its top.
        waypoints.append(f"W,{short},{lat - rng.uniform(0.0006, 0.0009):.6f},"
                         f"{lon + rng.uniform(-0.0004, 0.0004):.6f},{400 + 7 * n},Summit,,,,,{notes[n]}")
    (OUT / "track.txt").write_bytes(("\r\n".join(waypoints + track) + "\r\n").encode("cp1250"))


if __name__ == "__main__":
    main()
