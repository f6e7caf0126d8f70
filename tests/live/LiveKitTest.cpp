// The kit between runs: remembered in live.chunk, a damaged file left alone
// until the kit changes, a bank that cannot be read, the chunk options, and
// the one-line errors.
#include <gtest/gtest.h>

#include "editor/EditorGeometry.h"
#include "formats/KitFormats.h"
#include "live/Desktop.h"
#include "live/LiveHarness.h"
#include "support/TempFolder.h"

namespace livetest {
namespace {

class LiveKit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.ok()) << "the JACK dummy server did not start"; }
    std::string remembered() const { return folder / "config/kz318/live.chunk"; }
    std::string kitLine(const std::string& kit) const {
        return "KZ318 live: 44100 Hz, 256-frame periods (5.8 ms), " + kit + ", not connected";
    }
    // Runs the program until its first line, stops it; the line.
    std::string runOnce(const std::vector<std::string>& args, int& status, std::string& errors) {
        std::vector<std::string> all = {"--no-gui", "--no-connect"};
        all.insert(all.end(), args.begin(), args.end());
        LiveProcess live(server, all, folder.path());
        const std::string line = live.firstLine();
        status = live.stop();
        errors = live.errors();
        return line;
    }

    JackServer server;
    testsupport::TempFolder folder;
    const std::string demo = programs.examples + "/demo.kbk";
};

TEST_F(LiveKit, TheKitComesBackInTheNextRunAndSavesAsAChunk) {
    int status;
    std::string errors;
    EXPECT_EQ(runOnce({"--kit", demo, "--save-chunk", folder / "saved.chunk"}, status, errors),
              kitLine("kit demo.kbk"));
    EXPECT_EQ(status, 0) << errors;
    const std::vector<uint8_t> kept = readBytes(remembered());
    ASSERT_EQ(kept.size(), kitformat::kChunkSize);
    EXPECT_EQ(kept, readBytes(folder / "saved.chunk"));

    EXPECT_EQ(runOnce({}, status, errors), kitLine("kit demo.kbk"));
    EXPECT_EQ(status, 0) << errors;
    EXPECT_EQ(readBytes(remembered()), kept);
    // A saved chunk restores in a run of its own too.
    std::remove(remembered().c_str());
    EXPECT_EQ(runOnce({"--chunk", folder / "saved.chunk"}, status, errors), kitLine("kit demo.kbk"));
    EXPECT_EQ(readBytes(remembered()), kept);
}

TEST_F(LiveKit, ADamagedChunkGivesTheEmptyKitAndStaysUntilTheKitChanges) {
    const std::vector<uint8_t> damaged(kitformat::kChunkSize, 0x5A);
    ASSERT_EQ(std::system(("mkdir -p '" + folder / "config/kz318" + "'").c_str()), 0);
    ASSERT_TRUE(writeBytes(remembered(), damaged));
    int status;
    std::string errors;
    EXPECT_EQ(runOnce({}, status, errors), kitLine("empty kit"));
    EXPECT_EQ(status, 0);
    EXPECT_NE(errors.find("live.chunk is not a KZ318 settings chunk"), std::string::npos) << errors;
    EXPECT_EQ(readBytes(remembered()), damaged);

    EXPECT_EQ(runOnce({"--kit", demo}, status, errors), kitLine("kit demo.kbk"));
    EXPECT_EQ(readBytes(remembered()).size(), kitformat::kChunkSize);
    EXPECT_NE(readBytes(remembered()), damaged);
}

TEST_F(LiveKit, ABankThatCannotBeReadKeepsThePreviousKit) {
    int status;
    std::string errors;
    runOnce({"--kit", demo}, status, errors);
    const std::string notABank = folder / "not-a-bank.kbk";
    ASSERT_TRUE(writeBytes(notABank, std::vector<uint8_t>(400, 7)));
    EXPECT_EQ(runOnce({"--kit", notABank}, status, errors), kitLine("kit demo.kbk"));
    EXPECT_EQ(status, 0);
    EXPECT_NE(errors.find("Not a valid KZ-318 Bank File"), std::string::npos) << errors;
    EXPECT_EQ(runOnce({"--kit", folder / "missing.kbk"}, status, errors), kitLine("kit demo.kbk"));
}

TEST_F(LiveKit, ErrorsAreOneLineAndANonZeroExit) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> environment;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"--bogus"}, {}, 2, "kz318-live: unknown option --bogus (see --help)\n"},
        {{"--kit"}, {}, 2, "kz318-live: --kit needs a value\n"},
        {{"--kit", demo, "--chunk", demo}, {}, 2, "kz318-live: --kit and --chunk both give the kit: choose one\n"},
        {{"--no-gui"},
         {"JACK_DEFAULT_SERVER=kz318-no-such-server"},
         1,
         "KZ318 live: no JACK server is running (start one with jackd, or PipeWire's JACK)\n"},
        {{"--no-gui", "--name", "taken"},
         {},
         1,
         "KZ318 live: the JACK client name taken is taken (choose another with --name)\n"},
        {{}, {"DISPLAY="}, 1, "KZ318 live: no X display for the editor window (--no-gui plays without it)\n"},
    };
    jack_client_t* taken = openClient(server, "taken");
    ASSERT_NE(taken, nullptr);
    for (const Case& c : cases) {
        LiveProcess live(server, c.args, folder.path(), c.environment);
        EXPECT_EQ(live.wait(20), c.status) << c.message;
        const std::string errors = live.errors();
        // The client library may say more before the program's own line.
        ASSERT_GE(errors.size(), std::string(c.message).size()) << c.message;
        EXPECT_EQ(errors.substr(errors.size() - std::string(c.message).size()), c.message);
    }
    jack_client_close(taken);
}

// In the editor's window: a change shows in live.chunk while playing, and
// closing the window ends the program.
TEST_F(LiveKit, EditorWindowKeepsItsChangesAndClosingItEnds) {
    Desktop desktop;
    ASSERT_TRUE(desktop.ok()) << "no X display";
    LiveProcess live(server, {"--no-connect", "--kit", demo}, folder.path());
    ASSERT_EQ(live.firstLine(), kitLine("kit demo.kbk")) << live.errors();
    const Window window = desktop.find("KZ318");
    ASSERT_NE(window, 0u) << live.errors();
    int width = 0, height = 0;
    ASSERT_TRUE(desktop.size(window, width, height));
    EXPECT_EQ(width, editor::kWidth);
    EXPECT_EQ(height, editor::kHeight);

    const std::vector<uint8_t> before = readBytes(remembered());
    ASSERT_EQ(before.size(), kitformat::kChunkSize);
    const editor::Spot up = editor::spot::kNoteUpBox;
    ASSERT_TRUE(desktop.clickEditor(window, up.x + up.w / 2, up.y + up.h / 2));
    EXPECT_TRUE(waitFor([&] { return readBytes(remembered()) != before; }, 10000)) << "the change was not kept";
    kitformat::Chunk chunk;
    const std::vector<uint8_t> after = readBytes(remembered());
    ASSERT_TRUE(kitformat::decodeChunk(after.data(), after.size(), chunk));
    EXPECT_EQ(chunk.pads[0].settings.midiNote, 49);

    desktop.close(window);
    EXPECT_EQ(live.wait(20), 0) << live.errors();
}

}  // namespace
}  // namespace livetest
