// The live program's process callback on a JACK dummy server at 64-frame
// periods, with all sixteen pads sounding: its time per period as a share of
// the period (the DSP load). Prints one line:
// live: <median> % median, <worst> % worst of a 64-frame period ...
#include <jack/jack.h>
#include <jack/midiport.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "face/ChunkState.h"
#include "face/Face.h"
#include "formats/KitFormats.h"
#include "live/Engine.h"
#include "live/KitFiles.h"

namespace {

const int kPeriod = 64;
const int kRate = 48000;
// Every pad struck again this often, so all sixteen always sound.
const int kStrikeEvery = 15;

std::vector<uint32_t> nanoseconds;  // one per period, preallocated
std::atomic<size_t> periods{0};
jack_port_t* drumsOut = nullptr;
unsigned strikeCount = 0;  // [drummer]

int timedProcess(jack_nframes_t frames, void* arg) {
    const auto start = std::chrono::steady_clock::now();
    const int result = live::Engine::process(frames, arg);
    const auto took = std::chrono::steady_clock::now() - start;
    const size_t n = periods.load(std::memory_order_relaxed);
    if (n < nanoseconds.size())
        nanoseconds[n] = uint32_t(std::chrono::duration_cast<std::chrono::nanoseconds>(took).count());
    periods.store(n + 1, std::memory_order_relaxed);
    return result;
}

int strike(jack_nframes_t frames, void*) {
    void* buffer = jack_port_get_buffer(drumsOut, frames);
    jack_midi_clear_buffer(buffer);
    if (strikeCount++ % kStrikeEvery != 0) return 0;
    for (uint8_t pad = 0; pad < 16; pad++) {
        const uint8_t on[3] = {0x90, uint8_t(48 + pad), 100};
        jack_midi_event_write(buffer, pad, on, 3);
    }
    return 0;
}

// The demo kit without choke groups: sixteen pads, sixteen voices.
bool loadKit(AEffect* effect, const std::string& kit) {
    std::string error;
    std::vector<uint8_t> bytes;
    if (!live::importBank(effect, kit, error) || !face::saveChunk(effect, bytes)) return false;
    kitformat::Chunk chunk;
    if (!kitformat::decodeChunk(bytes.data(), bytes.size(), chunk) || !chunk.bankPath[0]) return false;
    for (kitformat::ChunkPad& pad : chunk.pads) {
        pad.settings.choke = 0;
        if (pad.path[0]) pad.path[0] = '_';
    }
    kitformat::encodeChunk(chunk, bytes.data());
    return face::restoreChunk(effect, bytes.data(), bytes.size());
}

pid_t startServer(const std::string& name) {
    // jackd1 keeps its metadata in the default server's folder.
    const std::string shm = "/dev/shm/jack-" + std::to_string(getuid());
    mkdir(shm.c_str(), 0700);
    mkdir((shm + "/default").c_str(), 0700);
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execlp("jackd", "jackd", "-n", name.c_str(), "-t", "5000", "-d", "dummy", "-r", std::to_string(kRate).c_str(),
               "-p", std::to_string(kPeriod).c_str(), nullptr);
        _exit(127);
    }
    return pid;
}

double share(uint32_t ns) { return 100.0 * ns * 1e-9 / (double(kPeriod) / kRate); }

void quiet(const char*) {}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench-live DEMO-KIT.kbk [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    // The client library reports every attempt while the server starts.
    jack_set_error_function(quiet);
    const std::string server = "kz318-bench-" + std::to_string(getpid());
    const pid_t jackd = startServer(server);
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    live::Engine engine;
    std::string error;
    bool opened = false;
    for (int i = 0; i < 100 && !(opened = engine.open("KZ318", error)); i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    face::HostInfo host;
    AEffect* effect = opened ? face::openPlugin(host) : nullptr;
    int status = 1;
    if (effect) {
        face::setupPlugin(effect, engine.sampleRate(), int32_t(engine.periodFrames()));
        jack_status_t ignored;
        jack_client_t* drummer = jack_client_open("drummer", JackNoStartServer, &ignored);
        nanoseconds.assign(size_t(seconds + 5) * kRate / kPeriod, 0);
        if (drummer && loadKit(effect, argv[1]) && engine.start(effect, error, timedProcess)) {
            drumsOut = jack_port_register(drummer, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
            jack_set_process_callback(drummer, strike, nullptr);
            jack_activate(drummer);
            jack_connect(drummer, jack_port_name(drumsOut), "KZ318:midi_in");
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const size_t first = periods.load();
            std::this_thread::sleep_for(std::chrono::seconds(seconds));
            const size_t last = std::min(periods.load(), nanoseconds.size());
            engine.stop();
            std::vector<uint32_t> times(nanoseconds.begin() + long(first), nanoseconds.begin() + long(last));
            std::sort(times.begin(), times.end());
            if (!times.empty()) {
                std::printf(
                    "live: process callback %.1f %% median, %.1f %% worst of a %d-frame period (%.2f ms), "
                    "16 voices, %zu periods in %d s on the dummy server\n",
                    share(times[times.size() / 2]), share(times.back()), kPeriod, 1000.0 * kPeriod / kRate,
                    times.size(), seconds);
                status = 0;
            }
        } else {
            std::fprintf(stderr, "bench-live: the kit or the JACK client could not be set up %s\n", error.c_str());
        }
        if (drummer) jack_client_close(drummer);
        face::closePlugin(effect);
    } else {
        std::fprintf(stderr, "bench-live: no JACK dummy server: %s\n", error.c_str());
    }
    kill(jackd, SIGTERM);
    waitpid(jackd, nullptr, 0);
    return status;
}
