// kz318-render: a command-line VST 2 host that plays a MIDI file through the
// KZ318 plug-in and writes the result as a WAV file. Everything reaches the
// plug-in through its binary interface, as from any host.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pluginhost/PluginLoader.h"
#include "render/DemoGroove.h"
#include "render/KitSetup.h"
#include "render/Options.h"
#include "render/Outputs.h"
#include "render/Renderer.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

int sampleRate = 44100;
int blockSize = 512;

VstIntPtr VSTCALL hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
        case audioMasterVersion: return kHostVersion;
        case audioMasterGetSampleRate: return sampleRate;
        case audioMasterGetBlockSize: return blockSize;
        default: return 0;
    }
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kz318-render: %s\n", message.c_str());
    return 1;
}

std::string executableDir() {
    char path[4096] = {};
#if defined(_WIN32)
    GetModuleFileNameA(nullptr, path, sizeof(path) - 1);
    const char* seps = "\\/";
#else
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return ".";
    const char* seps = "/";
#endif
    std::string p = path;
    size_t cut = p.find_last_of(seps);
    return cut == std::string::npos ? "." : p.substr(0, cut);
}

bool exists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

// The demo kit: beside the tool when installed, else in the source tree.
std::string findDemoKit(const std::string& dir) {
    for (const std::string& candidate : {dir + "/kit/demo.kbk", dir + "/../../examples/kit/demo.kbk",
                                         std::string(KZ_SOURCE_DIR "/examples/kit/demo.kbk")})
        if (exists(candidate)) return candidate;
    return std::string(KZ_SOURCE_DIR "/examples/kit/demo.kbk");
}

class Plugin {
public:
    explicit Plugin(const std::string& path) : library(path) {}
    ~Plugin() {
        if (effect) {
            vsthost::dispatch(effect, effMainsChanged, 0, 0);
            vsthost::dispatch(effect, effClose);
        }
    }
    bool start(const std::string& path, std::string& error) {
        if (!library.loaded()) return (error = "cannot load plug-in " + path + ": " + library.error()), false;
        vsthost::EntryProc entry = vsthost::findEntry(library);
        if (!entry) return (error = path + " is not a VST 2 plug-in"), false;
        effect = entry(hostCallback);
        if (!effect || effect->magic != kEffectMagic) return (error = "plug-in " + path + " refused to start"), false;
        vsthost::dispatch(effect, effOpen);
        vsthost::dispatch(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
        vsthost::dispatch(effect, effSetBlockSize, 0, blockSize);
        vsthost::dispatch(effect, effMainsChanged, 0, 1);
        return true;
    }
    AEffect* effect = nullptr;

private:
    vsthost::Library library;
};

}  // namespace

int main(int argc, char** argv) {
    render::Options o;
    std::string error;
    if (!render::parseOptions(argc, argv, o, error)) {
        std::fprintf(stderr, "kz318-render: %s\n%s", error.c_str(), "Try 'kz318-render --help'.\n");
        return 2;
    }
    if (o.help) {
        std::fputs(render::kUsage, stdout);
        return 0;
    }
    sampleRate = o.rate;
    blockSize = o.block;
    const std::string dir = executableDir();
#if defined(_WIN32)
    if (o.plugin.empty()) o.plugin = dir + "\\kz318.dll";
#else
    if (o.plugin.empty()) o.plugin = dir + "/kz318.so";
#endif

    smf::Song song;
    if (o.midi.empty()) {
        if (!smf::parse(demoGroove(), o.rate, song, error)) return fail("built-in groove: " + error);
    } else if (!smf::load(o.midi, o.rate, song, error)) {
        return fail(error);
    }
    kitformat::Chunk chunk;
    if (!render::buildChunk(o, findDemoKit(dir), chunk, error)) return fail(error);

    Plugin plugin(o.plugin);
    if (!plugin.start(o.plugin, error)) return fail(error);
    AEffect* fx = plugin.effect;
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(chunk, bytes.data());
    vsthost::dispatch(fx, effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data());
    if (!o.chunkOut.empty()) {
        void* data = nullptr;
        VstIntPtr size = vsthost::dispatch(fx, effGetChunk, 0, 0, &data);
        std::FILE* f = size > 0 && data ? std::fopen(o.chunkOut.c_str(), "wb") : nullptr;
        bool ok = f && std::fwrite(data, 1, static_cast<size_t>(size), f) == static_cast<size_t>(size);
        if (f) ok = (std::fclose(f) == 0) && ok;
        if (!ok) return fail("cannot write chunk " + o.chunkOut);
    }

    render::RenderSettings settings{o.block, o.rate, o.tail};
    if (o.benchmark) {
        double seconds = 0.0, audio = 0.0;
        for (int i = 0; i < o.benchmark; i++) {
            auto t0 = Clock::now();
            render::RenderResult r = render::renderSong(fx, song, settings, nullptr, nullptr);
            seconds += std::chrono::duration<double>(Clock::now() - t0).count();
            audio += static_cast<double>(r.frames) / o.rate;
        }
        std::printf("kz318-render: %.1f s of audio in %.3f s, %.0f x realtime\n", audio, seconds, audio / seconds);
        return 0;
    }

    render::Outputs outputs;
    if (!outputs.open(o.out, o.stems, o.rate, error)) return fail("cannot write " + error);
    auto t0 = Clock::now();
    auto lastReport = t0;
    bool reported = false;
    auto progress = [&](double done) {
        auto now = Clock::now();
        if (o.quiet || now - t0 < std::chrono::seconds(1) || now - lastReport < std::chrono::milliseconds(250)) return;
        lastReport = now;
        reported = true;
        std::fprintf(stderr, "\rkz318-render: rendering %3d%%", static_cast<int>(done * 100.0));
    };
    auto write = [&](const float* const* out, int frames) { return outputs.write(out, frames); };
    render::RenderResult result = render::renderSong(fx, song, settings, write, progress);
    if (reported) std::fprintf(stderr, result.stopped ? "\n" : "\rkz318-render: rendering 100%%\n");
    if (!outputs.finish(error)) return fail("cannot write " + error);

    double length = static_cast<double>(result.frames) / o.rate;
    if (o.stems) {
        for (const std::string& name : outputs.names()) std::printf("wrote %s (%.2f s)\n", name.c_str(), length);
    } else {
        float peak = outputs.peak();
        std::printf("wrote %s (%.2f s, peak %.1f dBFS)\n", o.out.c_str(), length,
                    peak > 0.0f ? 20.0 * std::log10(peak) : -999.0);
    }
    return 0;
}
