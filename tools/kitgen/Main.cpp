// kz318-kitgen OUTDIR: synthesises the demo kit into OUTDIR/kit/NAME.wav,
// the same kit as the banks OUTDIR/kit/demo.kbk (every pad on output pair 1)
// and OUTDIR/kit/demo-multiout.kbk (spread over the four pairs), and the demo
// groove to OUTDIR/demo-groove.mid.
// kz318-kitgen --list prints the WAV file names in pad order, one a line, for
// scripts that need the files by pad.
// The output is deterministic; regenerate the committed copy from the
// repository root with:  build/linux/kz318-kitgen examples
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "Bank.h"
#include "Files.h"
#include "Groove.h"
#include "Sounds.h"

namespace {

std::string wavName(const std::string& sound) { return sound + ".wav"; }

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const std::string& name : kitgen::kitNames()) std::printf("%s\n", wavName(name).c_str());
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: kz318-kitgen OUTDIR | kz318-kitgen --list\n");
        return 2;
    }
    const std::filesystem::path out(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(out / "kit", error);
    if (error) {
        std::fprintf(stderr, "kz318-kitgen: cannot create %s: %s\n", (out / "kit").string().c_str(),
                     error.message().c_str());
        return 1;
    }
    std::vector<kitgen::Sound> kit = kitgen::makeKit();
    std::vector<std::vector<std::int16_t>> pcm;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kit.size(); i++) {
        std::string name = wavName(kit[i].name);
        std::string path = (out / "kit" / name).string();
        std::vector<std::uint8_t> wav = kitgen::encodeWav(kit[i].samples);
        if (!kitgen::writeFile(path, wav)) {
            std::fprintf(stderr, "kz318-kitgen: cannot write %s\n", path.c_str());
            return 1;
        }
        pcm.emplace_back((wav.size() - 44) / 2);
        for (std::size_t k = 0; k < pcm.back().size(); k++)
            pcm.back()[k] = static_cast<std::int16_t>(wav[44 + 2 * k] | wav[45 + 2 * k] << 8);
        names.push_back(name);
    }
    for (auto [file, outputs] : {std::pair{"demo.kbk", kitgen::Outputs::firstPair},
                                 std::pair{"demo-multiout.kbk", kitgen::Outputs::spread}}) {
        std::string bank = (out / "kit" / file).string();
        if (!kitgen::writeDemoBank(bank, pcm, names, outputs)) {
            std::fprintf(stderr, "kz318-kitgen: cannot write %s\n", bank.c_str());
            return 1;
        }
    }
    std::string midi = (out / "demo-groove.mid").string();
    if (!kitgen::writeFile(midi, kitgen::encodeMidi(kitgen::demoGroove()))) {
        std::fprintf(stderr, "kz318-kitgen: cannot write %s\n", midi.c_str());
        return 1;
    }
    std::printf("kz318-kitgen: wrote %zu samples and %s\n", kit.size(), midi.c_str());
    return 0;
}
