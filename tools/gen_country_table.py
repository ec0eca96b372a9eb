#!/usr/bin/env python3
"""Generates the country table data/arrlpre2.txt, and the DXCC number table
data/ADIFCnt.txt the ADIF export uses, from the cty.dat country file.

Usage:
    gen_country_table.py [CTY_DAT [CTY_CSV [OUTPUT [DXCC_OUTPUT]]]]

Defaults: /usr/share/hamradio-files/cty.dat and cty.csv (Debian package
"hamradio-files", the country files of country-files.com), output
data/arrlpre2.txt and data/ADIFCnt.txt in the repository this script belongs
to. Standard library only.

DXCC output: one line per country name of the country table, spelled exactly
as the table spells it, with its DXCC entity number: the name in double quotes,
a comma, the number, CR LF; sorted by name ignoring case. A name never carries
two numbers (the script fails if cty.dat ever makes it so).

Output: one entry per line, eight fields in the quoted comma-separated form
(texts in double quotes, numbers bare in their shortest form), lines ending in
CR LF, sorted by prefix in plain ASCII order ignoring case (digits before
letters; the lookup's start position and back-up rely on it):

    1 prefix     text    call-sign prefix, upper case (e.g. "KH6")
    2 country    text    entity name ("USA" for cty.dat's United States)
    3 continent  text    "NA", "SA", "EU", "AF", "AS", "OC" or "AN"
    4 longitude  number  degrees, west positive
    5 latitude   number  degrees, north positive
    6 dxcc       number  ARRL DXCC entity number (from cty.csv column 3)
    7 cq zone    number
    8 itu zone   number

How cty.dat becomes the table:

- Every record "Name: CQ: ITU: Continent: Lat: Long: UTC offset: Primary:"
  followed by its alias list ("A,B,...;") is one entity. cty.dat already gives
  longitudes west positive (Monaco is -7.40), as the table wants.
- One entry per prefix alias. The primary prefix is only the record's label
  and not always a prefix in use (Antarctica's label "CE9" is the prefix of
  the South Shetland Islands), so it becomes an entry only for a record whose
  aliases are all exact calls (Conway Reef "3D2/C", ITU HQ "4U1I", Heard
  Island "VK0H", ...): that way every entity appears in the table (country
  completion and the station window choose countries from it). A label like
  "3D2/C" only matches calls that begin with that literal text.
- Alias overrides apply to that alias only: (n) CQ zone, [n] ITU zone,
  <lat/long> coordinates (same sign convention as the record), {cc}
  continent; ~n~ (UTC offset) is not carried.
- Exact-call aliases (marked "=") are left out: the table holds prefixes.
- Records whose primary prefix carries "*" are not DXCC entities (WAE-only:
  European Turkey, Sicily, African Italy, Shetland, Bear Island, Vienna Intl
  Ctr). They are not entities of the table, but their prefix aliases are kept
  under the name and DXCC number of the parent entity (the non-"*" record with
  the same DXCC number), with the WAE record's own continent, coordinates and
  zones: IT9 calls show "Italy" at Sicily's position, IG9 "Italy" in AF and
  TA1 "Turkey" in EU (as the CQ contests count them), 4U1V "Austria".
- "United States of America" is renamed "USA" (the KG4 rule and the points
  rule of the logger expect that name), "Fed. Rep. of Germany" "Germany" and
  "Asiatic Turkey" "Turkey" (it also holds European Turkey's prefixes).
- When a prefix occurs more than once, the first occurrence in file order is
  kept.
- Texts never contain double quotes (they are dropped).
- At most 10000 entries fit the logger's table; the script fails rather than
  truncating if cty.dat ever yields more.
"""

import csv
import os
import re
import sys

MAX_ENTRIES = 10000
# cty.dat's names, except where the logger needs another spelling ("USA") or
# the abbreviated name would read oddly in the country box.
RENAMES = {
    "United States of America": "USA",
    "United States": "USA",
    "Fed. Rep. of Germany": "Germany",
    "Asiatic Turkey": "Turkey",  # European Turkey (TA1) is folded into it
}

ALIAS_RE = re.compile(r"^(=?)([A-Za-z0-9/]+)(.*)$")
OVERRIDE_RE = re.compile(
    r"\((\d+)\)|\[(\d+)\]|<(-?[\d.]+)/(-?[\d.]+)>|\{([A-Za-z]+)\}|~(-?[\d.]+)~"
)


def fail(message):
    sys.stderr.write("gen_country_table: " + message + "\n")
    sys.exit(1)


def shortest(value):
    """A number in its shortest text form: 5, -4.5, 14.025."""
    if value == 0:
        return "0"
    if float(value).is_integer():
        return str(int(value))
    return repr(float(value))


def clean_text(text):
    return text.replace('"', "").strip()


def read_dxcc_numbers(csv_path):
    """Primary prefix (as in cty.dat, with '*') -> DXCC entity number."""
    numbers = {}
    with open(csv_path, encoding="latin-1", newline="") as f:
        for row in csv.reader(f):
            if len(row) < 3 or not row[0]:
                continue
            try:
                numbers[row[0].strip()] = int(row[2])
            except ValueError:
                fail("cty.csv: bad entity number for %s: %r" % (row[0], row[2]))
    return numbers


def parse_cty_dat(path):
    """Yields one dict per record of cty.dat."""
    with open(path, encoding="latin-1") as f:
        text = f.read()
    for chunk in text.split(";"):
        if not chunk.strip():
            continue
        parts = chunk.split(":")
        if len(parts) != 9:
            fail("cty.dat: malformed record near %r" % chunk.strip()[:60])
        name, cq, itu, cont, lat, lon, _utc, primary, aliases = (p.strip() for p in parts)
        yield {
            "name": clean_text(name),
            "cq": int(cq),
            "itu": int(itu),
            "continent": cont.upper(),
            "lat": float(lat),
            "lon": float(lon),
            "primary": primary,
            "aliases": [a.strip() for a in aliases.replace("\n", " ").split(",") if a.strip()],
        }


def alias_entry(alias, record):
    """(prefix, continent, lat, lon, cq, itu) for a prefix alias; None for an exact call."""
    m = ALIAS_RE.match(alias)
    if not m:
        fail("cty.dat: cannot read alias %r of %s" % (alias, record["name"]))
    exact, prefix, rest = m.groups()
    if exact:
        return None
    cont, lat, lon = record["continent"], record["lat"], record["lon"]
    cq, itu = record["cq"], record["itu"]
    consumed = 0
    for o in OVERRIDE_RE.finditer(rest):
        if o.start() != consumed:
            fail("cty.dat: unexpected text in alias %r" % alias)
        consumed = o.end()
        if o.group(1):
            cq = int(o.group(1))
        elif o.group(2):
            itu = int(o.group(2))
        elif o.group(3):
            lat, lon = float(o.group(3)), float(o.group(4))
        elif o.group(5):
            cont = o.group(5).upper()
    if consumed != len(rest):
        fail("cty.dat: unexpected text in alias %r" % alias)
    return prefix.upper(), cont, lat, lon, cq, itu


def build(cty_path, csv_path):
    records = list(parse_cty_dat(cty_path))
    numbers = read_dxcc_numbers(csv_path)

    # Name of the DXCC entity for each entity number (non-"*" records only).
    parent_name = {}
    for r in records:
        if not r["primary"].startswith("*"):
            n = numbers.get(r["primary"])
            if n is None:
                fail("cty.csv has no entity number for %s" % r["primary"])
            parent_name.setdefault(n, RENAMES.get(r["name"], r["name"]))

    entries = {}  # upper-case prefix -> fields; first occurrence wins
    entities = set()
    duplicates = 0
    labels = []  # records whose aliases gave no prefix: their primary prefix
    for r in records:
        number = numbers.get(r["primary"])
        if number is None:
            fail("cty.csv has no entity number for %s" % r["primary"])
        if r["primary"].startswith("*"):
            if number not in parent_name:
                fail("no parent entity for WAE record %s" % r["name"])
            name = parent_name[number]
        else:
            name = RENAMES.get(r["name"], r["name"])
            entities.add(name)
        kept = 0
        for alias in r["aliases"]:
            e = alias_entry(alias, r)
            if e is None:
                continue
            kept += 1
            prefix, cont, lat, lon, cq, itu = e
            if prefix in entries:
                duplicates += 1
                continue
            entries[prefix] = (prefix, name, cont, lon, lat, number, cq, itu)
        if kept == 0:
            labels.append((r, name, number))
    # The primary prefix is the record's label, not always a prefix in use
    # (Antarctica's "CE9" is South Shetland's prefix), so it is only added for
    # entities that would otherwise be missing, and never displaces an alias.
    for r, name, number in labels:
        prefix, cont, lat, lon, cq, itu = alias_entry(r["primary"].lstrip("*"), r)
        if prefix in entries:
            duplicates += 1
            continue
        entries[prefix] = (prefix, name, cont, lon, lat, number, cq, itu)
    rows = sorted(entries.values(), key=lambda e: e[0].upper())
    return rows, entities, duplicates


def render(rows):
    out = []
    for prefix, name, cont, lon, lat, number, cq, itu in rows:
        out.append(
            '"%s","%s","%s",%s,%s,%d,%d,%d\r\n'
            % (clean_text(prefix), name, clean_text(cont), shortest(lon), shortest(lat), number, cq, itu)
        )
    return "".join(out)


def render_dxcc(rows):
    numbers = {}
    for _prefix, name, _cont, _lon, _lat, number, _cq, _itu in rows:
        if numbers.setdefault(name, number) != number:
            fail("country %r has two DXCC numbers: %d and %d" % (name, numbers[name], number))
    return "".join(
        '"%s",%d\r\n' % (name, numbers[name]) for name in sorted(numbers, key=lambda n: (n.upper(), n))
    )


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    cty_path = argv[1] if len(argv) > 1 else "/usr/share/hamradio-files/cty.dat"
    csv_path = (
        argv[2] if len(argv) > 2 else os.path.join(os.path.dirname(cty_path), "cty.csv")
    )
    out_path = (
        argv[3] if len(argv) > 3 else os.path.join(here, os.pardir, "data", "arrlpre2.txt")
    )
    dxcc_path = (
        argv[4] if len(argv) > 4 else os.path.join(here, os.pardir, "data", "ADIFCnt.txt")
    )
    try:
        rows, entities, duplicates = build(cty_path, csv_path)
    except OSError as e:
        fail("cannot read %s: %s" % (e.filename, e.strerror))
    if len(rows) > MAX_ENTRIES:
        fail("%d entries exceed the table's limit of %d" % (len(rows), MAX_ENTRIES))
    with open(out_path, "w", encoding="latin-1", newline="") as f:
        f.write(render(rows))
    dxcc = render_dxcc(rows)
    with open(dxcc_path, "w", encoding="latin-1", newline="") as f:
        f.write(dxcc)
    print(
        "%s: %d countries with their DXCC numbers"
        % (os.path.normpath(dxcc_path), dxcc.count("\n"))
    )
    print(
        "%s: %d entries, %d entities (%d repeated prefixes skipped)"
        % (os.path.normpath(out_path), len(rows), len(entities), duplicates)
    )


if __name__ == "__main__":
    main(sys.argv)
