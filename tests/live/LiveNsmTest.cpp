// The session manager's side of NSM, played by the test over loopback UDP:
// announce, open (a new client's empty kit, then the saved one), save, and
// the editor shown and hidden.
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <lo/lo.h>

#include <cstring>
#include <deque>

#include "editor/EditorGeometry.h"
#include "formats/KitFormats.h"
#include "live/Desktop.h"
#include "live/LiveHarness.h"
#include "support/TempFolder.h"

namespace livetest {
namespace {

// liblo hands the arguments over unaligned: they are read through bytes.
std::string argument(char type, const lo_arg* arg) {
    if (type == 's') return reinterpret_cast<const char*>(arg);
    if (type != 'i') return "?";
    int32_t value;
    std::memcpy(&value, arg, sizeof value);
    return std::to_string(value);
}

// The manager: records every message with its string and number arguments.
class TestManager {
public:
    struct Message {
        std::string path;
        std::vector<std::string> args;  // numbers as decimal text
    };
    TestManager() {
        server = lo_server_new_with_proto(nullptr, LO_UDP, nullptr);
        if (server) lo_server_add_method(server, nullptr, nullptr, collect, this);
    }
    ~TestManager() {
        if (client) lo_address_free(client);
        if (server) lo_server_free(server);
    }
    std::string url() const { return "osc.udp://127.0.0.1:" + std::to_string(lo_server_get_port(server)) + "/"; }
    // The next message with this path, skipping none; false after `seconds`.
    bool expect(const std::string& path, Message& out, int seconds = 20) {
        const bool got = waitFor(
            [&] {
                while (lo_server_recv_noblock(server, 0) > 0) {}
                return !received.empty();
            },
            seconds * 1000);
        if (!got) return false;
        out = received.front();
        received.pop_front();
        return out.path == path;
    }
    template <class... Args>
    void send(const char* path, const char* types, Args... args) {
        lo_send_from(client, server, LO_TT_IMMEDIATE, path, types, args...);
    }

private:
    static int collect(const char* path, const char* types, lo_arg** argv, int argc, lo_message message, void* self) {
        TestManager& m = *static_cast<TestManager*>(self);
        Message got{path, {}};
        for (int i = 0; i < argc; i++) got.args.push_back(argument(types[i], argv[i]));
        if (!m.client) {
            lo_address from = lo_message_get_source(message);
            m.client = lo_address_new(lo_address_get_hostname(from), lo_address_get_port(from));
        }
        m.received.push_back(got);
        return 0;
    }

    lo_server server = nullptr;
    lo_address client = nullptr;
    std::deque<Message> received;
};

class LiveNsm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.ok()) << "the JACK dummy server did not start"; }

    // Starts the program under the manager and opens it on `session`.
    std::unique_ptr<LiveProcess> join(TestManager& manager, const std::string& session) {
        std::unique_ptr<LiveProcess> live(new LiveProcess(server, {}, folder.path(), {"NSM_URL=" + manager.url()}));
        TestManager::Message m;
        EXPECT_TRUE(manager.expect("/nsm/server/announce", m)) << m.path << live->errors();
        const std::vector<std::string> announced = {"KZ318", ":optional-gui:dirty:", "kz318-live", "1", "2"};
        EXPECT_EQ(std::vector<std::string>(m.args.begin(), m.args.begin() + std::min<size_t>(5, m.args.size())),
                  announced);
        manager.send("/reply", "ssss", "/nsm/server/announce", "welcome", "test manager", ":server-control:");
        manager.send("/nsm/client/open", "sss", session.c_str(), "KZ318", "KZ318.nTEST");
        EXPECT_TRUE(manager.expect("/reply", m)) << m.path << live->errors();
        EXPECT_EQ(m.args.at(0), "/nsm/client/open");
        EXPECT_TRUE(manager.expect("/nsm/client/gui_is_hidden", m)) << m.path;
        return live;
    }

    JackServer server;
    testsupport::TempFolder folder;
};

TEST_F(LiveNsm, OpensANewClientEmptySavesAndReopensTheSavedKit) {
    const std::string session = folder / "session/KZ318.nTEST";
    TestManager manager;
    {
        std::unique_ptr<LiveProcess> live = join(manager, session);
        EXPECT_EQ(live->firstLine(),
                  "KZ318 live: 44100 Hz, 256-frame periods (5.8 ms), empty kit, connected to system:playback_1/2");
        jack_client_t* probe = openClient(server, "probe");
        ASSERT_NE(probe, nullptr);
        EXPECT_NE(jack_port_by_name(probe, "KZ318.nTEST:midi_in"), nullptr) << "the client runs under its session id";
        jack_client_close(probe);
        manager.send("/nsm/client/save", "");
        TestManager::Message m;
        EXPECT_TRUE(manager.expect("/reply", m)) << m.path;
        EXPECT_EQ(m.args.at(0), "/nsm/client/save");
        const std::vector<uint8_t> saved = readBytes(session + "/kit.chunk");
        kitformat::Chunk chunk;
        ASSERT_TRUE(kitformat::decodeChunk(saved.data(), saved.size(), chunk));
        EXPECT_EQ(chunk.bankPath[0], 0);
        EXPECT_EQ(live->stop(), 0) << live->errors();
    }
    // The session's kit is the one the manager opens next time.
    LiveProcess demo(
        server,
        {"--no-gui", "--no-connect", "--kit", programs.examples + "/demo.kbk", "--save-chunk", session + "/kit.chunk"},
        folder.path());
    ASSERT_NE(demo.firstLine(), "");
    ASSERT_EQ(demo.stop(), 0);
    const std::vector<uint8_t> remembered = readBytes(folder / "config/kz318/live.chunk");
    {
        TestManager again;
        std::unique_ptr<LiveProcess> live = join(again, session);
        EXPECT_EQ(live->firstLine(),
                  "KZ318 live: 44100 Hz, 256-frame periods (5.8 ms), kit demo.kbk, connected to system:playback_1/2");
        EXPECT_EQ(live->stop(), 0) << live->errors();
    }
    // A session's kit never goes to the remembered one.
    EXPECT_EQ(readBytes(folder / "config/kz318/live.chunk"), remembered);
}

TEST_F(LiveNsm, ShowsAndHidesTheEditorWindow) {
    TestManager manager;
    std::unique_ptr<LiveProcess> live = join(manager, folder / "session/KZ318.nTEST");
    TestManager::Message m;
    manager.send("/nsm/client/show_optional_gui", "");
    EXPECT_TRUE(manager.expect("/nsm/client/gui_is_shown", m)) << m.path << live->errors();
    manager.send("/nsm/client/hide_optional_gui", "");
    EXPECT_TRUE(manager.expect("/nsm/client/gui_is_hidden", m)) << m.path;
    manager.send("/nsm/client/show_optional_gui", "");
    EXPECT_TRUE(manager.expect("/nsm/client/gui_is_shown", m)) << m.path;

    // A change in the editor makes the session dirty; a save makes it clean.
    Desktop desktop;
    ASSERT_TRUE(desktop.ok());
    const Window window = desktop.find("KZ318");
    ASSERT_NE(window, 0u);
    const editor::Spot up = editor::spot::kNoteUpBox;
    ASSERT_TRUE(desktop.clickEditor(window, up.x + up.w / 2, up.y + up.h / 2));
    EXPECT_TRUE(manager.expect("/nsm/client/is_dirty", m)) << m.path;
    manager.send("/nsm/client/save", "");
    EXPECT_TRUE(manager.expect("/reply", m)) << m.path;
    EXPECT_TRUE(manager.expect("/nsm/client/is_clean", m)) << m.path;
    // Under a session manager, closing the window only hides it.
    desktop.close(window);
    EXPECT_TRUE(manager.expect("/nsm/client/gui_is_hidden", m)) << m.path;
    EXPECT_TRUE(live->running());
    EXPECT_EQ(live->stop(), 0) << live->errors();
}

}  // namespace
}  // namespace livetest
