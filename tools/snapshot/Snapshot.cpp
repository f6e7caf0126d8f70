// kz318-snapshot: a picture of the editor showing a kit.
// Usage: kz318-snapshot OUT.png [KIT.kbk]
//
// The plug-in hides everything but its entry and the toolkit, so a program
// that loads kz318.so cannot reach the window's pixels. This one is built
// from the same code as the plug-in instead, creates the instrument as the
// entry does and then drives it only through its effect record, as a host:
// the kit goes in through effSetChunk and the editor opens through
// effEditOpen with no parent window, which keeps it off-screen.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"
#include "render/KitSetup.h"

namespace {

VstIntPtr VSTCALL hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

int fail(const std::string& why) {
    std::fprintf(stderr, "kz318-snapshot: %s\n", why.c_str());
    return 1;
}

VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
    return e->dispatcher(e, opcode, 0, value, ptr, 0.0f);
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

    DrumInstrument* instrument = new DrumInstrument(hostCallback);
    new (std::nothrow) InstrumentEditor(instrument);  // registers itself
    AEffect* effect = instrument->getAeffect();
    if (!instrument->valid() || !instrument->padEditor()) {
        dispatch(effect, effClose);
        return fail("cannot create the instrument and its editor");
    }
    dispatch(effect, effOpen);
    if (argc == 3) {
        std::vector<uint8_t> bytes(kitformat::kChunkSize);
        kitformat::encodeChunk(chunk, bytes.data());
        dispatch(effect, effSetChunk, VstIntPtr(bytes.size()), bytes.data());
    }
    ERect* rect = nullptr;
    dispatch(effect, effEditGetRect, 0, &rect);
    int width = rect ? rect->right - rect->left : 0, height = rect ? rect->bottom - rect->top : 0;
    if (width != editor::kWidth || height != editor::kHeight) {
        dispatch(effect, effClose);
        return fail("the editor reports " + std::to_string(width) + "x" + std::to_string(height) + ", its panel is " +
                    std::to_string(editor::kWidth) + "x" + std::to_string(editor::kHeight));
    }
    bool opened = dispatch(effect, effEditOpen, 0, nullptr) == 1;
    HWND window = static_cast<InstrumentEditor*>(instrument->padEditor())->m_hWnd;
    bool written = opened && platform::gdi::writeClientPng(window, argv[1]);
    dispatch(effect, effEditClose);
    dispatch(effect, effClose);  // destroys the instrument
    if (!written) return fail("cannot write " + std::string(argv[1]));
    std::printf("editor %dx%d: %s\n", width, height, argv[1]);
    return 0;
}
