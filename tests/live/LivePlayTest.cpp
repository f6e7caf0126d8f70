// kz318-live plays what kz318-render renders, bit for bit, for the same
// events and block size: at period edges, in a choke group, through
// controller 123, with more events in one period than one list holds, and
// after the server changed its buffer size.
#include <gtest/gtest.h>
#include <jack/midiport.h>

#include <array>
#include <cstring>

#include "face/EventBatcher.h"
#include "live/Drummer.h"
#include "live/LiveHarness.h"
#include "support/TempFolder.h"

namespace livetest {
namespace {

const int kPeriod = 256;
// Pads of the demo kit: note 48 + pad.
const uint8_t kKick = 48, kSnare = 49, kClap = 52, kClosedHat = 53, kOpenHat = 55, kLowTom = 56, kCrash = 59,
              kRide = 60, kShaker = 62;

MidiEvent note(int64_t frame, uint8_t key, uint8_t velocity = 100) { return {frame, {0x90, key, velocity}}; }

// Every case in one sequence, period by period at 256 frames. `dense`
// events go into one period.
std::vector<MidiEvent> sequence(int crowd) {
    std::vector<MidiEvent> e;
    // Period edges: last frame of one period, first of the next.
    e.push_back(note(0, kKick));
    e.push_back(note(255, kSnare));
    e.push_back(note(256, kClap, 90));
    e.push_back(note(511, kLowTom, 70));
    e.push_back(note(512, kCrash, 60));
    // Choke group: the open hat cut by the closed one, in one period and
    // across periods.
    e.push_back(note(1024 + 10, kOpenHat));
    e.push_back(note(1024 + 200, kClosedHat));
    e.push_back(note(1536 + 100, kOpenHat));
    e.push_back(note(1792 + 3, kClosedHat, 40));
    // Controller 123 amid notes of the same period.
    e.push_back(note(2304 + 5, kRide));
    e.push_back({2304 + 50, {0xB0, 123, 0}});
    e.push_back(note(2304 + 120, kShaker));
    // More events in one period than one list holds (as many as the server
    // takes): channel pressure, which the instrument ignores, with notes
    // before and after the split.
    const int64_t dense = 3072;
    e.push_back(note(dense + 2, kKick));
    for (int i = 0; i < crowd; i++) e.push_back({dense + 4 + i % 240, {0xD0, uint8_t(i & 0x7F)}});
    std::stable_sort(e.end() - crowd, e.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.frame < b.frame; });
    e.push_back(note(dense + 250, kSnare));
    e.push_back(note(dense + 256 + 7, kCrash, 127));
    // Everything silenced at the end, so the render ends soon after.
    e.push_back({dense + 2048 + 77, {0xB0, 123, 0}});
    return e;
}

const size_t kRecorded = 3072 + 2048 + 44100;  // the sequence and a second after it

class LivePlay : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.ok()) << "the JACK dummy server did not start"; }

    // Plays the sequence at the server's present period until a run is not
    // spoiled by the server, and compares it with the renderer's.
    void playsLikeTheRenderer(Drummer& drummer, int block) {
        // Room for the period's notes besides the crowd.
        const int crowd = std::min(face::EventBatcher::kCapacity + 14, drummer.midiCapacity() - 4);
        ASSERT_GT(crowd, face::EventBatcher::kCapacity)
            << "the server's MIDI buffer takes " << drummer.midiCapacity() << " events a period: no split";
        const std::vector<MidiEvent> events = sequence(crowd);
        const std::string midi = folder / "sequence.mid";
        ASSERT_TRUE(writeMidiFile(midi, events));
        std::array<std::vector<float>, 8> reference;
        std::string error;
        ASSERT_TRUE(renderReference(midi, kit, block, folder.path(), reference, error)) << error;
        ASSERT_GT(reference[0].size(), 3072u);
        ASSERT_LE(reference[0].size(), kRecorded);
        bool played = false;
        for (int attempt = 0; attempt < 4 && !played; attempt++) {
            ASSERT_TRUE(drummer.play(events, kRecorded)) << "the recorder got no periods";
            ASSERT_EQ(drummer.refusedEvents(), 0) << "the server's MIDI buffer is smaller than the test needs";
            played = !drummer.spoiled();
            if (!played)
                std::printf("  run spoiled: %d xruns, %d events refused\n", drummer.xrunCount(),
                            drummer.refusedEvents());
        }
        ASSERT_TRUE(played) << "every run was spoiled by the server";
        for (int c = 0; c < 8; c++) {
            const std::vector<float>& got = drummer.channel(c);
            size_t differ = 0;
            for (size_t i = 0; i < kRecorded; i++) {
                const float want = i < reference[size_t(c)].size() ? reference[size_t(c)][i] : 0.0f;
                if (std::memcmp(&want, &got[i], sizeof want) != 0 && differ++ == 0)
                    ADD_FAILURE() << "output " << c + 1 << " differs first at frame " << i << ": " << got[i]
                                  << " instead of " << want;
            }
            EXPECT_EQ(differ, 0u) << "frames differing on output " << c + 1;
        }
    }

    JackServer server{kPeriod};
    testsupport::TempFolder folder;
    const std::string kit = programs.examples + "/demo-multiout.kbk";
};

TEST_F(LivePlay, PlaysTheRenderersBitsBeforeAndAfterABufferSizeChange) {
    LiveProcess live(server, {"--no-gui", "--no-connect", "--kit", kit}, folder.path());
    ASSERT_EQ(live.firstLine(),
              "KZ318 live: 44100 Hz, 256-frame periods (5.8 ms), kit demo-multiout.kbk, not connected")
        << live.errors();
    Drummer drummer(server.name(), kRecorded);
    ASSERT_TRUE(drummer.ok());
    ASSERT_TRUE(drummer.connect("KZ318"));
    playsLikeTheRenderer(drummer, kPeriod);

    // The instrument hears of the new size between periods and plays on.
    ASSERT_EQ(jack_set_buffer_size(drummer.client(), 1024), 0);
    ASSERT_TRUE(waitFor([&] { return jack_get_buffer_size(drummer.client()) == 1024; }, 5000));
    playsLikeTheRenderer(drummer, 1024);
    EXPECT_TRUE(live.running());
    EXPECT_EQ(live.stop(), 0) << live.errors();
}

TEST_F(LivePlay, EndsWithAMessageWhenTheServerDies) {
    LiveProcess live(server, {"--no-gui", "--kit", kit}, folder.path());
    ASSERT_NE(live.firstLine(), "") << live.errors();
    server.kill();
    EXPECT_EQ(live.wait(20), 1);
    EXPECT_NE(live.errors().find("the JACK server went away"), std::string::npos) << live.errors();
}

// Asks the server: a client only keeps its own ports' connections.
bool connected(jack_client_t* client, jack_port_t* port, const char* to) {
    const char** names = jack_port_get_all_connections(client, port);
    bool found = false;
    for (int i = 0; names && names[i]; i++) found = found || std::strcmp(names[i], to) == 0;
    if (names) jack_free(names);
    return found;
}

TEST_F(LivePlay, ConnectsPlaybackAndEveryMidiDeviceAlsoOnesThatComeLater) {
    jack_client_t* devices = openClient(server, "devices");
    ASSERT_NE(devices, nullptr);
    const unsigned long physicalCapture = JackPortIsOutput | JackPortIsPhysical | JackPortIsTerminal;
    jack_port_t* early = jack_port_register(devices, "early", JACK_DEFAULT_MIDI_TYPE, physicalCapture, 0);
    jack_port_t* playing = jack_port_register(devices, "not_physical", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    ASSERT_EQ(jack_activate(devices), 0);
    LiveProcess live(server, {"--no-gui", "--kit", kit}, folder.path());
    EXPECT_EQ(live.firstLine(),
              "KZ318 live: 44100 Hz, 256-frame periods (5.8 ms), kit demo-multiout.kbk, connected to "
              "system:playback_1/2")
        << live.errors();
    jack_port_t* left = jack_port_by_name(devices, "KZ318:Kz3 1L");
    jack_port_t* right = jack_port_by_name(devices, "KZ318:Kz3 1R");
    ASSERT_TRUE(left && right);
    EXPECT_TRUE(connected(devices, left, "system:playback_1"));
    EXPECT_TRUE(connected(devices, right, "system:playback_2"));
    EXPECT_TRUE(connected(devices, early, "KZ318:midi_in"));
    EXPECT_FALSE(connected(devices, playing, "KZ318:midi_in"));

    jack_port_t* late = jack_port_register(devices, "late", JACK_DEFAULT_MIDI_TYPE, physicalCapture, 0);
    EXPECT_TRUE(waitFor([&] { return connected(devices, late, "KZ318:midi_in"); }, 5000));
    EXPECT_EQ(live.stop(), 0) << live.errors();
    jack_client_close(devices);
}

}  // namespace
}  // namespace livetest
