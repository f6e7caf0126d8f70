// kz318-snapshot: a picture of the editor showing a kit.
// Usage: kz318-snapshot OUT.png [KIT.kbk]
//
// The plug-in hides everything but its entry and the toolkit, so a program
// that loads kz318.so cannot reach the window's pixels. This one is built
// from the same code as the plug-in instead, creates it through createPlugin
// as every face does and then drives it only through its effect record, as
// a host: the kit goes in through effSetChunk and the editor opens through
// effEditOpen with no parent window, which keeps it off-screen. Only the
// finished picture is taken from the editor's window directly.
#include <cstdio>
#include <string>
#include <vector>

#include "editor/InstrumentEditor.h"
#include "face/ChunkState.h"
#include "face/Face.h"
#include "instrument/DrumInstrument.h"
#include "render/KitSetup.h"

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "kz318-snapshot: %s\n", why.c_str());
    return 1;
}

// The editor's own window; null while it is closed.
HWND editorWindow(AEffect* effect) {
    DrumInstrument* instrument = static_cast<DrumInstrument*>(static_cast<EffectBase*>(effect->object));
    PadEditor* editor = instrument->padEditor();
    return editor ? static_cast<InstrumentEditor*>(editor)->m_hWnd : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUT.png [KIT.kbk]\n", argv[0]);
        return 2;
    }
    render::Options options;
    if (argc == 3) options.kit = argv[2];
    kitformat::Chunk chunk;
    std::string error;
    if (argc == 3 && !render::buildChunk(options, "", chunk, error)) return fail(error);

    face::HostInfo host;
    AEffect* effect = face::openPlugin(host);
    if (!effect) return fail("cannot create the instrument");
    if (!(effect->flags & effFlagsHasEditor)) {
        face::closePlugin(effect);
        return fail("the instrument has no editor");
    }
    if (argc == 3) {
        std::vector<uint8_t> bytes(kitformat::kChunkSize);
        kitformat::encodeChunk(chunk, bytes.data());
        face::restoreChunk(effect, bytes.data(), bytes.size());
    }
    ERect* rect = nullptr;
    face::dispatch(effect, effEditGetRect, 0, 0, &rect);
    int width = rect ? rect->right - rect->left : 0, height = rect ? rect->bottom - rect->top : 0;
    if (width != editor::kWidth || height != editor::kHeight) {
        face::closePlugin(effect);
        return fail("the editor reports " + std::to_string(width) + "x" + std::to_string(height) + ", its panel is " +
                    std::to_string(editor::kWidth) + "x" + std::to_string(editor::kHeight));
    }
    bool opened = face::dispatch(effect, effEditOpen) == 1;
    bool written = opened && platform::gdi::writeClientPng(editorWindow(effect), argv[1]);
    face::dispatch(effect, effEditClose);
    face::closePlugin(effect);  // destroys the instrument
    if (!written) return fail("cannot write " + std::string(argv[1]));
    std::printf("editor %dx%d: %s\n", width, height, argv[1]);
    return 0;
}
