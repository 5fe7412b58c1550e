#!/usr/bin/env python3
"""Writes the definition files in data/ from the tables of facts about the
game's level data (objects.tsv, extended.tsv, sprites.tsv, levels.tsv,
entrances.tsv, free_space.tsv, level_areas.tsv).

The build does not run this; the generated files are kept in the repository.
Run it again after the fact tables change:

    python3 tools/gen_definitions.py --ref ../shared/reference --out data
"""
import argparse
import csv
import os
import re
import sys

# ---- colours --------------------------------------------------------------
# Light colours only: labels are drawn in black (objects), blue (extended
# objects) and green (sprites) over the fill.
GRASS = "B4DC96"       # land with grass, jungle, forest, flower ground
EARTH = "D8BE98"       # dirt, rock, caves, ice and other plain terrain
MASONRY = "D2C2B4"     # castle, brick and sewer terrain
BG_WALL = "E6DCCE"     # background walls that hide what lies behind them
PLATFORM = "EAD6A2"    # ledges, thin platforms, posts and poles
PIPE = "A8C8EC"        # pipes
WATER = "AAD6F6"       # water fills and waterfalls
LAVA = "F6AE90"        # lava
SPIKES = "F2A2AA"      # thorns and spikes
COIN = "F8E67C"        # coins
RED_COIN = "F8CE72"    # red coins
SWITCH = "FAEEA4"      # ! switch blocks
INTRODUCER = "A8E4E4"  # row 00
END_MARK = "C8C8C8"    # row FF

EXT_DEFAULT = "A8E4E4"
EXT_GREEN = "B0ECD6"   # flower, jungle, forest and dirt pieces
EXT_STONE = "9CD6DC"   # castle, fort, sewer and block pieces
EXT_SKY = "C8F2F6"     # clouds and sky pieces
EXT_COMMAND = "B8D2D2" # commands that draw nothing

SPR_ENEMY = "D6BEF4"
SPR_BOSS = "F2B6E6"
SPR_ITEM = "F8E88C"
SPR_PLATFORM = "EAD6A8"
SPR_DOOR = "B4D2F2"    # doors, entrances and pipes
SPR_HAZARD = "F4AAAA"
SPR_CONTROL = "D4D4D4" # generators, stoppers, scroll locks
SPR_PALETTE = "C4C4C4" # palette changers and autoscroll
SPR_INVALID = "B4B4B4" # unused IDs

# Objects that are backgrounds or large fills: drawn as dashed outlines in
# the cross-section view so that what lies behind them can be reached.
CROSS_SECTION_OBJECTS = {0x35, 0x7A, 0x7F, 0xB0, 0xCB, 0xDC}
CROSS_SECTION_EXTENDED = {0x83}

# Sprite names of the fact table that are too long for a label.
SPRITE_NAMES = {
    0x057: "Sewer ghost carrying Flatbed Ferry",
    0x0C7: "Winged Cloud (3-leaf sunflower seed)",
    0x0C8: "Winged Cloud (6-leaf sunflower seed)",
    0x0D1: "Hidden entrance (! switch)",
    0x0D5: "Mountain BG (Hookbill fight)",
    0x10C: "Chained spike ball (Boo Guy)",
    0x140: "Flopsy Fish (swims, jumps up)",
    0x141: "Flopsy Fish (swims, jumps in arc)",
    0x162: "Two spiked platforms, one switch",
    0x185: "Active guided green Ferry (left)",
    0x186: "Active guided green Ferry (right)",
    0x187: "Active guided yellow Ferry (left)",
    0x188: "Active guided yellow Ferry (right)",
    0x1A9: "Grinder (climbs, spits seeds)",
}

ENTRANCE_NAMES = {
    0x00: "Plain appearance",
    0x01: "Ski run-in",
    0x02: "Out of pipe, moving right",
    0x03: "Out of pipe, moving left",
    0x04: "Out of pipe, moving down",
    0x05: "Out of pipe, moving up",
    0x06: "Move out right, in front",
    0x07: "Move out left, in front",
    0x08: "Drop in from above",
    0x09: "Launched upward",
    0x0A: "Boss-room entry",
}

# Sprites whose names mislead the keyword rules below.
SPRITE_COLOURS = {
    0x015: SPR_HAZARD,    # torpedo
    0x018: SPR_HAZARD,    # flame of red watermelon
    0x01B: SPR_PLATFORM,  # log floating on lava
    0x01D: SPR_ENEMY,     # Dr. Freezegood riding a ski lift
    0x038: SPR_HAZARD,    # flame spat by a boss
    0x05A: SPR_HAZARD,    # spark of a boss
    0x05B: SPR_ENEMY,     # coin bandit
    0x073: SPR_ENEMY,     # balloon pumper
    0x084: SPR_DOOR,      # teleport
    0x08C: SPR_PLATFORM,  # Yoshi at the goal
    0x092: SPR_ENEMY,     # melon bug
    0x099: SPR_HAZARD,    # spiny egg
    0x09B: SPR_ENEMY,     # mace guy
    0x0A5: SPR_BOSS,      # Nep-Enut / Gargantua Blargg
    0x0AA: SPR_ENEMY,     # Shy Guy in the background
    0x0AC: SPR_PLATFORM,  # sign arrow
    0x0CE: SPR_HAZARD,    # Bowser's flame
    0x0CF: SPR_HAZARD,    # Bowser's quake
    0x0D5: SPR_PLATFORM,  # scenery
    0x0EA: SPR_ENEMY,     # cloud drops
    0x0EB: SPR_ENEMY,
    0x0EC: SPR_ENEMY,     # flamer guys
    0x0ED: SPR_ENEMY,
    0x105: SPR_ENEMY,     # Boo Guys carrying bombs
    0x106: SPR_ENEMY,
    0x11D: SPR_HAZARD,    # spiny egg
    0x127: SPR_PLATFORM,  # pulley
    0x128: SPR_HAZARD,    # ground shake
    0x15C: SPR_PLATFORM,  # switches of the spiked platforms
    0x15D: SPR_PLATFORM,
    0x166: SPR_ENEMY,     # Thunder Lakitu
    0x19B: SPR_ENEMY,     # Bumpty
    0x19F: SPR_ENEMY,     # skeleton goonie with a bomb
    0x1A6: SPR_ENEMY,     # grinders and seed spitters
    0x1A7: SPR_ENEMY,
    0x1A8: SPR_ENEMY,
    0x1A9: SPR_ENEMY,
    0x1AB: SPR_ENEMY,     # Boo balloon
    0x1AE: SPR_HAZARD,    # Kamek's magic
}

BOSS_WORDS = ["bigger boo", "burt the bashful", "salvo the slime", "rogger", "naval piranha",
              "marching milde", "hookbill", "sluggy the unshaven", "prince froggy", "raphael",
              "tap-tap the red nose", "kamek", "bowser"]


def has(name, *words):
    return any(w in name for w in words)


def object_colour(oid, name):
    n = name.lower()
    if oid == 0x00:
        return INTRODUCER
    if oid == 0xFF:
        return END_MARK
    if "red coin" in n:
        return RED_COIN
    if "coin" in n:
        return COIN
    if "! switch" in n:
        return SWITCH
    if "lava" in n:
        return LAVA
    if has(n, "thorn", "spike"):
        return SPIKES
    if "water-cave" in n:
        return EARTH
    if has(n, "vine", "seaweed"):
        return GRASS
    if "water" in n:
        return WATER
    if "pipe" in n:
        return PIPE
    if has(n, "bg wall", "carved"):
        return BG_WALL
    if has(n, "platform", "ledge", "semisolid", "beam", "post,", "pole"):
        return PLATFORM
    if has(n, "land", "grass", "flower", "jungle", "forest", "treetop", "plant", "tree"):
        return GRASS
    if has(n, "castle", "brick", "sewer", "fort"):
        return MASONRY
    return EARTH


def extended_colour(name):
    n = name.lower()
    if n.startswith("cmd:"):
        return EXT_COMMAND
    if has(n, "cloud", "sky"):
        return EXT_SKY
    if has(n, "flower", "jungle", "forest", "dirt", "snow"):
        return EXT_GREEN
    if has(n, "castle", "fort", "sewer", "block", "brick", "ts3"):
        return EXT_STONE
    return EXT_DEFAULT


def sprite_colour(sid, name):
    n = name.lower()
    if sid in SPRITE_COLOURS:
        return SPRITE_COLOURS[sid]
    if sid >= 0x1F5:
        return SPR_INVALID
    if sid >= 0x1BA:
        return SPR_PALETTE if has(n, "palette", "autoscroll") else SPR_CONTROL
    if has(n, "unused", "unknown"):
        return SPR_INVALID
    if has(n, "door", "entrance", "pipe", "cork"):
        return SPR_DOOR
    if has(n, "baron von zeppelin"):
        return SPR_ENEMY
    if has(n, "winged cloud", "coin", "melon", "key", "star", "1-up", "card", "bucket", "bonus",
           "morph bubble", "egg block", "yoshi block", "hint block", "pow", "!-switch", "crate",
           "seed", "goal", "middle ring", "item", "flower", "tulip", "fill eggs", "g o a l") \
            or re.search(r"\begg$", n) or re.search(r"\begg \(", n):
        return SPR_ITEM
    if has(n, *BOSS_WORDS):
        return SPR_BOSS
    if has(n, "lava", "fire", "flame", "spike", "spiked", "mace", "bullet", "cannonball", "bomb",
           "icicle", "falling rock", "thunder", "acid", "spark", "quake", "explosion",
           "stomach", "hypocenter"):
        return SPR_HAZARD
    if has(n, "platform", "ferry", "lift", "log", "seesaw", "plank", "board", "spring ball",
           "balloon", "arrow wheel", "arrow cloud", "arrow sign", "signboard", "block",
           "falling down wall", "soft thing", "chomp rock", "pinwheel", "switch", "ski",
           "background", "rubble", "cloud", "stork", "yoshi", "baby"):
        return SPR_PLATFORM
    return SPR_ENEMY


# ---- reading the fact tables ---------------------------------------------

def read_tsv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter="\t"))


# Level indices whose data has no header, and why.
HEADERLESS_LEVELS = {0x38: "title screen: its objects start at the pointer"}


def quoted(text):
    if '"' in text:
        sys.exit("a name holds a double quote: " + text)
    return '"' + text + '"'


def slope_flags(slope):
    if not slope:
        return "000 0 0"
    run, rise, direction = slope.split(",")
    # The marker follows the line's shape in a box of positive width: a line
    # falling to the right joins the top-left and bottom-right corners, one
    # rising to the right (or falling to the left) the top-right and
    # bottom-left ones.
    shape = {"down-right": "100", "up-left": "100", "up-right": "111", "down-left": "111"}[direction]
    return f"{shape} {int(run)} {int(rise)}"


# LoROM banks whose levels the game addresses through the linear banks
# ($4C for bank 19, $50 and $51 for banks 21 to 23): data moved there gets
# a linear pointer, and a linear bank's two halves form one run.
LINEAR_LOROM_BANKS = {0x19, 0x21, 0x22, 0x23}


def free_blocks(rows):
    """The usable padding blocks as (start, end, form, note), file offsets
    inclusive; neighbouring blocks in one linear bank become one."""
    blocks = []
    for row in rows:
        if row["use"] != "yes" or row["fill"] != "FF":
            continue
        start, end = int(row["file_start"], 16), int(row["file_end"], 16)
        bank = int(row["snes_start"], 16) >> 16
        form = "linear" if bank in LINEAR_LOROM_BANKS else "lorom"
        note = row["note"]
        if blocks:
            pstart, pend, pform, pnote = blocks[-1]
            same_linear_bank = (pstart - 0x200) >> 16 == (end - 0x200) >> 16
            if pend + 1 == start and form == pform == "linear" and same_linear_bank:
                bank = 0x40 + ((pstart - 0x200) >> 16)
                low, high = (pstart - 0x200) & 0xFFFF, (end - 0x200) & 0xFFFF
                blocks[-1] = (pstart, end, form, f"one linear run ${bank:02X}:{low:04X}-${bank:02X}:{high:04X}")
                continue
        blocks.append((start, end, form, note))
    return blocks


def level_areas(rows):
    """The runs that hold the game's level data as (start, end, form, note),
    file offsets inclusive, in the pointer form of their bank as for the
    free blocks."""
    areas = []
    for row in rows:
        start, end = int(row["file_start"], 16), int(row["file_end"], 16)
        bank = int(row["lorom_start"].lstrip("$").split(":")[0], 16)
        form = "linear" if bank in LINEAR_LOROM_BANKS else "lorom"
        areas.append((start, end, form, "levels " + row["levels"].replace(",", " ")))
    return areas


def write(path, lines):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for line in lines:
            f.write(line + "\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser()
    ap.add_argument("--ref", default=os.path.join(here, "..", "..", "shared", "reference"))
    ap.add_argument("--out", default=os.path.join(here, "..", "data"))
    args = ap.parse_args()

    objects = read_tsv(os.path.join(args.ref, "objects.tsv"))
    o5, o4 = [], []
    for row in objects:
        oid = int(row["id"], 16)
        if 0xF7 <= oid <= 0xFE:
            continue  # no routine in the game: left undefined
        name = row["name"]
        colour = object_colour(oid, name)
        cross = 1 if oid in CROSS_SECTION_OBJECTS else 0
        flags = slope_flags(row["slope"])
        if oid in (0x00, 0xFF):
            # Kinds fixed by the program; the row only gives the name.
            o4.append(f'{oid:02X},{quoted(name)},0,{flags},{cross},{colour}')
        elif row["bytes"] == "5":
            if row["size_byte"] != "both":
                sys.exit(f"object {oid:02X}: five bytes but size byte {row['size_byte']}")
            o5.append(f'{oid:02X},{quoted(name)},{flags},{cross},{colour}')
        elif row["bytes"] == "4":
            mode = {"width": 1, "height": 2}[row["size_byte"]]
            o4.append(f'{oid:02X},{quoted(name)},{mode},{flags},{cross},{colour}')
        else:
            sys.exit(f"object {oid:02X}: unexpected byte count {row['bytes']}")

    extended = []
    for row in read_tsv(os.path.join(args.ref, "extended.tsv")):
        eid = int(row["ext_id"], 16)
        width = int(row["width_tiles"]) if row["width_tiles"] else 1
        height = int(row["height_tiles"]) if row["height_tiles"] else 1
        cross = 1 if eid in CROSS_SECTION_EXTENDED else 0
        extended.append(f'{eid:02X},{quoted(row["name"])},{width},{height},{cross},{extended_colour(row["name"])}')

    sprites = []
    for row in read_tsv(os.path.join(args.ref, "sprites.tsv")):
        sid = int(row["id"], 16)
        name = SPRITE_NAMES.get(sid, row["name"])
        sprites.append(f'{sid:03X},{quoted(name)},{sprite_colour(sid, name)}')

    levels, offsets = [], []
    for row in read_tsv(os.path.join(args.ref, "levels.tsv")):
        index = int(row["index"], 16)
        name = row["name"] or "Unnamed room"
        levels.append(f'{index:02X},{quoted(name)}')
        offsets.append(f'{int(row["header_file_offset"], 16):X},{quoted(f"{index:02X} {name}")}')
    if len(offsets) > 256:
        sys.exit("more than 256 levels")

    entrances = []
    for row in read_tsv(os.path.join(args.ref, "entrances.tsv")):
        if not re.fullmatch(r"[0-9A-Fa-f]{2}", row["code"]):
            continue  # notes, not codes
        code = int(row["code"], 16)
        entrances.append(f'{code:02X},{quoted(ENTRANCE_NAMES[code])}')

    free = [f'{start:X},{end:X},{form},{quoted(note)}'
            for start, end, form, note in free_blocks(read_tsv(os.path.join(args.ref, "free_space.tsv")))]

    os.makedirs(args.out, exist_ok=True)
    write(os.path.join(args.out, "O5Data.dat"), o5)
    write(os.path.join(args.out, "O4Data.dat"), o4)
    write(os.path.join(args.out, "O4SData.dat"), extended)
    write(os.path.join(args.out, "SpriteData.dat"), sprites)
    write(os.path.join(args.out, "LevelList.dat"), levels)
    write(os.path.join(args.out, "LevelOffsets.dat"), offsets)
    write(os.path.join(args.out, "EntranceTypes.dat"), entrances)
    # The title screen's data is read without the 10-byte level header.
    write(os.path.join(args.out, "Headerless.dat"),
          [f'{index:02X},{quoted(note)}' for index, note in HEADERLESS_LEVELS.items()])
    write(os.path.join(args.out, "FreeSpace.dat"), free)
    areas = [f'{start:X},{end:X},{form},{quoted(note)}'
             for start, end, form, note in level_areas(read_tsv(os.path.join(args.ref, "level_areas.tsv")))]
    write(os.path.join(args.out, "LevelAreas.dat"), areas)


if __name__ == "__main__":
    main()
