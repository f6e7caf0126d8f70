#!/usr/bin/env python3
"""The VST 3 instrument's state inside a saved Ardour session.

Ardour keeps a VST 3 plug-in's state as the image of a preset file, in
base64 under the processor's <chunk>: "VST3", a version, the class id in 32
hex digits, the offset of the chunk list, the component's state, the
controller's state, and the list ("List", a count, then id, offset and size
of each entry).

  vst3state.py get SESSION.ardour OUT      writes the component's state
  vst3state.py put SESSION.ardour STATE    makes STATE the component's state
"""

import base64
import re
import struct
import sys

CLASS_ID = b"4AC60B87BC60450FB94AF474D08AD929"
CHUNK = re.compile(r"(<chunk>)([A-Za-z0-9+/=\s]*)(</chunk>)")


def parse(image):
    """(component state, controller state) of a preset image."""
    if image[:4] != b"VST3" or image[8:40] != CLASS_ID:
        raise ValueError("not a preset image of the instrument's class")
    (list_at,) = struct.unpack("<q", image[40:48])
    if image[list_at:list_at + 4] != b"List":
        raise ValueError("no chunk list at %d" % list_at)
    (count,) = struct.unpack("<i", image[list_at + 4:list_at + 8])
    parts = {}
    for i in range(count):
        at = list_at + 8 + 20 * i
        cid = image[at:at + 4]
        offset, size = struct.unpack("<qq", image[at + 4:at + 20])
        parts[cid] = image[offset:offset + size]
    if b"Comp" not in parts:
        raise ValueError("no component state in the image")
    return parts[b"Comp"], parts.get(b"Cont", b"")


def build(component, controller):
    head = b"VST3" + struct.pack("<i", 1) + CLASS_ID
    list_at = 48 + len(component) + len(controller)
    body = component + controller
    entries = struct.pack("<4sqq", b"Comp", 48, len(component))
    entries += struct.pack("<4sqq", b"Cont", 48 + len(component), len(controller))
    return head + struct.pack("<q", list_at) + body + b"List" + struct.pack("<i", 2) + entries


def the_chunk(text):
    found = CHUNK.findall(text)
    if len(found) != 1:
        sys.exit("vst3state: %d <chunk> elements in the session, not 1" % len(found))
    return found[0]


def main(argv):
    if len(argv) != 4 or argv[1] not in ("get", "put"):
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[2]) as f:
        text = f.read()
    _, encoded, _ = the_chunk(text)
    try:
        component, controller = parse(base64.b64decode(encoded))
    except ValueError as e:
        sys.exit("vst3state: %s" % e)
    if argv[1] == "get":
        with open(argv[3], "wb") as f:
            f.write(component)
        return 0
    with open(argv[3], "rb") as f:
        state = f.read()
    image = base64.b64encode(build(state, controller)).decode()
    text = CHUNK.sub(lambda m: m.group(1) + image + m.group(3), text)
    with open(argv[2], "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
