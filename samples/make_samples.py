#!/usr/bin/env python3
"""Writes the sample note files: one of each layout twk and Twigmark read."""
import struct


def field(text, chars):
    data = text.encode("utf-16-le")
    assert len(data) < chars * 2
    return data + b"\0" * (chars * 2 - len(data))


def record(name, ident, parent, level, icon=4, priority=0, colour=0, check=1,
           category="", date=(0,) * 8, task="", unit=-1, note=""):
    body = field(name, 96) + struct.pack("<IIIHHHH", ident, parent, level, icon, priority,
                                         colour, check)
    body += field(category, 64) + struct.pack("<8H", *date) + field(task, 8)
    body += struct.pack("<i", unit)
    encoded = note.encode("utf-16-le")
    return body + struct.pack("<i", len(encoded) // 2) + encoded


def current():
    head = struct.pack("<iiI", 210, 12, 0x1000) + field("Home and Work", 64)
    head += struct.pack("<iiii", 0, 0, 1, 0)
    items = [
        record("Projects", 1, 0, 1, icon=4, priority=2, category="Work"),
        record("Quarterly report", 2, 1, 2, icon=12, priority=0, colour=1, category="Work",
               date=(2026, 12, 4, 18, 0, 0, 0, 0), task="3", unit=1,
               note="Numbers from the last two quarters.\r\nAsk for the sales figures."),
        record("Slides", 3, 2, 3, icon=13, priority=4, category="Work", check=2),
        record("Household", 4, 0, 1, icon=5, priority=1, category="Home"),
        record("Groceries", 5, 4, 2, icon=15, priority=3, colour=2, category="Home",
               note="Milk, bread, apples"),
        record("Call the plumber", 6, 4, 2, icon=16, priority=9, colour=4, category="Home",
               check=2, date=(2026, 12, 2, 9, 0, 0, 0, 0)),
        record("Reading list", 7, 0, 1, icon=6, priority=5, category="Leisure"),
        record("Caf\u00e9 stories \u2014 short", 8, 7, 2, icon=13, priority=5, colour=7,
               category="Leisure", note="Lent to Ana \U0001F4D6"),
    ]
    return head + b"".join(items)


def short_header():
    head = struct.pack("<iiI", 200, 4, 0x1000) + field("Old notes", 64) + struct.pack("<i", 3)
    return head + record("Ideas", 1, 0, 1, category="Misc") + record(
        "Garden", 2, 1, 2, icon=9, note="Plant tulips in autumn") + record("Books", 3, 0, 1)


def node(level, name, icon=0, state=0x1000, priority=None, colour=0, category="", note=""):
    data = struct.pack("<ii", level, len(name)) + name.encode("utf-16-le")
    data += struct.pack("<ii", icon, state)
    if priority is None:
        return data + struct.pack("<i", -1)
    encoded = note.encode("utf-16-le")
    return data + struct.pack("<ii", priority, colour) + field(category, 64) + struct.pack(
        "<i", len(encoded) // 2) + encoded


def version100():
    return struct.pack("<i", 100) + b"".join([
        node(0, "Archive", state=0x1000),
        node(1, "Letters", icon=4, priority=0, category="Post"),
        node(2, "To the bank", icon=12, priority=2, note="Account closing"),
        node(2, "Thank-you notes", icon=13, state=0x2000, priority=0, colour=4),
        node(1, "Recipes", icon=8, priority=1, category="Kitchen", note="Grandmother's"),
    ])


for name, data in (("sample.twk", current()), ("short-header.twk", short_header()),
                   ("version100.twk", version100())):
    with open(name, "wb") as out:
        out.write(data)
