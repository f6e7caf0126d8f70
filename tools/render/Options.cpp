#include "render/Options.h"

#include <cstdlib>
#include <cstring>

namespace render {

const char kUsage[] =
    "usage: kz318-render [options] [MIDI-FILE]\n"
    "Plays a Standard MIDI File (or the built-in demo groove) through the KZ318\n"
    "plug-in and writes the result as a 32-bit float stereo WAV file.\n"
    "\n"
    "  --plugin PATH      plug-in binary to load (default: the one beside this tool)\n"
    "  --kit FILE.kbk     sound bank to play (default: the demo kit)\n"
    "  --pad N[=FILE.wav][,SETTING...]\n"
    "                     put a WAV file into pad N (1..16) and/or change its settings:\n"
    "                     note=0..127 volume=0..1 pan=0..1 pitch=0..1 pitch-decay=0..1\n"
    "                     amp-decay=0..1 choke=0..2 output=1..4 mute solo\n"
    "  --chunk-in FILE    start from a saved settings chunk\n"
    "  --chunk-out FILE   save the settings chunk the plug-in reports\n"
    "  --out FILE         output file (default out.wav)\n"
    "  --stems            one stereo file per output pair: FILE-1.wav .. FILE-4.wav\n"
    "  --block N          frames per processing block (default 512)\n"
    "  --rate HZ          sample rate (default 44100)\n"
    "  --tail SECONDS     longest ring-out after the last event (default 10)\n"
    "  --quiet            no progress line\n"
    "  --benchmark [N]    render N times (default 5) without writing, print speed\n"
    "  --help             this text\n";

namespace {

bool number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == 0;
}

bool integer(const std::string& text, long& value) {
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && end && *end == 0;
}

bool parsePad(const std::string& arg, PadOption& pad, std::string& error) {
    size_t comma = arg.find(',');
    std::string head = arg.substr(0, comma);
    size_t eq = head.find('=');
    long n;
    if (!integer(head.substr(0, eq), n) || n < 1 || n > 16) return (error = "--pad needs a pad number 1..16"), false;
    pad.pad = static_cast<int>(n - 1);
    if (eq != std::string::npos) pad.file = head.substr(eq + 1);
    while (comma != std::string::npos) {
        size_t next = arg.find(',', comma + 1);
        std::string item = arg.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
        size_t e = item.find('=');
        pad.settings.emplace_back(item.substr(0, e), e == std::string::npos ? "" : item.substr(e + 1));
        comma = next;
    }
    return true;
}

}  // namespace

bool parseOptions(int argc, char** argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return (error = a + " needs a value"), false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--plugin") {
            if (!value(o.plugin)) return false;
        } else if (a == "--kit") {
            if (!value(o.kit)) return false;
        } else if (a == "--out") {
            if (!value(o.out)) return false;
        } else if (a == "--chunk-in") {
            if (!value(o.chunkIn)) return false;
        } else if (a == "--chunk-out") {
            if (!value(o.chunkOut)) return false;
        } else if (a == "--pad") {
            PadOption pad;
            if (!value(v) || !parsePad(v, pad, error)) return false;
            o.pads.push_back(pad);
        } else if (a == "--block" || a == "--rate") {
            long n;
            if (!value(v)) return false;
            if (!integer(v, n) || n < 1 || n > (a == "--block" ? 65536 : 384000))
                return (error = a + " needs a positive whole number"), false;
            (a == "--block" ? o.block : o.rate) = static_cast<int>(n);
        } else if (a == "--tail") {
            if (!value(v) || !number(v, o.tail) || o.tail < 0 || o.tail > 3600)
                return (error = "--tail needs a number of seconds"), false;
        } else if (a == "--stems") {
            o.stems = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a == "--benchmark") {
            long n = 5;
            if (i + 1 < argc && integer(argv[i + 1], n)) i++;
            if (n < 1) return (error = "--benchmark needs a positive count"), false;
            o.benchmark = static_cast<int>(n);
        } else if (!a.empty() && a[0] == '-') {
            return (error = "unknown option " + a), false;
        } else if (o.midi.empty()) {
            o.midi = a;
        } else {
            return (error = "more than one MIDI file given"), false;
        }
    }
    return true;
}

}  // namespace render
