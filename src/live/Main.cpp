// kz318-live: the instrument as a JACK program with its editor.
#include <csignal>
#include <cstdio>

#include "live/Options.h"
#include "live/Player.h"

namespace {

void requestStop(int) { live::stopRequested = 1; }

}  // namespace

int main(int argc, char** argv) {
    live::Options options;
    std::string error;
    if (!live::parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "kz318-live: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(live::kUsage, stdout);
        return 0;
    }
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A server that dies closes the socket the client library writes to; the
    // library's shutdown callback reports that, the signal must not end us.
    std::signal(SIGPIPE, SIG_IGN);
    live::Player player(options);
    return player.run();
}
