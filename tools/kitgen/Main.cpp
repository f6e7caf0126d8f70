// kz318-kitgen OUTDIR: synthesises the demo kit into OUTDIR/kit/NN-name.wav
// (pad order) and writes the demo groove to OUTDIR/demo-groove.mid.
// The output is deterministic; regenerate the committed copy from the
// repository root with:  build/linux/kz318-kitgen examples
#include <cstdio>
#include <filesystem>
#include <string>

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
    for (std::size_t i = 0; i < kit.size(); i++) {
        char name[64];
        std::snprintf(name, sizeof name, "%02zu-%s.wav", i + 1, kit[i].name.c_str());
        std::string path = (out / "kit" / name).string();
        if (!kitgen::writeFile(path, kitgen::encodeWav(kit[i].samples))) {
            std::fprintf(stderr, "kz318-kitgen: cannot write %s\n", path.c_str());
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
