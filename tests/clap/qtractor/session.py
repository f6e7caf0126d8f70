#!/usr/bin/env python3
"""Qtractor sessions for the CLAP test.

  session.py make SESSION.qtr CLAP CHUNK NOTES.mid FRAMES
      a session at 44100 Hz and 120 beats a minute with one MIDI track: a
      clip of NOTES.mid from frame 0, FRAMES long, playing into the CLAP
      plug-in (by absolute path) whose saved state is the chunk CHUNK
  session.py state SESSION.qtr OUT
      writes the saved state of the session's CLAP plug-in to OUT
"""

import base64
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

PLUGIN_ID = "com.morvantic.kz318"


def packed(data):
    """Qtractor keeps a plug-in's state as Qt's compressed form (length,
    then the zlib stream), in base64."""
    return base64.b64encode(struct.pack(">I", len(data)) + zlib.compress(data)).decode()


def unpacked(text):
    raw = base64.b64decode("".join(text.split()))
    size = struct.unpack(">I", raw[:4])[0]
    data = zlib.decompress(raw[4:])
    if len(data) != size:
        raise ValueError("state of %d bytes, its header says %d" % (len(data), size))
    return data


def sub(parent, tag, text=None, **attrs):
    e = ET.SubElement(parent, tag, attrs)
    if text is not None:
        e.text = str(text)
    return e


def make(path, clap, chunk_file, midi, frames):
    with open(chunk_file, "rb") as f:
        chunk = f.read()
    import os
    session = ET.Element("session", {"version": "Qtractor 0.9.31", "name": "kz318"})
    props = sub(session, "properties")
    sub(props, "directory", os.path.dirname(os.path.abspath(path)))
    sub(props, "sample-rate", 44100)
    sub(props, "tempo", 120)
    sub(props, "ticks-per-beat", 960)
    sub(props, "beats-per-bar", 4)
    sub(props, "beat-divisor", 2)
    tracks = sub(session, "tracks")
    track = sub(tracks, "track", name="kz318", type="midi")
    tprops = sub(track, "properties")
    sub(tprops, "input-bus", "Master")
    sub(tprops, "output-bus", "Master")
    sub(tprops, "midi-omni", "false")
    sub(tprops, "midi-channel", 0)
    state = sub(track, "state")
    for tag, value in (("mute", "false"), ("solo", "false"), ("record", "false"), ("monitor", "false"),
                       ("gain", 1), ("panning", 0)):
        sub(state, tag, value)
    clips = sub(track, "clips")
    clip = sub(clips, "clip", name="notes")
    cprops = sub(clip, "properties")
    sub(cprops, "name", "notes")
    sub(cprops, "start", 0)
    sub(cprops, "offset", 0)
    sub(cprops, "length", frames)
    sub(cprops, "gain", 1)
    sub(cprops, "panning", 0)
    sub(cprops, "mute", "false")
    mclip = sub(clip, "midi-clip")
    sub(mclip, "filename", os.path.abspath(midi))
    sub(mclip, "track-channel", 0)  # a format 0 file: the channel
    plugins = sub(track, "plugins")
    plugin = sub(plugins, "plugin", type="CLAP")
    sub(plugin, "filename", os.path.abspath(clap))
    sub(plugin, "index", 0)
    sub(plugin, "label", PLUGIN_ID)
    sub(plugin, "activated", "true")
    configs = sub(plugin, "configs")
    sub(configs, "config", packed(chunk), key="state")
    sub(plugins, "audio-output-bus", "false")
    with open(path, "w") as f:
        f.write("<!DOCTYPE qtractorSession>\n")
        f.write(ET.tostring(session, encoding="unicode"))
        f.write("\n")


def state(path, out):
    root = ET.parse(path).getroot()
    found = [c for p in root.iter("plugin") if p.get("type") == "CLAP"
             for c in p.iter("config") if c.get("key") == "state"]
    if len(found) != 1:
        sys.exit("session.py: %d CLAP states in %s, not 1" % (len(found), path))
    with open(out, "wb") as f:
        f.write(unpacked(found[0].text))


def main(argv):
    if len(argv) == 7 and argv[1] == "make":
        make(argv[2], argv[3], argv[4], argv[5], int(argv[6]))
    elif len(argv) == 4 and argv[1] == "state":
        state(argv[2], argv[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
