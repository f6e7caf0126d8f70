// The whole program: the instrument on a JACK client, its kit kept between
// runs (or in a session manager's folder), the editor window and the main
// loop that serves them.
#pragma once

#include <csignal>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "face/Face.h"
#include "live/EditorWindow.h"
#include "live/Engine.h"
#include "live/Nsm.h"
#include "live/Options.h"

namespace live {

// Set by SIGINT and SIGTERM.
extern volatile std::sig_atomic_t stopRequested;

class Player {
public:
    explicit Player(const Options& options) : options(options) {}
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Plays until the window closes, a signal comes or the server goes; the
    // exit status.
    int run();

private:
    // The file the kit is kept in, and the bytes known to be there.
    struct KeptKit {
        std::string path;
        std::vector<uint8_t> known;
    };

    bool joinSession(std::string& error);
    bool setUp(const std::string& name, std::string& error);
    void setUpKit();
    void openSessionKit();
    enum class Restore { restored, missing, damaged };
    Restore restoreFile(const std::string& path);
    void keepKit();
    bool kitChanged(std::vector<uint8_t>& now);
    void serveSession();
    void showEditor(bool show);
    int loop();
    void finish();
    void announce();

    const Options& options;
    face::HostInfo host;
    AEffect* effect = nullptr;
    Engine engine;
    std::unique_ptr<EditorWindow> editor;
    std::unique_ptr<Nsm> nsm;
    KeptKit kept;
};

}  // namespace live
