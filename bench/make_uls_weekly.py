#!/usr/bin/env python3
"""Writes a synthetic FCC weekly amateur file (EN.dat, AM.dat, HD.dat) the size of the real
one, with the real record layouts and the shapes real files have: calls with an expired and
an active licence, club licences with a trustee and no class, PO boxes, Latin-1 names,
CR LF line ends in one member, a record broken across lines and a "|" inside a name.

    make_uls_weekly.py DIR [--licences N] [--zip]

People, streets and e-mail addresses are made up.
"""
import argparse
import os
import random
import zipfile

FIRST = ["James", "Mary", "JOHN", "Patricia", "Robert", "Jennifer", "MICHAEL", "Linda", "David",
         "Elizabeth", "William", "Barbara", "Richard", "Susan", "Jos\xe9", "Mar\xeda", "Ren\xe9e"]
LAST = ["Smith", "JOHNSON", "Williams", "Brown", "Jones", "Garcia", "Miller", "Davis", "Rodriguez",
        "Martinez", "Hernandez", "Lopez", "Gonzalez", "Wilson", "Anderson", "Mu\xf1oz", "O'Neil"]
STREETS = ["Main St", "Oak Ave", "Maple Dr", "Cedar Ln", "Elm St.", "Park Rd", "Pine Ct"]
CITIES = [("Montara", "CA", "94037"), ("Austin", "TX", "78701"), ("Springfield", "IL", "62701"),
          ("Boston", "MA", "02108"), ("Denver", "CO", "80202"), ("Seattle", "WA", "98101"),
          ("Miami", "FL", "33101"), ("Anchorage", "AK", "99501"), ("Honolulu", "HI", "96813"),
          ("Newington", "CT", "06111")]
CLASSES = "EEEGGGTTTTAPN"
STATUS_OLD = "ECT"


def call_for(index):
    """A unique US-shaped call for each index."""
    letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    prefix = ["K", "N", "W", "KA", "KB", "KC", "KD", "KE", "KF", "KG", "KI", "KJ", "KK", "KN",
              "WA", "WB", "AA", "AB", "AC", "AD"][index % 20]
    rest = index // 20
    digit = rest % 10
    rest //= 10
    suffix = ""
    for _ in range(3):
        suffix += letters[rest % 26]
        rest //= 26
    return prefix + str(digit) + suffix


def date(year, rnd):
    return "%02d/%02d/%04d" % (rnd.randint(1, 12), rnd.randint(1, 28), year)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--licences", type=int, default=1_500_000)
    parser.add_argument("--zip", action="store_true", help="also write l_amat.zip")
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)
    rnd = random.Random(1)
    paths = {name: os.path.join(args.folder, name) for name in ("HD.dat", "AM.dat", "EN.dat")}
    files = {name: open(path, "w", encoding="latin-1", newline="") for name, path in paths.items()}
    usi = 1000
    written = 0
    index = 0
    while written < args.licences:
        call = call_for(index)
        index += 1
        # About one call in ten also has an older licence that is no longer active.
        licences = [("A", rnd.randint(2016, 2025))]
        if rnd.random() < 0.1:
            licences.insert(0, (rnd.choice(STATUS_OLD), rnd.randint(1995, 2015)))
        club = rnd.random() < 0.02
        first, last = rnd.choice(FIRST), rnd.choice(LAST)
        city, state, zip_code = rnd.choice(CITIES)
        for status, year in licences:
            usi += 1
            written += 1
            granted = date(year, rnd)
            expires = granted[:6] + str(year + 10)
            hd = ["HD", str(usi), "%010d" % usi, "", call, status, "HA", granted, expires,
                  "" if status == "A" else granted] + [""] * 49
            hd[42] = hd[43] = granted
            files["HD.dat"].write("|".join(hd) + "\n")
            am = ["AM", str(usi), "", "", call, "" if club else rnd.choice(CLASSES), "D",
                  str(rnd.randint(1, 13)), call_for(index + 7) if club else "", "", "", "", "",
                  "", "", "", rnd.choice(["", "T", "G"]), ""]
            files["AM.dat"].write("|".join(am) + "\n")
            po_box = str(rnd.randint(1, 99999)) if rnd.random() < 0.1 else ""
            street = "" if po_box else "%d %s" % (rnd.randint(1, 9999), rnd.choice(STREETS))
            if club:
                name, first_name, middle, last_name = last.upper() + " AMATEUR RADIO CLUB", "", "", ""
            else:
                name = "%s, %s" % (last, first)
                first_name, middle, last_name = first, rnd.choice(["", "", "Q", "J"]), last
            if written % 100_000 == 0:
                name = last + " ||, " + first  # a "|" inside a value
            email = ("%s.%s@example.com" % (first, last)).lower() if rnd.random() < 0.3 else ""
            en = ["EN", str(usi), "", "", call, "L", "L%08d" % usi, name, first_name, middle,
                  last_name, rnd.choice(["", "", "", "Jr", "III"]), "", "", email, street, city,
                  state, zip_code, po_box, "", "000", "%010d" % (usi * 7), "B" if club else "I",
                  "", "", "", "", "", ""]
            line = "|".join(en)
            if written % 250_000 == 0:
                line = line.replace(street, street.replace(" ", "\n", 1)) if street else line
            files["EN.dat"].write(line + "\r\n")
    for handle in files.values():
        handle.close()
    if args.zip:
        with zipfile.ZipFile(os.path.join(args.folder, "l_amat.zip"), "w",
                             zipfile.ZIP_DEFLATED) as archive:
            for name, path in paths.items():
                archive.write(path, name)
    print("%d licences of %d calls in %s" % (written, index, args.folder))


if __name__ == "__main__":
    main()
