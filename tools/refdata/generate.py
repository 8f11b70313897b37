#!/usr/bin/python3
"""Writes Tarvelo's reference documents into resources/.

Run from anywhere:   /usr/bin/python3 tools/refdata/generate.py
(optionally with the folder of the sources and the output folder:
 generate.py [SOURCES] [OUT], default /work/shared/refdata and resources/).

The output is committed, so a build never runs this script. It is deterministic:
every run over the same sources writes the same bytes. It needs Python 3 and, for the
flag sprite only, the Debian packages python3-pil (Pillow, to read and write PNG) and
famfamfam-flag-png (public-domain 16x11 flags in /usr/share/flags/countries/16x11).
Neither is a build dependency.

Files written and where their content comes from:

TanksInfo.json (vehicle encyclopedia)
    SOURCES/vehicles.tsv: tank_id, tag, name, nation, type, tier, is_premium, name_ru.
    One entry per row, keyed by tank_id, in ascending id order. "name" is name_ru when
    the row has one, else the English name. "images" is the publisher's contour picture:
    IMAGE_URL with the nation and the lower-case tag. Members inside an entry keep the
    order tank_id, nation, tag, is_premium, type, tier, name, images (the old-layout
    snapshot conversion searches the text for a name and takes the "tank_id" before it).

TanksExpValues.json (WN8 expected values)
    SOURCES/wn8_expected.json (XVM table of 2025-10-13). Every vehicle of the table,
    values unchanged, ids in ascending order. Two tier-X vehicles of the clan tables were
    removed from the game before that table was made; they get the values of the vehicle
    that took their place in the tech tree (SUCCESSORS), so the clan tables can rate them.

TanksIvanerr.json (Ivanerr weights)
    The 40 vehicles of the clan tables plus IVANERR_EXTRA. No published table of these
    weights exists, so each weight is derived: weight = 0.850 * expDamage(vehicle) /
    expDamage(61697), rounded half-up to three decimals and written as a string. The
    reference vehicle 61697 therefore keeps 0.850. "tankname_localized_short" is the
    vehicle's "name" in TanksInfo. "caps": maxfirepower = the sum of all weights,
    maxskill = .53 (written without the leading zero), maxtotalrate = maxfirepower * .53,
    both rounded to three decimals. The program does not read "caps".

AchievementsList.json (achievement catalogue)
    The hand-compiled table in achievements.py, in its row order.

CountryList.json (country list)
    Debian iso-codes: /usr/share/iso-codes/json/iso_3166-1.json (alpha-2 code, alpha-3,
    numeric, English name) and the Russian message catalogue
    /usr/share/locale/ru/LC_MESSAGES/iso_3166-1.mo. The common name is used when the
    standard gives one ("Taiwan"), else the short name; the Russian name is its
    translation, else the translation of the short name, else RUSSIAN_FALLBACK. Plus
    EXTRA_COUNTRIES, codes the location site and geo-IP data use beside ISO 3166-1.
    Each value: [English, Russian, alpha-3 or null, numeric string or null]; codes sorted.

ResStyleFlags.css and RESPNGFLAGS.png (country flags)
    One ".flag-" + code class per CountryList code. The sprite is one column of 16x9
    cells, cell i at y = 9 * i, codes in CountryList order; each class sets the
    background position "0 -9i px". Flags are the famfamfam 16x11 pictures scaled to
    16x9 (FLAG_FILES maps codes whose picture has another name); a code without a
    picture gets a neutral grey cell. The sheet addresses the sprite as
    "res://%ExePath%/PNG/RESPNGFLAGS"; the program replaces %ExePath% at start.
"""

import csv
import gettext
import json
import os
import sys
from decimal import Decimal, ROUND_HALF_UP

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import achievements  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_SOURCES = "/work/shared/refdata"
DEFAULT_OUT = os.path.join(ROOT, "resources")

IMAGE_URL = ("http://api.worldoftanks.ru/static/2.50.0/wot/encyclopedia/vehicle/contour/"
             "{nation}-{tag}.png")

# Vehicle ids of the clan tables: heavy, medium, tank destroyer, artillery rows.
CLASS_VEHICLE_IDS = [
    10785, 14881, 6929, 9489, 58641, 7169, 58369, 6145, 6209, 5425, 6225, 3937,
    14113, 15905, 12305, 14609, 13825, 16897, 17153, 3649, 15425, 4145, 7249, 3681,
    15617, 61697,
    13857, 13089, 12049, 16913, 13569, 14337, 13889, 9297, 13905,
    8481, 9233, 8705, 11841, 12369,
]
# Removed tier-X vehicle -> the tier-X vehicle that replaced it in the same branch.
SUCCESSORS = {
    17153: 19969,  # Object 430B -> Object 430U
    14337: 20225,  # Object 263B -> Object 268 Version 4
}
IVANERR_EXTRA = [63537, 19969]  # 121B, Object 430U
IVANERR_REFERENCE_ID = 61697
IVANERR_REFERENCE_WEIGHT = Decimal("0.850")
IVANERR_MAXSKILL = Decimal(".53")

ISO_JSON = "/usr/share/iso-codes/json/iso_3166-1.json"
ISO_RU_MO = "/usr/share/locale/ru/LC_MESSAGES/iso_3166-1.mo"
RUSSIAN_FALLBACK = {"TR": "Турция"}  # the catalogue still knows it only as "Turkey"
EXTRA_COUNTRIES = {
    "ABKHAZIA": ["Abkhazia", "Абхазия", None, None],
    "EU": ["European Union", "Европейский союз", None, None],
    "XK": ["Kosovo", "Косово", None, None],
}

FLAGS_DIR = "/usr/share/flags/countries/16x11"
FLAG_FILES = {"EU": "europeanunion", "BL": "fr", "MF": "fr"}  # both use the French flag
CELL_WIDTH, CELL_HEIGHT = 16, 9
NEUTRAL_FILL = (154, 154, 154, 255)
NEUTRAL_FRAME = (97, 98, 99, 255)
SPRITE_ADDRESS = "res://%ExePath%/PNG/RESPNGFLAGS"


# ---------------------------------------------------------------- writing

def compact(value):
    return json.dumps(value, ensure_ascii=False, separators=(",", ":"))


def keyed_lines(entries):
    """An object body with one member per line: "key":value,..."""
    return ",\n".join(compact(str(key)) + ":" + compact(value) for key, value in entries)


def write_text(folder, name, text):
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\n") as out:
        out.write(text)


def enveloped(entries):
    """The publisher's answer layout: status, meta.count and data."""
    return ('{"status":"ok","meta":{"count":%d},"data":{\n' % len(entries)
            + keyed_lines(entries) + "\n}}\n")


# ---------------------------------------------------------------- vehicles

def read_vehicles(sources):
    with open(os.path.join(sources, "vehicles.tsv"), encoding="utf-8", newline="") as tsv:
        rows = list(csv.DictReader(tsv, delimiter="\t", quoting=csv.QUOTE_NONE))
    vehicles = {}
    for row in rows:
        tank_id = int(row["tank_id"])
        vehicles[tank_id] = {
            "tank_id": tank_id,
            "nation": row["nation"],
            "tag": row["tag"],
            "is_premium": row["is_premium"] == "true",
            "type": row["type"],
            "tier": int(row["tier"]),
            "name": row["name_ru"] or row["name"],
            "images": IMAGE_URL.format(nation=row["nation"], tag=row["tag"].lower()),
        }
    return vehicles


def tanks_info(vehicles):
    return enveloped([(tank_id, vehicles[tank_id]) for tank_id in sorted(vehicles)])


def read_expected(sources):
    with open(os.path.join(sources, "wn8_expected.json"), encoding="utf-8") as source:
        table = json.load(source)
    expected = {int(key): value for key, value in table["data"].items()}
    for removed, successor in SUCCESSORS.items():
        if removed not in expected:
            expected[removed] = expected[successor]
    return table["header"], expected


def tanks_exp_values(header, expected):
    head = {
        "source": header["source"],
        "version": header["version"],
        "substitutes": {str(old): str(new) for old, new in sorted(SUCCESSORS.items())},
    }
    return ('{"header":' + compact(head) + ',"data":{\n'
            + keyed_lines([(tank_id, expected[tank_id]) for tank_id in sorted(expected)])
            + "\n}}\n")


def three_decimals(number):
    return Decimal(number).quantize(Decimal("0.001"), rounding=ROUND_HALF_UP)


def ivanerr_weight(expected, tank_id):
    ratio = (Decimal(repr(expected[tank_id]["expDamage"]))
             / Decimal(repr(expected[IVANERR_REFERENCE_ID]["expDamage"])))
    return three_decimals(IVANERR_REFERENCE_WEIGHT * ratio)


def tanks_ivanerr(vehicles, expected):
    ids = sorted(set(CLASS_VEHICLE_IDS + IVANERR_EXTRA))
    kefs = []
    for tank_id in ids:
        kefs.append((tank_id, {
            "tankname_localized_short": vehicles[tank_id]["name"],
            "weight": str(ivanerr_weight(expected, tank_id)),
        }))
    firepower = three_decimals(sum(Decimal(kef["weight"]) for _, kef in kefs))
    total = three_decimals(firepower * IVANERR_MAXSKILL)
    # ".53" is not JSON; the program's reader accepts a number without its leading zero.
    caps = '{"maxfirepower":%s,"maxskill":%s,"maxtotalrate":%s}' % (
        firepower, str(IVANERR_MAXSKILL).lstrip("0"), total)
    return '{"kefs":{\n' + keyed_lines(kefs) + '\n},"caps":' + caps + "}\n"


# ---------------------------------------------------------------- achievements

# Titles and descriptions go into HTML attributes and formatted text as they stand.
UNSAFE_TEXT_CHARACTERS = set('"<>&%\\')


def achievements_list():
    entries = []
    for section, rows in achievements.SECTIONS:
        for key, kind, condition, title, description in rows:
            if UNSAFE_TEXT_CHARACTERS & set(title + description):
                raise SystemExit("unsafe character in the texts of " + key)
            order = 0 if key in achievements.UNORDERED_KEYS else len(entries) + 1
            entries.append((key, {
                "name_i18n": title,
                "order": order,
                "condition": condition,
                "section": section,
                "description": description,
                "type": kind,
            }))
    keys = [key for key, _ in entries]
    duplicates = sorted({key for key in keys if keys.count(key) > 1})
    if duplicates:
        raise SystemExit("duplicate achievement keys: " + ", ".join(duplicates))
    return enveloped(entries)


# ---------------------------------------------------------------- countries

def countries():
    with open(ISO_JSON, encoding="utf-8") as source:
        standard = json.load(source)["3166-1"]
    with open(ISO_RU_MO, "rb") as catalogue:
        russian = gettext.GNUTranslations(catalogue)
    table = dict(EXTRA_COUNTRIES)
    for country in standard:
        code = country["alpha_2"]
        english = country.get("common_name", country["name"])
        local = russian.gettext(english)
        if local == english:
            local = russian.gettext(country["name"])
        if local == country["name"]:
            local = RUSSIAN_FALLBACK.get(code)
        if not local:
            raise SystemExit("no Russian name for " + code)
        table[code] = [english, local, country.get("alpha_3"), country.get("numeric")]
    return dict(sorted(table.items()))


def country_list(table):
    return "{\n" + keyed_lines(table.items()) + "\n}\n"


# ---------------------------------------------------------------- flags

def flag_style(codes):
    lines = [
        "/* Country flags: one 16x9 cell of the RESPNGFLAGS sprite per country code. */",
        '[class^="flag-"],[class*=" flag-"]{display:inline-block;width:%dpx;height:%dpx;'
        'background:url("%s") no-repeat 0 0;vertical-align:middle}'
        % (CELL_WIDTH, CELL_HEIGHT, SPRITE_ADDRESS),
    ]
    for index, code in enumerate(codes):
        offset = "0" if index == 0 else "-%dpx" % (index * CELL_HEIGHT)
        lines.append(".flag-%s{background-position:0 %s}" % (code, offset))
    return "\n".join(lines) + "\n"


def flag_cell(code):
    from PIL import Image  # only the sprite needs Pillow
    name = FLAG_FILES.get(code, code.lower())
    path = os.path.join(FLAGS_DIR, name + ".png")
    if os.path.exists(path):
        with Image.open(path) as picture:
            return picture.convert("RGBA").resize((CELL_WIDTH, CELL_HEIGHT),
                                                  Image.Resampling.LANCZOS), True
    cell = Image.new("RGBA", (CELL_WIDTH, CELL_HEIGHT), NEUTRAL_FRAME)
    cell.paste(NEUTRAL_FILL, (1, 1, CELL_WIDTH - 1, CELL_HEIGHT - 1))
    return cell, False


def flag_sprite(codes, path):
    from PIL import Image
    sprite = Image.new("RGBA", (CELL_WIDTH, CELL_HEIGHT * len(codes)), (0, 0, 0, 0))
    missing = []
    for index, code in enumerate(codes):
        cell, found = flag_cell(code)
        sprite.paste(cell, (0, index * CELL_HEIGHT))
        if not found:
            missing.append(code)
    sprite.save(path, format="PNG", optimize=False, compress_level=9)
    return missing


# ---------------------------------------------------------------- main

def main(arguments):
    sources = arguments[1] if len(arguments) > 1 else DEFAULT_SOURCES
    out = arguments[2] if len(arguments) > 2 else DEFAULT_OUT

    vehicles = read_vehicles(sources)
    header, expected = read_expected(sources)
    absent = [i for i in CLASS_VEHICLE_IDS + IVANERR_EXTRA if i not in vehicles]
    if absent:
        raise SystemExit("vehicles missing from vehicles.tsv: %s" % absent)

    write_text(out, "TanksInfo.json", tanks_info(vehicles))
    write_text(out, "TanksExpValues.json", tanks_exp_values(header, expected))
    write_text(out, "TanksIvanerr.json", tanks_ivanerr(vehicles, expected))
    write_text(out, "AchievementsList.json", achievements_list())
    table = countries()
    write_text(out, "CountryList.json", country_list(table))
    codes = list(table)
    write_text(out, "ResStyleFlags.css", flag_style(codes))
    missing = flag_sprite(codes, os.path.join(out, "RESPNGFLAGS.png"))
    print("vehicles %d, expected values %d, countries %d, flags without picture: %s"
          % (len(vehicles), len(expected), len(codes), " ".join(missing)))


if __name__ == "__main__":
    main(sys.argv)
