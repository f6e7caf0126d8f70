#!/usr/bin/env python3
"""Test material and checks for the Ardour round trip of the LV2 instrument.

  testkit.py make DIR            pad sounds, notes.mid, notes.txt and the
                                 kz318-render pad options (DIR/pad-options)
  testkit.py preset DIR CHUNK    an LV2 preset bundle holding the chunk
  testkit.py range SESSION.ardour NAME
                                 makes the range marker NAME the session range
  testkit.py check GOT.wav [REF.wav]
                                 onsets and gains of every note in GOT.wav;
                                 status 3 when the whole file is shifted
                                 and otherwise right
  testkit.py same A.wav B.wav    the two files hold the same samples
  testkit.py uri plugin|preset   the URIs the test uses
"""

import base64
import math
import os
import re
import struct
import sys
import wave

RATE = 44100
PLUGIN_URI = "urn:morvantic:kz318"
CHUNK_KEY = PLUGIN_URI + "#chunk"
PRESET_URI = PLUGIN_URI + ":preset:ardour-render"
PRESET_LABEL = "ardour-render test kit"

# 120 beats a minute and 1920 ticks a beat (Ardour's own resolution): every
# multiple of 64 ticks is a whole number of frames (64 ticks = 735 frames).
TICKS_PER_BEAT = 1920
FRAMES_PER_64_TICKS = 735
REGION_BEATS = 4  # 88200 frames
NOTE_TICKS = 480

# pad number, MIDI note, volume, pan, sound (frequency in Hz, 0 for a pulse),
# peak of the sound as 16-bit value. All on output pair 1.
PADS = [
    (1, 36, 1.0, 0.5, 110.0, 29000),
    (2, 38, 0.7, 0.2, 440.0, 16000),
    (3, 42, 0.5, 0.85, 1250.0, 24000),
    (4, 46, 0.9, 0.5, 0.0, 20000),
]
SOUND_FRAMES = 4000
# Sample frame k of a note at frame t sounds at frame t + k, but the
# instrument's interpolator reads one frame before and two after the
# position, so the first frame and the last three of a sample stay silent.
FIRST_PLAYED = 1
TAIL_UNPLAYED = 3

# (tick, note, velocity). Onsets lie at least a sound's length apart, except
# for the chord at 4672 where two pads sound together.
NOTES = [
    (128, 36, 127),
    (1024, 38, 100),
    (1984, 42, 64),
    (2880, 46, 127),
    (3776, 36, 32),
    (4672, 38, 127),
    (4672, 42, 90),
    (5568, 46, 1),
]

# Float rounding of the expected mix beside the instrument's float arithmetic.
TOLERANCE = 1e-5
# Ardour 7.3's export tool now and then starts the whole export 15 or 16
# frames early (its own synth too); a shift in this range, with everything
# else right, is the host's and worth another attempt.
HOST_SHIFTS = (-32, -8)


def frame_of(tick):
    assert tick % 64 == 0
    return tick // 64 * FRAMES_PER_64_TICKS


def level(x):
    """The instrument's curve for volume and velocity."""
    return 2.0 ** (6.0 * x - 5.0) - 0.03125


def sound(freq, peak):
    """A cosine that starts at its peak and dies away, or a flat pulse."""
    out = []
    for n in range(SOUND_FRAMES):
        if freq == 0.0:
            v = peak if n < 300 else 0
        else:
            v = round(peak * math.cos(2 * math.pi * freq * n / RATE) * math.exp(-n / 900.0))
        out.append(v)
    return out


def wav_path(folder, pad):
    return os.path.join(folder, "pad%d.wav" % pad)


def write_wav16(path, values):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(values), *values))


def varlen(v):
    out = [v & 0x7F]
    v >>= 7
    while v:
        out.insert(0, (v & 0x7F) | 0x80)
        v >>= 7
    return bytes(out)


def write_smf(path):
    events = [(t, 0x90, n, v) for t, n, v in NOTES] + [(t + NOTE_TICKS, 0x80, n, 0) for t, n, _ in NOTES]
    events.sort(key=lambda e: (e[0], e[1] == 0x90))
    body = b"\x00\xff\x51\x03" + (500000).to_bytes(3, "big")
    now = 0
    for t, status, n, v in events:
        body += varlen(t - now) + bytes([status, n, v])
        now = t
    body += b"\x00\xff\x2f\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS_PER_BEAT))
        f.write(b"MTrk" + struct.pack(">I", len(body)) + body)


def make(folder):
    pad_options = []
    for pad, note, volume, pan, freq, peak in PADS:
        write_wav16(wav_path(folder, pad), sound(freq, peak))
        pad_options.append(
            "--pad\n%d=%s,note=%d,volume=%g,pan=%g,pitch=0.5,pitch-decay=0,amp-decay=0,choke=0,output=1"
            % (pad, wav_path(folder, pad), note, volume, pan))
    write_smf(os.path.join(folder, "notes.mid"))
    with open(os.path.join(folder, "notes.txt"), "w") as f:
        f.write("%d\n" % (REGION_BEATS * 22050))
        for t, n, v in NOTES:
            f.write("%d %d %d %d\n" % (t, NOTE_TICKS, n, v))
    with open(os.path.join(folder, "pad-options"), "w") as f:
        f.write("\n".join(pad_options) + "\n")


def preset(folder, chunk_file):
    with open(chunk_file, "rb") as f:
        chunk = f.read()
    if len(chunk) != 5064 or chunk[:4] != b"k813":
        sys.exit("testkit: %s is not a 5064-byte settings chunk" % chunk_file)
    os.makedirs(folder, exist_ok=True)
    head = ("@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
            "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
            "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
            "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
            "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n")
    with open(os.path.join(folder, "manifest.ttl"), "w") as f:
        f.write(head + "<%s>\n\ta pset:Preset ;\n\tlv2:appliesTo <%s> ;\n\trdfs:seeAlso <preset.ttl> .\n"
                % (PRESET_URI, PLUGIN_URI))
    # lilv hands a base64Binary literal to the plug-in as an atom:Chunk.
    with open(os.path.join(folder, "preset.ttl"), "w") as f:
        f.write(head + "<%s>\n\ta pset:Preset ;\n\tlv2:appliesTo <%s> ;\n\trdfs:label \"%s\" ;\n"
                "\tstate:state [\n\t\t<%s> \"%s\"^^xsd:base64Binary\n\t] .\n"
                % (PRESET_URI, PLUGIN_URI, PRESET_LABEL, CHUNK_KEY, base64.b64encode(chunk).decode()))


def session_range(session_file, marker):
    with open(session_file) as f:
        text = f.read()
    pattern = r'name="%s" (start="a\d+" end="a\d+") flags="IsRangeMarker"' % re.escape(marker)
    text, count = re.subn(pattern, r'name="session" \1 flags="IsSessionRange"', text)
    if count != 1:
        sys.exit("testkit: no range marker %s in %s" % (marker, session_file))
    with open(session_file, "w") as f:
        f.write(text)


def read_wav(path):
    """Channels of a 32-bit float WAV file, as lists of floats."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("%s is not a WAV file" % path)
    at, fmt, samples = 12, None, None
    while at + 8 <= len(data):
        cid, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        body = data[at + 8:at + 8 + size]
        if cid == b"fmt ":
            fmt = body
        elif cid == b"data":
            samples = body
        at += 8 + size + (size & 1)
    if not fmt or samples is None:
        raise ValueError("%s has no fmt or data chunk" % path)
    tag, channels, rate, _, _, bits = struct.unpack("<HHIIHH", fmt[:16])
    if tag == 0xFFFE and len(fmt) >= 26:
        tag = struct.unpack("<H", fmt[24:26])[0]
    if tag != 3 or bits != 32 or rate != RATE:
        raise ValueError("%s is not 32-bit float at %d Hz" % (path, RATE))
    values = struct.unpack("<%df" % (len(samples) // 4), samples[:len(samples) // 4 * 4])
    return [list(values[c::channels]) for c in range(channels)]


def expected_mix(frames):
    """What the instrument must play: each pad's sound at its note's frame,
    scaled by volume, velocity and pan."""
    pads = {note: (volume, pan, [v / 32768.0 for v in sound(freq, peak)])
            for _, note, volume, pan, freq, peak in PADS}
    left, right = [0.0] * frames, [0.0] * frames
    for tick, note, velocity in NOTES:
        volume, pan, wav = pads[note]
        gain = level(volume) * level(velocity / 127.0)
        start = frame_of(tick)
        for n in range(FIRST_PLAYED, min(len(wav) - TAIL_UNPLAYED, frames - start)):
            left[start + n] += gain * (1.0 - pan) * wav[n]
            right[start + n] += gain * pan * wav[n]
    return left, right


def sound_at(note, k):
    """Sample frame k of a pad's sound relative to its peak."""
    for _, n, _, _, freq, peak in PADS:
        if n == note:
            return sound(freq, peak)[k] / peak if 0 <= k < SOUND_FRAMES else 0.0
    raise KeyError(note)


def onset(channels, expected, reach=2000, floor=1e-5):
    for n in range(max(0, expected - reach), min(len(channels[0]), expected + reach)):
        if any(abs(c[n]) > floor for c in channels):
            return n
    return None


def largest_difference(got, want, shift=0):
    """Largest difference between got, moved shift frames later, and want."""
    worst, where = 0.0, 0
    frames = len(want[0])
    for c in range(2):
        for n in range(max(0, shift), min(frames, frames + shift)):
            d = abs(got[c][n - shift] - want[c][n])
            if d > worst:
                worst, where = d, n
    return worst, where


def check(got_path, ref_path=None):
    """Problems found in got_path, as (list, host_shift): host_shift is the
    number of frames by which the whole export is early or late when that is
    its only fault, else None."""
    got = read_wav(got_path)
    if len(got) != 2:
        return ["%s has %d channels, not 2" % (got_path, len(got))], None
    frames = len(got[0])
    if frames != REGION_BEATS * 22050:
        return ["%s holds %d frames, not the session's %d" % (got_path, frames, REGION_BEATS * 22050)], None
    want = expected_mix(frames)
    problems = []
    offsets = set()
    peaks = {note: peak / 32768.0 for _, note, _, _, _, peak in PADS}
    pans = {note: (volume, pan) for _, note, volume, pan, _, _ in PADS}
    print("  note vel  note at  onset  offset  gain L    (want)    gain R    (want)")
    for tick, note, velocity in NOTES:
        start = frame_of(tick)
        at = onset(got, start)
        if at is None:
            problems.append("note %d at frame %d: nothing sounds near it" % (note, start))
            continue
        volume, pan = pans[note]
        gain = level(volume) * level(velocity / 127.0)
        if sum(1 for t, _, _ in NOTES if t == tick) > 1:
            # Pads sounding together: the output itself against the mix.
            print("  %4d %3d  %8d %6d %+7d  %.6f (%.6f)  %.6f (%.6f)  output values of the chord" % (
                note, velocity, start, at, at - start, got[0][at], want[0][at], got[1][at], want[1][at]))
        else:
            value = peaks[note] * sound_at(note, at - start)
            measured = [c[at] / value if value else float("nan") for c in got]
            print("  %4d %3d  %8d %6d %+7d  %.6f (%.6f)  %.6f (%.6f)" % (
                note, velocity, start, at, at - start, measured[0], gain * (1 - pan), measured[1], gain * pan))
        offsets.add(at - start - FIRST_PLAYED)
        if at != start + FIRST_PLAYED:
            problems.append("note %d at frame %d: first sounds at frame %d, not %d"
                            % (note, start, at, start + FIRST_PLAYED))
    worst, where = largest_difference(got, want)
    print("  largest difference from the expected mix: %.3g at frame %d" % (worst, where))
    if worst > TOLERANCE:
        problems.append("the mix differs from the expected one by %.3g at frame %d" % (worst, where))
    host_shift = None
    if len(offsets) == 1 and problems:
        shift = offsets.pop()
        if HOST_SHIFTS[0] <= shift <= HOST_SHIFTS[1] and largest_difference(got, want, -shift)[0] <= TOLERANCE:
            host_shift = shift
    if ref_path:
        ref = read_wav(ref_path)
        n = min(frames, len(ref[0]))
        diff = max(abs(got[c][i] - ref[c][i]) for c in range(2) for i in range(n))
        tail = max([abs(ref[c][i]) for c in range(2) for i in range(n, len(ref[0]))] or [0.0])
        print("  largest difference from kz318-render: %.3g over %d frames (its output beyond: %.3g)"
              % (diff, n, tail))
        if diff > 1e-6 or tail > 1e-6:
            problems.append("the export differs from kz318-render's output by %.3g" % max(diff, tail))
    return problems, host_shift


def main(argv):
    if len(argv) == 3 and argv[1] == "make":
        make(argv[2])
    elif len(argv) == 4 and argv[1] == "preset":
        preset(argv[2], argv[3])
    elif len(argv) == 4 and argv[1] == "range":
        session_range(argv[2], argv[3])
    elif len(argv) in (3, 4) and argv[1] == "check":
        try:
            problems, host_shift = check(argv[2], argv[3] if len(argv) == 4 else None)
        except (OSError, ValueError) as e:
            problems, host_shift = [str(e)], None
        if host_shift is not None:
            print("testkit: the whole export is %+d frames off and otherwise right: the host started it"
                  " off" % host_shift, file=sys.stderr)
            return 3
        for p in problems:
            print("testkit: " + p, file=sys.stderr)
        return 1 if problems else 0
    elif len(argv) == 4 and argv[1] == "same":
        # The headers carry a time stamp, and Ardour now and then leaves a
        # denormal where it otherwise writes 0: compare the samples, within
        # what a different kit could never come near.
        a, b = read_wav(argv[2]), read_wav(argv[3])
        if len(a) != len(b) or len(a[0]) != len(b[0]):
            print("testkit: %s and %s differ in length" % (argv[2], argv[3]), file=sys.stderr)
            return 1
        diff = max(abs(x - y) for ca, cb in zip(a, b) for x, y in zip(ca, cb))
        print("  largest difference between the two exports: %.3g" % diff)
        return 0 if diff <= 1e-6 else 1
    elif len(argv) == 3 and argv[1] == "uri":
        print({"plugin": PLUGIN_URI, "preset": PRESET_URI}[argv[2]])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
