// Audio: the CLAP plug-in against the VST 2 plug-in given the same kit and
// notes, block by block, on all eight outputs.
#include <cstdio>
#include <memory>

#include "clap/ClapHost.h"
#include "face/EventBatcher.h"
#include "lv2/Kit.h"
#include "support/MiniTest.h"

using namespace claptest;
using namespace lv2test;

namespace {

const double kRate = 48000.0;

struct Pair {
    Pair(const Bytes& kit, uint32_t maxBlock = 4096) : vst(vstPath, kRate, int(maxBlock)) {
        ok = clapPlugin.ok() && vst.ok() && clapPlugin.load(kit) && clapPlugin.activate(kRate, maxBlock);
        vst.setChunk(kit);
    }
    // One block on both; false when any sample of the eight outputs differs.
    bool play(uint32_t frames, const std::vector<Event>& events, uint32_t ports = 4) {
        Block a(frames), b(frames);
        if (clapPlugin.run(a, events, ports) != clap::kProcessContinue) return false;
        vst.run(b, asMidi(events));
        heard = heard || !a.silent();
        if (ports < 4) {
            for (int k = 2 * int(ports); k < kOutputs; k++) {
                for (float x : a.data[k])
                    if (x != 0.5f) return false;  // a channel not handed over was written
                a.data[k] = b.data[k];
            }
        }
        return a == b;
    }
    ClapPlugin clapPlugin;
    VstPlugin vst;
    bool ok = false;
    bool heard = false;
};

// Notes at absolute frames on and around every block edge of the sizes
// played, in one dialect: CLAP notes (with note-offs and chokes of one key,
// which change nothing) or MIDI.
std::vector<Event> performance(bool clapDialect) {
    const uint32_t frames[] = {0, 1, 63, 64, 65, 99, 100, 101, 511, 512, 513, 1000, 4095, 4096, 4097, 5000, 8191, 8192};
    const int notes[] = {kKick, kSnare, kHat, kBankPad, kMissing, kSnare, kKick, kHat};
    const double velocities[] = {1.0, 0.5, 0.001, 0.75, 0.3, 0.999, 0.0039, 0.62};
    std::vector<Event> out;
    int i = 0;
    for (uint32_t f : frames) {
        const int note = notes[i % 8];
        const double v = velocities[i % 8];
        if (clapDialect) {
            out.push_back(noteOn(f, note, v, i % 16));
            out.push_back(noteOff(f, kKick));
            out.push_back(choke(f, kHat, 0));
        } else {
            out.push_back(midi(f, uint8_t(0x90 | (i % 16)), uint8_t(note), uint8_t(1 + (i * 37) % 127)));
            out.push_back(midi(f, 0x80, uint8_t(kKick), 0));
        }
        i++;
    }
    // Everything silenced part-way, then a note on the same frame.
    const uint32_t silence = 6000;
    out.push_back(clapDialect ? choke(silence, -1, -1) : midi(silence, 0xB0, 123, 0));
    out.push_back(clapDialect ? noteOn(silence, kHat, 0.9) : midi(silence, 0x90, kHat, 100));
    return out;
}

// The performance cut into blocks of `size`: false on the first block that differs.
bool playInBlocks(Pair& pair, const std::vector<Event>& all, uint32_t size, uint32_t total, uint32_t ports = 4) {
    for (uint32_t start = 0; start < total; start += size) {
        std::vector<Event> block;
        for (const Event& e : all) {
            if (e.frame < start || e.frame >= start + size) continue;
            Event local = e;
            local.frame -= start;
            block.push_back(local);
        }
        if (!pair.play(size, block, ports)) {
            std::printf("  block of %u at frame %u differs\n", unsigned(size), unsigned(start));
            return false;
        }
    }
    return true;
}

}  // namespace

TEST_CASE(EveryBlockSizeEqualsTheVst2PluginInBothDialects) {
    Kit kit;
    for (bool clapDialect : {true, false}) {
        for (uint32_t size : {1u, 64u, 100u, 512u, 4096u}) {
            Pair pair(kit.bytes(), size);
            if (!CHECK(pair.ok)) return;
            CHECK(playInBlocks(pair, performance(clapDialect), size, 3 * 4096));
            CHECK(pair.heard);
        }
    }
}

TEST_CASE(ClapVelocitiesBecomeMidiVelocities) {
    Kit kit;
    // One note per block, each compared with the MIDI velocity it must become.
    const double velocities[] = {1.0, 0.5, 0.503937, 0.001, 1e-9, 0.996, 0.0039, 0.00394};
    const int midiVelocities[] = {127, 64, 64, 1, 1, 126, 1, 1};
    Pair pair(kit.bytes());
    if (!CHECK(pair.ok)) return;
    for (int i = 0; i < 8; i++) {
        Block a(256), b(256);
        pair.clapPlugin.run(a, {noteOn(3, kKick, velocities[i])});
        pair.vst.run(b, {midi(3, 0x90, kKick, uint8_t(midiVelocities[i]))});
        if (!CHECK(a == b)) std::printf("  velocity %g\n", velocities[i]);
    }
    // A note-on of velocity 0 and a note-on of a wildcard key play nothing.
    Block silent(256);
    pair.clapPlugin.run(silent, {midi(0, 0xB0, 123, 0)});
    pair.clapPlugin.run(silent, {noteOn(0, kKick, 0.0), noteOn(5, -1, 1.0)});
    CHECK(silent.silent());
}

TEST_CASE(MoreEventsThanOneListHoldsSplitTheBlockAndKeepTheirFrames) {
    Kit kit;
    const int crowd = 2 * face::EventBatcher::kCapacity + 188;
    for (bool clapDialect : {true, false}) {
        Pair pair(kit.bytes());
        if (!CHECK(pair.ok)) return;
        std::vector<Event> crowded;
        for (int i = 0; i < crowd; i++) {
            const uint32_t frame = uint32_t(i * 512 / crowd);
            crowded.push_back(clapDialect ? noteOff(frame, 60) : midi(frame, 0x80, 60, 0));
            if (i == 5 || i == face::EventBatcher::kCapacity || i == face::EventBatcher::kCapacity + 1 || i == 600)
                crowded.push_back(clapDialect ? noteOn(frame, i == 600 ? kHat : kKick, 0.7)
                                              : midi(frame, 0x90, uint8_t(i == 600 ? kHat : kKick), 90));
        }
        CHECK(pair.play(512, crowded));
        std::vector<Event> sameFrame(size_t(crowd), clapDialect ? noteOff(0, 60) : midi(0, 0x80, 60, 0));
        sameFrame.push_back(noteOn(0, kSnare, 0.8));
        CHECK(pair.play(100, sameFrame));
        for (int i = 0; i < 20; i++) CHECK(pair.play(512, {}));
        CHECK(pair.heard);
    }
}

TEST_CASE(AHostHandingOverOnlyTheMainPortGetsPairOne) {
    Kit kit;
    for (uint32_t ports : {1u, 2u}) {
        Pair pair(kit.bytes(), 512);
        if (!CHECK(pair.ok)) return;
        CHECK(playInBlocks(pair, performance(false), 512, 2 * 4096, ports));
        CHECK(pair.heard);
    }
}

TEST_CASE(ProcessOutsideActivationFailsAndWritesNothing) {
    Kit kit;
    ClapPlugin p;
    if (!CHECK(p.ok())) return;
    Block b(64);
    CHECK_EQ(p.run(b, {noteOn(0, kKick, 1.0)}), int32_t(clap::kProcessError));
    CHECK(b == Block(64));
    CHECK(p.activate(kRate, 64));
    CHECK(!p.raw()->activate(p.raw(), kRate, 1, 64));  // already active
    p.deactivate();
    CHECK_EQ(p.run(b, {}), int32_t(clap::kProcessError));
    CHECK(b == Block(64));
}

TEST_CASE(ResetSilencesEveryVoice) {
    Kit kit;
    Pair pair(kit.bytes());
    if (!CHECK(pair.ok)) return;
    CHECK(pair.play(256, {noteOn(0, kKick, 1.0), noteOn(10, kHat, 1.0)}));
    pair.clapPlugin.raw()->reset(pair.clapPlugin.raw());
    Block after(256);
    pair.clapPlugin.run(after, {});
    CHECK(after.silent());
}

TEST_CASE(DestroyWhileActiveAndPlaying) {
    Kit kit;
    const clap::PluginFactory* f = library().factory;
    ClapPlugin hostOnly;  // lends its host record
    const clap::Plugin* p = f->createPlugin(f, &hostOnly.host, "com.morvantic.kz318");
    if (!CHECK(p && p->init(p))) return;
    CHECK(p->activate(p, kRate, 1, 512));
    CHECK(p->startProcessing(p));
    p->destroy(p);
    // Destroyed before init, too.
    p = f->createPlugin(f, &hostOnly.host, "com.morvantic.kz318");
    if (CHECK(p != nullptr)) p->destroy(p);
}

namespace claptest {

// A performance on a kit of WAV files every system reads alike, in mixed
// blocks; all eight outputs of every block, as raw floats.
int renderPerformance(const char* path) {
    Kit kit;
    kit.setPad(1, "kick.wav", kSnare, 1, 0.5f);
    kit.setPad(4, "hat.wav", kMissing, 0, 0.5f);
    Pair pair(kit.bytes());
    if (!pair.ok) {
        std::fprintf(stderr, "clap-host-test: the plug-in did not start\n");
        return 1;
    }
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return 1;
    const std::vector<Event> all = performance(true);
    const uint32_t sizes[] = {1, 64, 100, 512, 4096, 333};
    uint32_t start = 0;
    for (int i = 0; start < 3 * 4096; i++) {
        const uint32_t size = sizes[i % 6];
        std::vector<Event> block;
        for (const Event& e : all)
            if (e.frame >= start && e.frame < start + size) {
                block.push_back(e);
                block.back().frame -= start;
            }
        Block b(size);
        pair.clapPlugin.run(b, block);
        for (const auto& channel : b.data) std::fwrite(channel.data(), sizeof(float), channel.size(), out);
        start += size;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace claptest
