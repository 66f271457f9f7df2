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
            lon = round(rng.uniform(14.08, 14.32), 6)
            lat = round(rng.uniform(50.85, 50.97), 6)
            positions.append((lat, lon, de or cz))
        number = float(i + 1) if i % 9 else i + 1.5
        error = rng.choice([5, 10, 10, 15, 20, 25, 30, 50])
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
        waypoints.append(f"W,{short},{lat + rng.uniform(-0.0003, 0.0003):.6f},"
                         f"{lon + rng.uniform(-0.0003, 0.0003):.6f},{400 + 7 * n},Summit,,,,,{notes[n]}")
    (OUT / "track.txt").write_bytes(("\r\n".join(waypoints + track) + "\r\n").encode("cp1250"))


if __name__ == "__main__":
    main()
