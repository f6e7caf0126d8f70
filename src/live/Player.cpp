#include "live/Player.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

#include "face/ChunkState.h"
#include "formats/KitFormats.h"
#include "live/KitFiles.h"

namespace live {

volatile std::sig_atomic_t stopRequested = 0;

namespace {

const auto kIdleTime = std::chrono::milliseconds(30);
// How often an open editor's changes are looked for: the chunk is taken under
// the instrument's loader handshake, which the audio must not meet often.
const auto kKitCheckTime = std::chrono::seconds(3);
const auto kSessionOpenWait = std::chrono::seconds(30);
// Larger than any chunk: a file this size is damaged for certain.
const size_t kChunkReadLimit = 1 << 16;

void say(const std::string& line) { std::fprintf(stderr, "KZ318 live: %s\n", line.c_str()); }

std::vector<uint8_t> emptyKit() {
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(kitformat::defaultChunk(), bytes.data());
    return bytes;
}

}  // namespace

Player::~Player() {
    editor.reset();
    engine.stop();
    face::closePlugin(effect);
}

int Player::run() {
    std::string error;
    if (std::getenv("NSM_URL")) {
        if (!joinSession(error)) return say(error), 1;
    } else if (!setUp(options.name, error)) {
        return say(error), 1;
    }
    return loop();
}

bool Player::setUp(const std::string& name, std::string& error) {
    if (!engine.open(name, error)) return false;
    effect = face::openPlugin(host);
    if (!effect) return (error = "the instrument could not be created"), false;
    face::setupPlugin(effect, engine.sampleRate(), int32_t(engine.periodFrames()));
    editor.reset(new EditorWindow(effect));
    if (nsm)
        openSessionKit();
    else
        setUpKit();
    if (!engine.start(effect, error)) return false;
    announce();
    if (options.gui && !nsm && !editor->open("KZ318", error)) return false;
    return true;
}

// Prints the first line: what plays, at what rate and period, where to.
void Player::announce() {
    std::string where = "not connected";
    if (options.connect) {
        where = engine.connectOutputs();
        engine.connectMidiCaptures();
    }
    std::vector<uint8_t> chunk;
    face::saveChunk(effect, chunk);
    const double rate = engine.sampleRate();
    const unsigned period = engine.periodFrames();
    std::printf("KZ318 live: %.0f Hz, %u-frame periods (%.1f ms), %s, %s\n", rate, period, 1000.0 * period / rate,
                describeKit(chunk).c_str(), where.c_str());
    std::fflush(stdout);
}

// Restores a chunk file; a file that is there but no chunk leaves the kit as
// it is and says so.
Player::Restore Player::restoreFile(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) return Restore::missing;
    std::vector<uint8_t> bytes;
    if (!readFile(path, bytes, kChunkReadLimit) || !face::restoreChunk(effect, bytes.data(), bytes.size())) {
        say(path + " is not a KZ318 settings chunk; the kit stays as it was");
        return Restore::damaged;
    }
    return Restore::restored;
}

// The last run's kit, then what the command line asks for on top of it.
void Player::setUpKit() {
    kept.path = rememberedKitPath();
    if (!kept.path.empty() && restoreFile(kept.path) == Restore::restored)
        readFile(kept.path, kept.known, kChunkReadLimit);
    else
        face::saveChunk(effect, kept.known);  // a damaged file stays until the kit changes
    std::string error;
    if (!options.kit.empty() && !importBank(effect, options.kit, error)) say(error);
    if (!options.chunk.empty() && restoreFile(options.chunk) == Restore::missing)
        say("cannot open the chunk " + options.chunk);
    keepKit();
}

// The session's kit: PATH/kit.chunk, or the empty kit for a new client.
void Player::openSessionKit() {
    kept.path = nsm->path() + "/kit.chunk";
    const std::vector<uint8_t> empty = emptyKit();
    face::restoreChunk(effect, empty.data(), empty.size());
    if (restoreFile(kept.path) == Restore::restored)
        readFile(kept.path, kept.known, kChunkReadLimit);
    else
        face::saveChunk(effect, kept.known);
}

bool Player::kitChanged(std::vector<uint8_t>& now) { return face::saveChunk(effect, now) && now != kept.known; }

// Writes the kit where it is kept when it differs from what is there.
void Player::keepKit() {
    std::vector<uint8_t> now;
    if (kept.path.empty() || !kitChanged(now)) return;
    if (writeFileAtomically(kept.path, now))
        kept.known = now;
    else
        say("cannot write " + kept.path);
}

int Player::loop() {
    auto lastCheck = std::chrono::steady_clock::now();
    int status = 0;
    while (!stopRequested) {
        std::string reason;
        if (engine.serverGone(reason)) {
            say("the JACK server went away" + (reason.empty() ? std::string() : " (" + reason + ")"));
            status = 1;
            break;
        }
        if (engine.portsChanged() && options.connect) engine.connectMidiCaptures();
        if (editor->isOpen() && !editor->idle()) {
            if (!nsm) break;  // closing the window ends the program
            nsm->guiShown(false);
        }
        const auto now = std::chrono::steady_clock::now();
        if (editor->isOpen() && now - lastCheck >= kKitCheckTime) {
            lastCheck = now;
            std::vector<uint8_t> bytes;
            if (!nsm)
                keepKit();
            else if (kitChanged(bytes))
                nsm->markDirty(true);
        }
        if (nsm) {
            nsm->poll(int(kIdleTime.count()));
            serveSession();
        } else {
            std::this_thread::sleep_for(kIdleTime);
        }
    }
    finish();
    return status;
}

// After the audio has stopped: the kit written where it is kept.
void Player::finish() {
    editor->close();
    engine.stop();
    if (!nsm) keepKit();
    if (options.saveChunk.empty()) return;
    std::vector<uint8_t> bytes;
    if (!face::saveChunk(effect, bytes) || !writeFileAtomically(options.saveChunk, bytes))
        say("cannot write the chunk " + options.saveChunk);
}

// --- the session manager ----------------------------------------------------

bool Player::joinSession(std::string& error) {
    nsm.reset(new Nsm);
    if (!nsm->announce(std::getenv("NSM_URL"), "kz318-live", error)) return false;
    const auto until = std::chrono::steady_clock::now() + kSessionOpenWait;
    while (!stopRequested && std::chrono::steady_clock::now() < until) {
        nsm->poll(int(kIdleTime.count()));
        if (!nsm->take().open) continue;
        if (setUp(nsm->clientId(), error)) {
            nsm->replyOpened();
            nsm->guiShown(false);
            return true;
        }
        nsm->replyError("/nsm/client/open", error);
        return false;
    }
    return (error = "the session manager sent no open request"), false;
}

void Player::serveSession() {
    const Nsm::Requests asked = nsm->take();
    if (asked.open) {
        openSessionKit();
        nsm->replyOpened();
    }
    if (asked.save) {
        std::vector<uint8_t> now;
        if (face::saveChunk(effect, now) && writeFileAtomically(kept.path, now)) {
            kept.known = now;
            nsm->replySaved();
        } else {
            nsm->replyError("/nsm/client/save", "cannot write " + kept.path);
        }
    }
    if (asked.show || asked.hide) showEditor(asked.show);
}

void Player::showEditor(bool show) {
    std::string error;
    if (!show)
        editor->close();
    else if (!editor->open("KZ318", error))
        say(error);
    nsm->guiShown(editor->isOpen());
}

}  // namespace live
