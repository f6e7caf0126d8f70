// kz318-kitgen OUTDIR: synthesises the demo kit into OUTDIR/kit/NN-name.wav
// (pad order), the same kit as the bank OUTDIR/kit/demo.kbk, and the demo
// groove to OUTDIR/demo-groove.mid.
// The output is deterministic; regenerate the committed copy from the
// repository root with:  build/linux/kz318-kitgen examples
#include <cstdio>
#include <filesystem>
#include <string>

#include "Bank.h"
#include "Files.h"
#include "Groove.h"
#include "Sounds.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: kz318-kitgen OUTDIR\n");
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
        char name[64];
        std::snprintf(name, sizeof name, "%02zu-%s.wav", i + 1, kit[i].name.c_str());
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
    std::string bank = (out / "kit" / "demo.kbk").string();
    if (!kitgen::writeDemoBank(bank, pcm, names)) {
        std::fprintf(stderr, "kz318-kitgen: cannot write %s\n", bank.c_str());
        return 1;
    }
    std::string midi = (out / "demo-groove.mid").string();
    if (!kitgen::writeFile(midi, kitgen::encodeMidi(kitgen::demoGroove()))) {
        std::fprintf(stderr, "kz318-kitgen: cannot write %s\n", midi.c_str());
        return 1;
    }
    std::printf("kz318-kitgen: wrote %zu samples and %s\n", kit.size(), midi.c_str());
    return 0;
}
