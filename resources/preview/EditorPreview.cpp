// kz318-editor-preview: lays the toolkit's controls over the panel at the
// editor's positions, in the states of a small example kit, draws them with
// the toolkit on the Linux canvas and saves the window as a PNG file.
// Usage: kz318-editor-preview OUT.png
#include <cstdio>
#include <memory>
#include <vector>

#include "toolkit/AppWindow.h"
#include "toolkit/ButtonsText.h"
#include "toolkit/KnobFader.h"

namespace {

constexpr int kPitch = 38;

struct PadLook {
    const char* name;
    float volume, pan, pitch, ampDecay, pitchDecay;
    int note, choke, output;
    bool mute, solo;
};

const PadLook kKit[16] = {
    {"Kick 01", 0.85f, 0.50f, 0.50f, 0.70f, 0.30f, 48, 0, 0, false, false},
    {"Snare", 0.75f, 0.45f, 0.55f, 0.55f, 0.10f, 49, 0, 0, false, false},
    {"Clap", 0.60f, 0.60f, 0.50f, 0.40f, 0.00f, 50, 0, 1, false, false},
    {"Rim", 0.50f, 0.30f, 0.65f, 0.25f, 0.00f, 51, 0, 1, true, false},
    {"HH closed", 0.55f, 0.70f, 0.50f, 0.15f, 0.00f, 52, 1, 2, false, false},
    {"HH open", 0.50f, 0.70f, 0.50f, 0.80f, 0.00f, 53, 1, 2, false, false},
    {"Tom low", 0.65f, 0.25f, 0.35f, 0.60f, 0.45f, 54, 0, 3, false, true},
    {"Tom high", 0.65f, 0.75f, 0.60f, 0.55f, 0.40f, 55, 0, 3, false, false},
    {"Ride", 0.45f, 0.80f, 0.50f, 0.90f, 0.00f, 56, 2, 0, false, false},
    {"Crash", 0.40f, 0.20f, 0.50f, 1.00f, 0.00f, 57, 2, 0, false, false},
    {"Cowbell", 0.50f, 0.55f, 0.70f, 0.35f, 0.00f, 58, 0, 0, false, false},
    {"Shaker", 0.35f, 0.65f, 0.50f, 0.20f, 0.00f, 59, 0, 0, false, false},
    {"Conga", 0.55f, 0.40f, 0.45f, 0.45f, 0.20f, 60, 0, 1, false, false},
    {nullptr, 0.50f, 0.50f, 0.50f, 0.50f, 0.00f, 61, 0, 0, false, false},
    {nullptr, 0.50f, 0.50f, 0.50f, 0.50f, 0.00f, 62, 0, 0, false, false},
    {nullptr, 0.50f, 0.50f, 0.50f, 0.50f, 0.00f, 63, 0, 0, false, false},
};

LRESULT CALLBACK parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

char* text(const char* s) { return const_cast<char*>(s); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    HINSTANCE module = nullptr;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = parentProc;
    wc.lpszClassName = "KzPreviewHost";
    RegisterClassExA(&wc);
    HWND parent = CreateWindowExA(0, "KzPreviewHost", "", WS_POPUP, 0, 0, 670, 400, nullptr, nullptr, module, nullptr);

    AppWindow window(module, 670, 400, 215);
    CButtonFactory noteDown(module, 199, 199, 199, 198, 197, 198), noteUp(module, 202, 202, 202, 201, 200, 201);
    CButtonFactory choke(module, 206, 206, 206, 207, 205, 208), out(module, 212, 212, 212, 213, 211, 214);
    CButtonFactory unload(module, 225, 225, 225, 224, 226, 224), mute(module, 217, 217, 217, 219, 218, 220);
    CButtonFactory solo(module, 217, 217, 217, 222, 221, 223);
    CFaderFactory faders(module, 196, 216, 203, 204, false);
    CKnobFactory knobs(module, 210, 209, false);
    CStaticTextFactory names(module, 13, text("Arial"), 63, 12, 0xFFDD22);
    CStaticTextFactory notes(module, 13, text("Arial"), 18, 15, 0x22FF55);

    std::vector<std::unique_ptr<CBaseControl>> controls;
    auto add = [&](CBaseControl* c, float state) {
        c->SetState(state, false);
        controls.emplace_back(c);
    };
    for (int p = 0; p < 16; p++) {
        const PadLook& pad = kKit[p];
        int dx = kPitch * p;
        add(faders.CreateFader(67 + dx, 296), pad.volume);
        add(knobs.CreateKnob(61 + dx, 265), pad.pan);
        add(knobs.CreateKnob(61 + dx, 115), pad.pitch);
        add(knobs.CreateKnob(61 + dx, 145), pad.ampDecay);
        add(knobs.CreateKnob(61 + dx, 176), pad.pitchDecay);
        add(noteDown.CreateMomentaryButton(56 + dx, 95), 0);
        add(noteUp.CreateMomentaryButton(83 + dx, 95), 0);
        for (int i = 0; i < 3; i++) add(choke.CreateLatchingButton(56 + 12 * i + dx, 205), pad.choke == i);
        for (int i = 0; i < 4; i++)
            add(out.CreateLatchingButton((i % 2 ? 77 : 58) + dx, i < 2 ? 220 : 235), pad.output == i);
        add(names.CreateStaticText(p % 2 ? 18 + dx : 65 + dx, p % 2 ? 70 : 56,
                                   text(pad.name ? pad.name : "< none >")),
            0);
        char number[8];
        std::snprintf(number, sizeof number, "%d", pad.note);
        add(notes.CreateStaticText(66 + dx, 98, number), 0);
        add(unload.CreateMomentaryButton(58 + dx, 84), 0);
        add(mute.CreateLatchingButton(56 + dx, 250), pad.mute);
        add(solo.CreateLatchingButton(75 + dx, 250), pad.solo);
    }

    window.OpenWindow(parent);
    for (auto& c : controls) c->WOpen(window.m_hWnd, window.m_backBuffer, window.m_memDC);
    // One control of each kind held down, as under the pointer.
    CBaseControl* held[] = {controls[13 * 19 + 5].get(), controls[14 * 19 + 9].get()};
    for (CBaseControl* c : held) {
        int x, y, w, h;
        c->GetRegion(&x, &y, &w, &h);
        c->HitTest(x + w / 2, y + h / 2, false, true);
    }
    for (auto& c : controls) c->Repaint();
    window.WinPaint();
    bool ok = platform::gdi::writeClientPng(window.m_hWnd, argv[1]);
    for (auto& c : controls) c->WClose();
    controls.clear();
    window.CloseWindow();
    DestroyWindow(parent);
    UnregisterClassA("KzPreviewHost", module);
    if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return ok ? 0 : 1;
}
