#!/usr/bin/env python3
"""Writes the recorded answers of the demo world and the merged snapshots expected from them.

    python3 tools/sample_api/demo/make_demo.py
    python3 tools/sample_api/demo/make_demo.py --bench-clan FOLDER [--members N]

The world: a small clan [VOLKI] of four players and one player without a clan, on the
Russian server, as the publisher's API, game portal and the side sites answered in early
December 2016. Values are invented but consistent: an account's statistics blocks are the
sums of its vehicles' blocks, so a fresh search gives no battle-count warning. Answers are
written compactly, the way the services send them.

expected/snapshot_ID.json is the merged account document the program should build from the
answers of account ID before its optimisation. It is derived here structurally, from the
parsed answers, not with the textual splicing the program uses:
  - the achievements answer's members come first in the account object,
  - for a clan member the membership answer's members come before them, with "role",
    "joined_at" and "account_name" moved into its "clan" object,
  - then the account info members, and the vehicles array beside the account.
The clan [STAL] of 32 generated members follows, with random generators of its own, so that adding it
changed none of the answers above. With --bench-clan the whole demo is written into FOLDER instead,
with a generated clan [BENCH] of N members (default 100) besides.
Running the script again rewrites every file with the same bytes (fixed random seeds).
"""
import argparse
import json
import os
import random
import struct
import zlib
from datetime import datetime, timezone

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..", "..")
TANKS = json.load(open(os.path.join(ROOT, "resources", "TanksInfo.json"), encoding="utf-8"))["data"]
IMAGE_FOLDER = TANKS["1"]["images"].rsplit("/", 1)[0] + "/"

FIELDS_INFO = ("account_id,nickname,updated_at,created_at,last_battle_time,logout_at,clan_id,global_rating,"
               "statistics")
EXTRA_INFO = ("statistics.random,statistics.globalmap_absolute,statistics.globalmap_champion,"
              "statistics.globalmap_middle,statistics.fallout")
FIELDS_MEMBERSHIP = "clan.clan_id,clan.tag,clan.name,clan.created_at,role,joined_at,account_name"
FIELDS_TANKS = ("tank_id,all,random,clan,company,globalmap,stronghold_defense,stronghold_skirmish,team,"
                "regular_team,fallout,max_xp,max_frags,mark_of_mastery")
EXTRA_TANKS = "random,fallout"
FIELDS_CLAN_LIST = "clan_id,tag,name,created_at,members_count"
FIELDS_CLAN_INFO = ("clan_id,tag,name,color,motto,updated_at,created_at,members_count,members.account_id,"
                    "members.account_name,members.joined_at,members.role")


def unix(text):
    return int(datetime.strptime(text, "%Y-%m-%d %H:%M:%S").replace(tzinfo=timezone.utc).timestamp())


CLAN = {"clan_id": 172431, "tag": "VOLKI", "name": "Волки Севера", "color": "#1E73BE",
        "motto": "Стая сильна волком, а волк — стаей.", "created_at": unix("2013-05-17 15:40:12"),
        "updated_at": unix("2016-12-05 06:02:44")}
NEIGHBOUR_CLAN = {"clan_id": 201876, "tag": "VOLKI_", "name": "Волчья стая", "created_at": unix("2014-10-02 09:11:40"),
                  "members_count": 17}

# nickname, id, clan role (None: no clan), joined, created, last battle, updated, logout, rating, vehicles.
PLAYERS = [
    ("Gromoboy_77", 4817293, "executive_officer", "2015-02-11 19:04:55", "2012-03-14 17:22:05",
     "2016-12-02 22:30:41", "2016-12-02 22:47:10", "2016-12-02 23:05:33", 6421,
     [1, 2561, 6657, 4353, 7937, 13825, 11777, 18689, 513, 5377, 49, 257, 273]),
    ("Mishka_Kosolapy", 9120544, None, None, "2014-08-09 10:15:00",
     "2016-12-04 18:12:20", "2016-12-04 18:30:02", "2016-12-04 18:40:00", 3187,
     [3329, 4609, 769, 1537, 1, 2561, 1313, 1553, 5137, 10497]),
    ("Tihiy_Omut", 5521930, "commander", "2013-05-17 15:40:12", "2011-09-02 08:00:31",
     "2016-12-05 09:10:03", "2016-12-05 09:24:40", "2016-12-05 09:31:12", 8204,
     [2561, 4353, 7937, 13825, 5377, 7169, 21761, 22529]),
    ("Ded_Pihto", 3209871, "private", "2014-01-20 12:30:00", "2011-04-22 19:45:10",
     "2016-11-29 20:01:00", "2016-11-29 20:15:27", "2016-11-29 20:40:00", 4590,
     [1, 11777, 18689, 513, 5377, 10497, 273]),
    ("Zhenya_Rzhevsky", 10452377, "recruit", "2016-11-20 17:00:00", "2015-06-30 14:20:00",
     "2016-12-04 16:48:09", "2016-12-04 17:02:00", "2016-12-04 17:20:00", 2110,
     [3329, 1025, 4609, 769, 1, 2561]),
    ("Bronya_Krepka", 7305518, None, None, "2013-02-11 18:00:00",
     "2016-12-04 21:40:00", "2016-12-04 21:55:00", "2016-12-04 22:10:00", 5210,
     [81, 113, 57857, 337, 369, 833, 2689, 401, 18977, 289, 321, 2833, 2945, 2369, 51809, 769, 849, 1089, 1809,
      33281, 40449, 1, 257, 2049, 2897, 33, 17, 273, 801, 1105, 1553, 145, 39249, 513, 1073, 1793, 2305, 305,
      35073, 1585, 1921, 3889, 4097, 49, 2337, 1841, 2097, 2593, 4929, 30465, 12033, 2417, 2433, 4737, 5937, 6225,
      14929, 3649, 3681, 3937]),
]

ACCOUNT_BLOCK_KEYS = [
    "spotted", "avg_damage_assisted_track", "max_damage_tank_id", "avg_damage_blocked", "direct_hits_received",
    "explosion_hits", "piercings_received", "piercings", "max_damage", "xp", "survived_battles",
    "dropped_capture_points", "hits_percents", "draws", "max_xp_tank_id", "battles", "damage_received",
    "avg_damage_assisted", "max_frags_tank_id", "frags", "avg_damage_assisted_radio", "max_xp", "capture_points",
    "hits", "battle_avg_xp", "wins", "losses", "damage_dealt", "no_damage_direct_hits_received", "max_frags", "shots",
    "explosion_hits_received", "tanking_factor"]
FALLOUT_EXTRA_KEYS = ["win_points", "max_win_points", "avatar_damage_dealt", "avatar_frags", "death_count",
                      "flag_capture", "flag_capture_solo", "resource_absorbed", "max_frags_with_avatar",
                      "max_damage_with_avatar"]
MAX_KEYS = {"max_damage", "max_damage_tank_id", "max_xp", "max_xp_tank_id", "max_frags", "max_frags_tank_id",
            "max_win_points", "max_frags_with_avatar", "max_damage_with_avatar"}
VEHICLE_BLOCK_KEYS = [k for k in ACCOUNT_BLOCK_KEYS if k not in MAX_KEYS]
VEHICLE_FALLOUT_KEYS = [k for k in FALLOUT_EXTRA_KEYS if k not in MAX_KEYS]
AVERAGES = ["avg_damage_assisted_track", "avg_damage_blocked", "avg_damage_assisted", "avg_damage_assisted_radio",
            "tanking_factor"]
COUNTERS = ["spotted", "direct_hits_received", "explosion_hits", "piercings_received", "piercings", "xp",
            "survived_battles", "dropped_capture_points", "draws", "battles", "damage_received", "frags",
            "capture_points", "wins", "losses", "damage_dealt", "no_damage_direct_hits_received", "shots", "hits",
            "explosion_hits_received", "win_points", "avatar_damage_dealt", "avatar_frags", "death_count",
            "flag_capture", "flag_capture_solo", "resource_absorbed"]
VEHICLE_MODES = ["all", "random", "clan", "company", "globalmap", "stronghold_defense", "stronghold_skirmish",
                 "team", "regular_team", "fallout"]


def battle_figures(rng, tier, battles, fallout=False):
    """Counters and averages of `battles` battles on a vehicle of `tier`, with the mode's best battle."""
    f = {k: 0 for k in COUNTERS}
    for k in AVERAGES:
        f[k] = 0.0
    best = {"xp": 0, "frags": 0, "damage": 0, "win_points": 0}
    if battles == 0:
        return f, best
    win_rate = rng.uniform(0.47, 0.57)
    f["battles"] = battles
    f["wins"] = round(battles * win_rate)
    f["draws"] = round(battles * 0.012)
    f["losses"] = battles - f["wins"] - f["draws"]
    f["survived_battles"] = round(battles * rng.uniform(0.25, 0.42))
    f["frags"] = round(battles * rng.uniform(0.6, 1.25))
    f["spotted"] = round(battles * rng.uniform(0.7, 1.6))
    damage = tier * rng.uniform(150, 230) + 60
    f["damage_dealt"] = round(battles * damage)
    f["damage_received"] = round(battles * damage * rng.uniform(0.75, 1.05))
    f["xp"] = round(battles * (tier * 55 + rng.uniform(120, 260)))
    f["shots"] = round(battles * rng.uniform(6, 11))
    hits = round(f["shots"] * rng.uniform(0.66, 0.8))
    f["piercings"] = round(hits * rng.uniform(0.7, 0.85))
    f["explosion_hits"] = round(hits * 0.05)
    f["direct_hits_received"] = round(battles * rng.uniform(5, 9))
    f["piercings_received"] = round(f["direct_hits_received"] * 0.7)
    f["no_damage_direct_hits_received"] = f["direct_hits_received"] - f["piercings_received"]
    f["explosion_hits_received"] = round(battles * 0.4)
    f["capture_points"] = round(battles * rng.uniform(0.5, 2.5))
    f["dropped_capture_points"] = round(battles * rng.uniform(0.4, 1.5))
    f["avg_damage_assisted_radio"] = round(damage * rng.uniform(0.1, 0.3), 2)
    f["avg_damage_assisted_track"] = round(damage * rng.uniform(0.05, 0.15), 2)
    f["avg_damage_assisted"] = round(f["avg_damage_assisted_radio"] + f["avg_damage_assisted_track"], 2)
    f["avg_damage_blocked"] = round(damage * rng.uniform(0.2, 0.6), 2)
    f["tanking_factor"] = round(rng.uniform(0.2, 0.55), 2)
    f["hits"] = hits
    if fallout:
        f["win_points"] = round(battles * rng.uniform(8, 14))
        f["avatar_damage_dealt"] = round(battles * rng.uniform(20, 90))
        f["avatar_frags"] = round(battles * rng.uniform(0.05, 0.2))
        f["death_count"] = round(battles * rng.uniform(1.2, 2.5))
        f["flag_capture"] = round(battles * 0.3)
        f["flag_capture_solo"] = round(battles * 0.1)
        f["resource_absorbed"] = round(battles * rng.uniform(30, 80))
    best = {"xp": round(f["xp"] / battles * rng.uniform(2.2, 3.2)),
            "frags": min(15, max(1, round(f["frags"] / battles * rng.uniform(4, 6)))),
            "damage": round(damage * rng.uniform(2.5, 3.6)),
            "win_points": round(f["win_points"] / battles * 2.5) if fallout else 0}
    return f, best


def block(figures, keys, best=None, best_tank=None):
    out = {}
    for key in keys:
        if key == "hits_percents":
            out[key] = round(figures["hits"] / figures["shots"] * 100) if figures.get("shots") else 0
        elif key == "battle_avg_xp":
            out[key] = figures["xp"] // figures["battles"] if figures.get("battles") else 0
        elif key in ("max_damage", "max_xp", "max_frags", "max_win_points"):
            out[key] = best[key[4:]] if best else 0
        elif key in ("max_damage_tank_id", "max_xp_tank_id", "max_frags_tank_id"):
            out[key] = best_tank[key[4:-8]] if best and best_tank and best[key[4:-8]] else None
        elif key in ("max_frags_with_avatar", "max_damage_with_avatar"):
            out[key] = 0
        else:
            out[key] = figures.get(key, 0)
    return out


def vehicle_battles(rng, tank_id, tier):
    all_random = rng.randint(60, 900) if tier < 10 else rng.randint(150, 700)
    globalmap = rng.randint(10, 60) if tier in (6, 8, 10) and rng.random() < 0.7 else 0
    skirmish = rng.randint(5, 40) if tier in (6, 8, 10) and rng.random() < 0.6 else 0
    defense = rng.randint(2, 12) if tier == 10 and rng.random() < 0.5 else 0
    company = rng.randint(5, 30) if tier in (6, 8) and rng.random() < 0.4 else 0
    team = rng.randint(3, 20) if tier in (6, 8) and rng.random() < 0.3 else 0
    regular_team = rng.randint(2, 10) if tier == 8 and rng.random() < 0.3 else 0
    fallout = rng.randint(5, 60) if tier in (8, 9, 10) and rng.random() < 0.5 else 0
    return {"random": all_random, "globalmap": globalmap, "stronghold_skirmish": skirmish,
            "stronghold_defense": defense, "company": company, "team": team, "regular_team": regular_team,
            "fallout": fallout}


def add_figures(total, figures):
    for key in COUNTERS:
        total[key] = total.get(key, 0) + figures.get(key, 0)
    for key in AVERAGES:  # battle-weighted sums, divided at the end
        total.setdefault("_" + key, 0.0)
        total["_" + key] += figures.get(key, 0.0) * figures.get("battles", 0)


def finish_averages(total):
    for key in AVERAGES:
        weighted = total.pop("_" + key, 0.0)
        total[key] = round(weighted / total["battles"], 2) if total.get("battles") else 0.0


def make_player(rng, player, home_clan=None, plan=None):
    """The answers of one player; `home_clan` is his clan (CLAN unless told), `plan` gives each vehicle's
    battles per mode (vehicle_battles unless told)."""
    home_clan = home_clan or CLAN
    plan = plan or vehicle_battles
    nickname, account_id, role, joined, created, last_battle, updated, logout, rating, tank_ids = player
    vehicles = []
    mode_totals = {m: {} for m in VEHICLE_MODES}
    mode_best = {m: ({"xp": 0, "frags": 0, "damage": 0, "win_points": 0}, {}) for m in VEHICLE_MODES}
    by_tier_globalmap = {10: {}, 8: {}, 6: {}}
    by_tier_best = {t: ({"xp": 0, "frags": 0, "damage": 0, "win_points": 0}, {}) for t in (10, 8, 6)}
    vehicle_frags = {}
    for tank_id in tank_ids:
        info = TANKS[str(tank_id)]
        tier = info["tier"]
        counts = plan(rng, tank_id, tier)
        figures = {}
        bests = {}
        for mode in ("random", "globalmap", "stronghold_skirmish", "stronghold_defense", "company", "team",
                     "regular_team"):
            figures[mode], bests[mode] = battle_figures(rng, tier, counts[mode])
        figures["fallout"], bests["fallout"] = battle_figures(rng, tier, counts["fallout"], fallout=True)
        clan = {}
        for part in ("globalmap", "stronghold_skirmish", "stronghold_defense"):
            add_figures(clan, figures[part])
        finish_averages(clan)
        figures["clan"] = clan
        everything = {}
        for part in ("random", "clan", "company"):
            add_figures(everything, figures[part])
        finish_averages(everything)
        figures["all"] = everything
        best_all = {k: max(bests[m][k] for m in ("random", "globalmap", "stronghold_skirmish",
                                                  "stronghold_defense", "company"))
                    for k in ("xp", "frags", "damage")}
        vehicle = {}
        for mode in VEHICLE_MODES:
            keys = VEHICLE_BLOCK_KEYS + (VEHICLE_FALLOUT_KEYS if mode == "fallout" else [])
            vehicle[mode] = block(figures[mode], keys)
            add_figures(mode_totals[mode], figures[mode])
            best = best_all if mode in ("all", "clan") else bests[mode]
            for k in ("xp", "frags", "damage", "win_points"):
                if best.get(k, 0) > mode_best[mode][0][k]:
                    mode_best[mode][0][k] = best[k]
                    mode_best[mode][1][k] = tank_id
        if tier in by_tier_globalmap:
            add_figures(by_tier_globalmap[tier], figures["globalmap"])
            for k in ("xp", "frags", "damage"):
                if bests["globalmap"][k] > by_tier_best[tier][0][k]:
                    by_tier_best[tier][0][k] = bests["globalmap"][k]
                    by_tier_best[tier][1][k] = tank_id
        mastery = rng.choice([0, 1, 2, 2, 3, 3, 4]) if everything["battles"] > 100 else rng.choice([0, 1])
        vehicle["max_xp"] = best_all["xp"]
        vehicle["max_frags"] = best_all["frags"]
        vehicle["mark_of_mastery"] = mastery
        vehicle["tank_id"] = tank_id
        vehicles.append(vehicle)
        vehicle_frags[str(tank_id)] = round(everything["frags"] * rng.uniform(0.9, 1.0))
    for totals in list(mode_totals.values()) + list(by_tier_globalmap.values()):
        finish_averages(totals) if totals else None

    def account_block(totals, best, fallout=False):
        keys = ACCOUNT_BLOCK_KEYS + (FALLOUT_EXTRA_KEYS if fallout else [])
        if not totals.get("battles"):
            zero, _ = battle_figures(rng, 1, 0)
            return block(zero, keys)
        return block(totals, keys, best[0], best[1])

    statistics = {
        "clan": account_block(mode_totals["clan"], mode_best["clan"]),
        "stronghold_skirmish": account_block(mode_totals["stronghold_skirmish"], mode_best["stronghold_skirmish"]),
        "regular_team": account_block(mode_totals["regular_team"], mode_best["regular_team"]),
        "company": account_block(mode_totals["company"], mode_best["company"]),
        "stronghold_defense": account_block(mode_totals["stronghold_defense"], mode_best["stronghold_defense"]),
        "all": account_block(mode_totals["all"], mode_best["all"]),
        "random": account_block(mode_totals["random"], mode_best["random"]),
        "globalmap_absolute": account_block(by_tier_globalmap[10], by_tier_best[10]),
        "globalmap_champion": account_block(by_tier_globalmap[8], by_tier_best[8]),
        "globalmap_middle": account_block(by_tier_globalmap[6], by_tier_best[6]),
        "fallout": account_block(mode_totals["fallout"], mode_best["fallout"], fallout=True),
        "historical": account_block({}, None),
        "team": account_block(mode_totals["team"], mode_best["team"]),
        "frags": vehicle_frags,
        "trees_cut": round(mode_totals["all"].get("battles", 0) * rng.uniform(1.5, 3.5)),
    }
    account = {"last_battle_time": unix(last_battle) if last_battle else 0, "account_id": account_id, "created_at": unix(created),
               "updated_at": unix(updated), "global_rating": rating,
               "clan_id": home_clan["clan_id"] if role else None, "statistics": statistics,
               "nickname": nickname, "logout_at": unix(logout)}
    battles = mode_totals["all"].get("battles", 0)
    achievements = {
        "achievements": {
            "warrior": battles // 220, "invader": battles // 180, "defender": battles // 260,
            "steelwall": battles // 150, "supporter": battles // 400, "scout": battles // 170,
            "evileye": battles // 600, "mainGun": battles // 500, "medalKay": 4 if battles > 5000 else 2,
            "medalCarius": 3, "medalKnispel": 3 if battles > 5000 else 1, "medalPoppel": 2, "medalAbrams": 2,
            "medalLeClerc": 1, "medalLavrinenko": 2, "medalEkins": 1, "titleSniper": 1, "invincible": 1,
            "diehard": 3, "armorPiercer": 1, "handOfDeath": 2, "aimer": 1, "medalKolobanov": 1 if battles > 5000 else 0,
            "medalRadleyWalters": battles // 2500, "medalLafayettePool": battles // 4000, "heroesOfRassenay": 0,
            "medalFadin": 1, "beasthunter": 2, "sinai": 1, "lumberjack": 5, "raider": 1, "kamikaze": 1,
            "impenetrable": 4, "shootToKill": 10, "fighter": 3, "duelist": 12, "reliableComrade": 25,
            "tankExpert0": 1 if battles > 5000 else 0, "mechanicEngineer0": 1 if battles > 8000 else 0,
            "ironMan": 6, "sturdy": 9, "luckyDevil": 5, "charmed": 7, "kingOfTheHill": 2, "mousebane": 1,
            "sniper": 1, "fallout": 1 if mode_totals["fallout"].get("battles") else 0},
        "frags": {"beasthunter": 9, "sinai": 61, "pattonValley": 4, "mousebane": 3, "tankExpert0": 37,
                  "mechanicEngineer0": 120},
        "max_series": {"armorPiercer": 14, "titleSniper": 9, "aimer": 6, "invincible": 5, "diehard": 17,
                       "handOfDeath": 4, "tacticalBreakthrough": 2, "victoryMarch": 3},
    }
    membership = None
    if role:
        membership = {"clan": {"created_at": home_clan["created_at"], "tag": home_clan["tag"],
                               "name": home_clan["name"], "clan_id": home_clan["clan_id"]},
                      "role": role, "joined_at": unix(joined), "account_name": nickname}
    return account, achievements, membership, vehicles


def dump(value):
    return json.dumps(value, ensure_ascii=False, separators=(",", ":"))


# The folder the answers are written to: the demo itself, or a copy of it (--bench-clan).
OUT = HERE


def write(relative, text):
    write_bytes(relative, text.encode("utf-8"))


def write_bytes(relative, data):
    path = os.path.join(OUT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def single(account_id, value):
    return dump({"status": "ok", "meta": {"count": 1}, "data": {str(account_id): value}})


def expected_snapshot(account_id, account, achievements, membership, vehicles):
    merged = {}
    if membership:
        clan = dict(membership["clan"])
        clan.update({k: v for k, v in membership.items() if k != "clan"})
        merged["clan"] = clan
    merged.update(achievements)
    merged.update(account)
    return dump({"status": "ok", "data": {str(account_id): merged, "vehicles": vehicles}})


# Days of the stored history of a player, newest first (a gap after 27 November).
HISTORY_DAYS = {4817293: ["2016-12-01", "2016-11-30", "2016-11-29", "2016-11-28", "2016-11-26", "2016-11-25",
                          "2016-11-24", "2016-11-23"],
                7305518: ["2016-12-03", "2016-12-02", "2016-12-01", "2016-11-30", "2016-11-29", "2016-11-28"]}
DAY_MODES = ("all", "random")


def fewer_battles(figures, removed):
    """The block's counters less the share of `removed` of its battles; what was taken off."""
    battles = figures["battles"]
    taken = {}
    for key in COUNTERS:
        if key in figures and key not in ("battles", "losses"):
            taken[key] = round(figures[key] * removed / battles)
    taken["battles"] = removed
    taken["losses"] = removed - taken.get("wins", 0) - taken.get("draws", 0)
    return taken


def subtract(figures, taken):
    for key, value in taken.items():
        figures[key] -= value
    figures["battle_avg_xp"] = figures["xp"] // figures["battles"] if figures["battles"] else 0
    figures["hits_percents"] = round(figures["hits"] / figures["shots"] * 100) if figures["shots"] else 0


def history_states(rng, account, vehicles, days):
    """The account and vehicles as they stood at the end of each of `days` (newest first): each day a few
    random battles fewer on some vehicles, the account's blocks less the same."""
    account = json.loads(json.dumps(account))
    vehicles = json.loads(json.dumps(vehicles))
    states = []
    for day in days:
        for vehicle in vehicles:
            random_block = vehicle["random"]
            if random_block["battles"] < 10 or rng.random() < 0.4:
                continue
            taken = fewer_battles(random_block, rng.randint(1, 6))
            for mode in DAY_MODES:
                subtract(vehicle[mode], taken)
                subtract(account["statistics"][mode], taken)
        account["updated_at"] = unix(day + " 20:40:00")
        account["last_battle_time"] = unix(day + " 20:25:00")
        account["logout_at"] = unix(day + " 20:50:00")
        states.append((day, json.loads(json.dumps(account)), json.loads(json.dumps(vehicles))))
    return states


def front_stats(rng, account_id):
    first = rng.randint(400, 3200)
    return dump({"status": "ok", "fronts": [
        {"front_id": "steel_corrida_first_step_bg", "name": "Основной фронт", "fame_points": first,
         "rank": rng.randint(3000, 60000)},
        {"front_id": "steel_corrida_first_step_adv", "name": "Продвинутый фронт", "fame_points": 0, "rank": 0}]})


# The alliance site's clan page; the program reads the alliance link and its colour mark.
ALLIANCE_PAGE = """<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<title>[VOLKI] Волки Севера — кланы и альянсы</title>
</head>
<body>
<div class="clan-card">
<h1>[VOLKI] Волки Севера</h1>
<table class="clan-info">
<tr><td>Игроков:</td><td>4</td></tr>
<tr><td>Создан:</td><td>17.05.2013</td></tr>
<tr><td>Альянс:</td><td> <a href="/lt/alliance/38">Северный Альянс</a> <span style="color:#4A90D9">&#9632;</span></td></tr>
<tr><td>Провинций:</td><td>2</td></tr>
</table>
</div>
<p class="footer">Данные обновляются раз в сутки.</p>
</body>
</html>
"""

REPLAYS = {4817293: 23, 5521930: 57, 7305518: 4}
LOCATIONS = {4817293: ("RU", "Свердловская область", "Екатеринбург"), 5521930: ("RU", "Москва", "Москва"),
             3209871: ("BY", "Минская область", "Минск"), 10452377: ("RU", "Пермский край", "Пермь"),
             7305518: ("UA", "Киевская область", "Белая Церковь")}


def png(width, height, pixel):
    """A PNG of RGBA pixels; pixel(x, y) gives each one as (r, g, b, a)."""
    rows = []
    for y in range(height):
        row = bytearray([0])
        for x in range(width):
            row.extend(pixel(x, y))
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) +
            chunk(b"IEND", b""))


def emblem_png(size, colour):
    """A round emblem: the clan colour with a white ring and a white wolf's-ear chevron."""
    red, green, blue = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    centre = (size - 1) / 2

    def pixel(x, y):
        dx, dy = (x - centre) / (size / 2), (y - centre) / (size / 2)
        radius = (dx * dx + dy * dy) ** 0.5
        chevron = abs(abs(dx) - (dy + 0.45) * 0.6) < 0.12 and -0.45 < dy < 0.5
        if radius > 1.0:
            return (0, 0, 0, 0)
        if radius > 0.82 or chevron:
            return (255, 255, 255, 255)
        return (red, green, blue, 255)

    return png(size, size, pixel)


# The contour pictures of the encyclopedia, one look per vehicle class.
CONTOUR_COLOURS = {"lightTank": (120, 190, 90), "mediumTank": (220, 190, 80), "heavyTank": (200, 90, 70),
                   "AT-SPG": (90, 150, 210), "SPG": (170, 120, 200)}


def contour_png(vehicle_type):
    """An 80 x 24 silhouette facing left: tracks, hull, turret and gun in the colour of the class."""
    colour = CONTOUR_COLOURS.get(vehicle_type, (180, 180, 180)) + (255,)
    turret_at = {"AT-SPG": None, "SPG": 50}.get(vehicle_type, 40)

    def pixel(x, y):
        tracks = 18 <= y <= 22 and 10 <= x <= 74
        hull = 11 <= y <= 17 and 6 <= x <= 76
        turret = turret_at is not None and 5 <= y <= 10 and turret_at - 10 <= x <= turret_at + 12
        gun = 7 <= y <= 8 and 0 <= x < (turret_at or 20)
        return colour if tracks or hull or turret or gun else (0, 0, 0, 0)

    return png(80, 24, pixel)


# Clan roles, highest rank first.
ROLE_RANKS = ["commander", "executive_officer", "personnel_officer", "combat_officer", "intelligence_officer",
              "quartermaster", "recruitment_officer", "junior_officer", "private", "recruit", "reservist"]

STAL = {"clan_id": 215903, "tag": "STAL", "name": "Стальной легион", "color": "#8A8F98",
        "motto": "Броня крепка, и танки наши быстры.", "created_at": unix("2014-03-08 12:00:00"),
        "updated_at": unix("2016-12-05 05:48:10")}
STAL_NAMES = ["Stalevar", "Kuvalda_86", "Bronebojshik", "Molot_Tora", "Tankist_Vasya", "Gusenica", "Snaryad_Bb",
              "Polkovnik_Mih", "Ryzhiy_Ap", "Kirpich_Lom", "Lesnik_Ivanov", "Mehvod_Sanych", "Zvezdochka",
              "Pulemetchik", "Nakovalnya", "Bereza_Rus", "Dyadya_Fedor", "Krepysh_K", "Oskolok_92", "Batya_Panzer",
              "Sever_Veter", "Ugolek", "Vityaz_777", "Bolt_i_Gaika", "Zhelezo", "Kolobok_Tank", "Ural_Bat",
              "Seryy_Volk", "Tishina", "Novichok_2016", "Mirniy_Zhitel", "Klanovik_Vova"]
# A clan of many generated members for the clan-collection benchmark (--bench-clan).
BENCH = {"clan_id": 300117, "tag": "BENCH", "name": "Сотня", "color": "#B5482E",
         "motto": "Сто бойцов, один строй.", "created_at": unix("2012-09-14 18:30:00"),
         "updated_at": unix("2016-12-05 06:10:00")}
PLACES = [("RU", "Москва", "Москва"), ("RU", "Новосибирская область", "Новосибирск"),
          ("RU", "Татарстан", "Казань"), ("BY", "Гомельская область", "Гомель"), ("KZ", "Алматы", "Алматы")]

# The vehicles the generated members play: a choice of the listed tier-10 vehicles of every class, and the
# other vehicles of the demo players, whose pictures the demo has anyway.
LISTED_POOL = [10785, 7169, 58369, 6225, 3937, 6929, 9489,  # heavy
               13825, 3649, 3681, 16897, 15905, 12305,  # medium
               12049, 13569, 13889, 9297,  # tank destroyers
               8481, 8705, 11841]  # self-propelled guns
PICTURED = {tank_id for player in PLAYERS for tank_id in player[-1]}
OTHER_POOL = sorted(PICTURED - set(LISTED_POOL) - {10785, 14881, 6929, 9489, 58641, 7169, 58369, 6145, 6209, 5425,
                                                   6225, 3937, 14113, 15905, 12305, 14609, 13825, 16897, 17153,
                                                   3649, 15425, 4145, 7249, 3681, 15617, 61697, 13857, 13089,
                                                   12049, 16913, 13569, 14337, 13889, 9297, 13905, 8481, 9233,
                                                   8705, 11841, 12369})

NO_ALLIANCE_PAGE = """<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<title>[{tag}] {name} — кланы и альянсы</title>
</head>
<body>
<div class="clan-card">
<h1>[{tag}] {name}</h1>
<table class="clan-info">
<tr><td>Игроков:</td><td>{members}</td></tr>
<tr><td>Альянс:</td><td>нет</td></tr>
</table>
</div>
</body>
</html>
"""


def clan_battles_only(rng, tank_id, tier):
    """Battles on the global map and in skirmishes, none in random battles."""
    counts = dict.fromkeys(("random", "globalmap", "stronghold_skirmish", "stronghold_defense", "company", "team",
                            "regular_team", "fallout"), 0)
    counts["globalmap"] = rng.randint(10, 60)
    counts["stronghold_skirmish"] = rng.randint(5, 40)
    return counts


def stamp(seconds):
    return datetime.fromtimestamp(seconds, timezone.utc).strftime("%Y-%m-%d %H:%M:%S")


def clan_roles(count):
    """A commander, every other rank at least once, the rest privates."""
    roles = ["commander"] + [role for role in ROLE_RANKS[1:] for _ in range(max(1, count // 30))]
    return roles[:count] + ["private"] * (count - len(roles))


def clan_players(rng, clan, names, first_id, special=False):
    """(player row as in PLAYERS, battle plan) for each name. With `special`, the last three are a member
    who never fought, one whose battles are all on vehicles that are not listed, and one without random
    battles."""
    rows = []
    roles = clan_roles(len(names))
    newest_battle = unix("2016-12-05 09:00:00")
    for i, name in enumerate(names):
        account_id = first_id + i * 37
        created = unix("2011-01-01 00:00:00") + rng.randint(0, 1700) * 86400 + rng.randint(0, 86399)
        joined = max(clan["created_at"], created) + rng.randint(1, 400) * 86400
        last_battle = newest_battle - rng.randint(0, 12 * 86400)
        tank_ids = rng.sample(LISTED_POOL, rng.randint(3, 12)) + rng.sample(OTHER_POOL, rng.randint(3, 10))
        plan = None
        kind = len(names) - i if special else 0
        if kind == 3:
            tank_ids, last_battle = [], None
        elif kind == 2:
            tank_ids = rng.sample(OTHER_POOL, 6)
        elif kind == 1:
            plan = clan_battles_only
        seen = last_battle or newest_battle - 20 * 86400
        rows.append(((name, account_id, roles[i], stamp(joined), stamp(created),
                      stamp(last_battle) if last_battle else None, stamp(seen + 900), stamp(seen + 1800),
                      rng.randint(1500, 9500), tank_ids), plan))
    return rows


class Routes:
    """The routes of routes.json, in the order they are tried."""

    def __init__(self):
        self.entries = []

    def add(self, path, query, file, **extra):
        entry = {"path": path}
        if query is not None:
            entry["query"] = query
        entry.update(extra)
        entry["file"] = file
        self.entries.append(entry)

    def text(self):
        return '{"routes": [\n' + ",\n".join("  " + json.dumps(r, ensure_ascii=False) for r in self.entries) + "\n]}\n"


def replays_answer(account_id, nickname, count):
    if count is None:
        return {"isOk": False, "error": "Player not found"}
    return {"isOk": True, "data": {
        "wgId": account_id, "nickname": nickname,
        "url": f"https://wotreplays.ru/site/index/player/{account_id}",
        "replayCount": count,
        "videoUrls": [f"https://www.youtube.com/watch?v=wr{account_id}a",
                      f"https://www.youtube.com/watch?v=wr{account_id}b"]}}


def location_answer(account_id, place):
    if place is None:
        return {"status": 3, "accountId": account_id, "city": None, "region": None, "country": None}
    country, region, city = place
    return {"status": 1, "accountId": account_id, "city": city, "region": region, "country": country}


def add_player(rng, routes, player, clan=None, plan=None, replays=None, place=None, expected=True):
    """Every answer about one player and its routes; the player's answers and, for a clan member, his entry
    of the clan's member list."""
    nickname, account_id, role, joined = player[0], player[1], player[2], player[3]
    account, achievements, membership, vehicles = make_player(rng, player, clan, plan)
    low = nickname.lower()
    write(f"api/account_list_{low}.json",
          dump({"status": "ok", "meta": {"count": 1}, "data": [{"nickname": nickname, "account_id": account_id}]}))
    write(f"api/account_info_{account_id}.json", single(account_id, account))
    write(f"api/account_achievements_{account_id}.json", single(account_id, achievements))
    write(f"api/tanks_stats_{account_id}.json", single(account_id, vehicles))
    if expected:
        write(f"expected/snapshot_{account_id}.json",
              expected_snapshot(account_id, account, achievements, membership, vehicles))
    for typed in (nickname, low):  # the publisher's search ignores letter case
        routes.add("/wot/account/list/", {"search": typed, "limit": "1"}, f"api/account_list_{low}.json")
    routes.add("/wot/account/info/", {"account_id": str(account_id), "fields": FIELDS_INFO, "extra": EXTRA_INFO},
               f"api/account_info_{account_id}.json")
    routes.add("/wot/account/achievements/", {"account_id": str(account_id)},
               f"api/account_achievements_{account_id}.json")
    member = None
    if membership:
        write(f"api/clans_membersinfo_{account_id}.json", single(account_id, membership))
        routes.add("/wgn/clans/membersinfo/", {"account_id": str(account_id), "fields": FIELDS_MEMBERSHIP},
                   f"api/clans_membersinfo_{account_id}.json")
        member = {"role": role, "joined_at": unix(joined), "account_id": account_id, "account_name": nickname}
    routes.add("/wot/tanks/stats/", {"account_id": str(account_id), "fields": FIELDS_TANKS, "extra": EXTRA_TANKS},
               f"api/tanks_stats_{account_id}.json")
    write(f"portal/front_stats_{account_id}.json", front_stats(rng, account_id))
    routes.add(f"/community/accounts/{account_id}/get_front_stats/", None, f"portal/front_stats_{account_id}.json",
               require_headers={"X-Requested-With": "XMLHttpRequest"})
    write(f"replays/player_{account_id}.json", dump(replays_answer(account_id, nickname, replays)))
    routes.add("/sApi/v3/player.getInfo", {"wgId": str(account_id)}, f"replays/player_{account_id}.json")
    write(f"location/user_{account_id}.json", dump(location_answer(account_id, place)))
    routes.add("/api/usercacheget/", {"accountId": str(account_id)}, f"location/user_{account_id}.json")
    return (account, achievements, membership, vehicles), member


def add_clan(routes, clan, members, neighbours=()):
    """The clan's list answer (with the clans whose tags also match), its info with the member list in rank
    order, and its emblems."""
    members.sort(key=lambda m: ROLE_RANKS.index(m["role"]))
    clan_id = clan["clan_id"]
    low = clan["tag"].lower()
    listed = dict(clan, members_count=len(members))
    found = [listed] + list(neighbours)
    write(f"api/clans_list_{low}.json", dump({"status": "ok", "meta": {"count": len(found), "total": len(found)},
                                              "data": [{k: c[k] for k in ("members_count", "name", "created_at",
                                                                          "tag", "clan_id")} for c in found]}))
    for typed in (clan["tag"], low):
        routes.add("/wgn/clans/list/", {"search": typed, "order_by": "tag", "fields": FIELDS_CLAN_LIST},
                   f"api/clans_list_{low}.json")
    return clan_id


def add_clan_info(routes, clan, members):
    clan_id = clan["clan_id"]
    clan_info = {"members_count": len(members), "name": clan["name"], "color": clan["color"],
                 "created_at": clan["created_at"], "tag": clan["tag"], "updated_at": clan["updated_at"],
                 "motto": clan["motto"], "clan_id": clan_id, "members": members}
    write(f"api/clans_info_{clan_id}.json", single(clan_id, clan_info))
    routes.add("/wgn/clans/info/", {"clan_id": str(clan_id), "fields": FIELDS_CLAN_INFO},
               f"api/clans_info_{clan_id}.json")
    for size in (64, 32, 24):
        name = f"emblems/emblem_{clan_id}_{size}x{size}.png"
        write_bytes(name, emblem_png(size, clan["color"]))
        routes.add(f"/clans/media/clans/emblems/cl_{str(clan_id)[-3:]}/{clan_id}/emblem_{size}x{size}.png", None,
                   name)


def write_pictures(tank_ids):
    """The contour pictures of these vehicles; the folder they are served from."""
    contour_folder = None
    for tank_id in sorted(tank_ids):
        folder, name = TANKS[str(tank_id)]["images"].rsplit("/", 1)
        contour_folder = folder.split("://", 1)[1].split("/", 1)[1]
        write_bytes(os.path.join("pictures", name), contour_png(TANKS[str(tank_id)]["type"]))
    return contour_folder


def main_world(routes):
    """The demo world as it has always been: the clan [VOLKI] and two players without a clan."""
    rng = random.Random(20161205)
    members = []
    history = []
    for player in PLAYERS:
        account_id = player[1]
        answers, member = add_player(rng, routes, player, replays=REPLAYS.get(account_id),
                                     place=LOCATIONS.get(account_id))
        if account_id in HISTORY_DAYS:
            history.append((account_id,) + answers)
        if member:
            members.append(member)

    routes.add("/wot/account/list/", {"search": "*", "limit": "1"}, "api/account_list_nobody.json")
    catch_all_at = len(routes.entries) - 1
    write("api/account_list_nobody.json", dump({"status": "ok", "meta": {"count": 0}, "data": []}))

    add_clan(routes, CLAN, members, [NEIGHBOUR_CLAN])
    write("api/clans_list_nothing.json", dump({"status": "ok", "meta": {"count": 0, "total": 0}, "data": []}))
    routes.add("/wgn/clans/list/", {"search": "*", "order_by": "tag", "fields": FIELDS_CLAN_LIST},
               "api/clans_list_nothing.json")
    add_clan_info(routes, CLAN, members)
    # The vehicle pictures the players' vehicles name; the encyclopedia's addresses
    # are on the API host, so with the API host pointed at the service they come from here.
    contour_folder = write_pictures({tank_id for player in PLAYERS for tank_id in player[-1]})
    routes.entries.append({"path": f"/{contour_folder}/", "folder": "pictures"})
    write(f"alliance/clan_{CLAN['clan_id']}.html", ALLIANCE_PAGE)
    routes.add(f"/lt/clan/{CLAN['clan_id']}", None, f"alliance/clan_{CLAN['clan_id']}.html")

    history_rng = random.Random(20161123)
    for account_id, account, achievements, membership, vehicles in history:
        for day, older, older_vehicles in history_states(history_rng, account, vehicles, HISTORY_DAYS[account_id]):
            write(f"history/{account_id}/{day}.json",
                  expected_snapshot(account_id, older, achievements, membership, older_vehicles))
    return catch_all_at


def add_generated_clan(routes, rng, clan, players):
    """A clan of generated members (see clan_players) with every answer about them."""
    members = []
    for player, plan in players:
        replays = rng.randint(1, 40) if rng.random() < 0.3 else None
        place = rng.choice(PLACES) if rng.random() < 0.6 else None
        _, member = add_player(rng, routes, player, clan, plan, replays, place, expected=False)
        members.append(member)
    add_clan(routes, clan, members)
    add_clan_info(routes, clan, members)
    write(f"alliance/clan_{clan['clan_id']}.html", NO_ALLIANCE_PAGE.format(tag=clan["tag"], name=clan["name"],
                                                                          members=len(members)))
    routes.add(f"/lt/clan/{clan['clan_id']}", None, f"alliance/clan_{clan['clan_id']}.html")
    write_pictures({tank_id for player, _ in players for tank_id in player[-1]} - PICTURED)


# The reference documents as the publisher's encyclopedia and the community's table of
# WN8 expected values would give them on 8 December 2026: every vehicle of the
# embedded encyclopedia and one added since, and a newer table that also rates it.
FIELDS_ENCYCLOPEDIA = "tank_id,name,short_name,nation,type,tier,is_premium,tag,images"
ENCYCLOPEDIA_PAGE = 100
ENCYCLOPEDIA_STAMP = {"tanks_updated_at": unix("2026-11-30 12:00:00"), "game_version": "1.35.0.0"}
EXPECTED_VERSION = "2026-12-07"
NEW_VEHICLES = {
    70401: {"tank_id": 70401, "nation": "ussr", "tag": "R210_Object_2026", "is_premium": False,
            "type": "heavyTank", "tier": 8, "name": "Объект 2026",
            "images": IMAGE_FOLDER + "ussr-r210_object_2026.png"},
}
NEW_EXPECTED = {70401: {"expFrag": 0.912, "expDamage": 1711.25, "expSpot": 1.104, "expDef": 0.684,
                        "expWinRate": 51.372}}
# A player who fought on the added vehicle.
TESTER = ("Ispytatel_2026", 12500001, None, None, "2015-03-03 11:00:00",
          "2016-12-04 19:30:00", "2016-12-04 19:45:00", "2016-12-04 20:00:00", 4120, [1, 2561, 70401])


def encyclopedia_vehicle(vehicle):
    """A vehicle as /wot/encyclopedia/vehicles/ gives it: the short name is the name the program shows."""
    contour = vehicle["images"]
    return {"tank_id": vehicle["tank_id"], "name": vehicle["name"], "short_name": vehicle["name"],
            "nation": vehicle["nation"], "type": vehicle["type"], "tier": vehicle["tier"],
            "is_premium": vehicle["is_premium"], "tag": vehicle["tag"],
            "images": {"small_icon": contour.replace("/contour/", "/small/"), "contour_icon": contour,
                       "big_icon": contour.replace("/contour/", "/")}}


def add_reference(routes):
    """The encyclopedia's info and its pages, and the published table of expected values."""
    write("api/encyclopedia_info.json", dump({"status": "ok", "meta": {"count": 1}, "data": ENCYCLOPEDIA_STAMP}))
    routes.add("/wot/encyclopedia/info/", {"fields": "tanks_updated_at,game_version", "language": "ru"},
               "api/encyclopedia_info.json")
    ids = sorted(int(tank_id) for tank_id in TANKS)
    pages = [ids[i:i + ENCYCLOPEDIA_PAGE] for i in range(0, len(ids), ENCYCLOPEDIA_PAGE)]
    for number, page in enumerate(pages, 1):
        meta = {"count": len(page), "page_total": len(pages), "total": len(ids), "limit": ENCYCLOPEDIA_PAGE,
                "page": number}
        data = {str(tank_id): encyclopedia_vehicle(TANKS[str(tank_id)]) for tank_id in page}
        write(f"api/encyclopedia_vehicles_{number}.json", dump({"status": "ok", "meta": meta, "data": data}))
        routes.add("/wot/encyclopedia/vehicles/", {"fields": FIELDS_ENCYCLOPEDIA, "language": "ru",
                                                   "limit": str(ENCYCLOPEDIA_PAGE), "page_no": str(number)},
                   f"api/encyclopedia_vehicles_{number}.json")
    embedded = json.load(open(os.path.join(ROOT, "resources", "TanksExpValues.json"), encoding="utf-8"))
    substituted = {int(removed) for removed in embedded["header"].get("substitutes", {})}
    rows = {int(tank_id): values for tank_id, values in embedded["data"].items() if int(tank_id) not in substituted}
    rows.update(NEW_EXPECTED)
    table = [dict({"IDNum": tank_id}, expDef=v["expDef"], expFrag=v["expFrag"], expSpot=v["expSpot"],
                  expDamage=v["expDamage"], expWinRate=v["expWinRate"]) for tank_id, v in sorted(rows.items())]
    write("reference/wn8exp.json", dump({"header": {"version": EXPECTED_VERSION}, "data": table}))
    routes.add("/wn8-data-exp/json/wn8exp.json", None, "reference/wn8exp.json")


def main():
    global OUT
    parser = argparse.ArgumentParser(description="Writes the demo answers.")
    parser.add_argument("--bench-clan", metavar="FOLDER",
                        help="write a copy of the demo with a generated clan [BENCH] into FOLDER instead")
    parser.add_argument("--members", type=int, default=100, help="members of the generated clan (default 100)")
    arguments = parser.parse_args()
    if arguments.bench_clan:
        OUT = os.path.abspath(arguments.bench_clan)
    routes = Routes()
    catch_all_at = main_world(routes)
    # Later clans come after everything above, each with its own generator, so the
    # answers above stay as they are; their routes go before the catch-all searches.
    first_added = len(routes.entries)
    add_generated_clan(routes, random.Random(20161206), STAL, clan_players(random.Random(20161207), STAL,
                                                                           STAL_NAMES, 11302201, special=True))
    # The vehicle added after the embedded encyclopedia, its player and the documents that know it.
    TANKS.update({str(tank_id): vehicle for tank_id, vehicle in NEW_VEHICLES.items()})
    add_player(random.Random(20261208), routes, TESTER, expected=False)
    write_pictures(TESTER[-1])
    add_reference(routes)
    if arguments.bench_clan:
        names = [f"Bench_{i:03d}" for i in range(1, arguments.members + 1)]
        add_generated_clan(routes, random.Random(20161208), BENCH,
                           clan_players(random.Random(20161209), BENCH, names, 13400001))
    added = routes.entries[first_added:]
    del routes.entries[first_added:]
    routes.entries[catch_all_at:catch_all_at] = added
    write("routes.json", routes.text())


if __name__ == "__main__":
    main()
