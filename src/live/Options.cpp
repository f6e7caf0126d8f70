#include "live/Options.h"

namespace live {

const char kUsage[] =
    "usage: kz318-live [options]\n"
    "Plays the KZ318 drum instrument live on a JACK server, with its editor.\n"
    "The kit of the last run comes back, unless a session manager gives one.\n"
    "\n"
    "  --name NAME        JACK client name (default KZ318)\n"
    "  --kit FILE.kbk     import a sound bank\n"
    "  --chunk FILE       restore a saved settings chunk\n"
    "  --save-chunk FILE  save the settings chunk at exit\n"
    "  --connect          connect outputs 1L/1R to the first playback ports and every\n"
    "                     MIDI capture port to the MIDI input (default)\n"
    "  --no-connect       leave the connections to the patchbay\n"
    "  --no-gui           play without the editor window (Ctrl+C ends)\n"
    "  --help             this text\n";

bool parseOptions(int argc, char** argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; i++) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') return (error = a + " needs a value"), false;
            out = argv[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--name") {
            if (!value(o.name)) return false;
        } else if (a == "--kit") {
            if (!value(o.kit)) return false;
        } else if (a == "--chunk") {
            if (!value(o.chunk)) return false;
        } else if (a == "--save-chunk") {
            if (!value(o.saveChunk)) return false;
        } else if (a == "--connect") {
            o.connect = true;
        } else if (a == "--no-connect") {
            o.connect = false;
        } else if (a == "--no-gui") {
            o.gui = false;
        } else {
            error = "unknown option " + a + " (see --help)";
            return false;
        }
    }
    if (!o.kit.empty() && !o.chunk.empty()) return (error = "--kit and --chunk both give the kit: choose one"), false;
    return true;
}

}  // namespace live
