// The kz318-live suites: main takes the programs' paths and skips the run
// (exit 77) where no JACK server can be started.
#include <gtest/gtest.h>

#include <jack/jack.h>

#include <csignal>
#include <cstdio>

#include "live/LiveHarness.h"

namespace {
// The client library reports every failed attempt to reach a server that is
// still starting or already gone.
void quiet(const char*) {}
}  // namespace

int main(int argc, char** argv) {
    // A server killed by a test closes sockets this process writes to.
    std::signal(SIGPIPE, SIG_IGN);
    jack_set_error_function(quiet);
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: live-test KZ318-LIVE KZ318-RENDER EXAMPLES-KIT-FOLDER\n");
        return 2;
    }
    livetest::programs = {argv[1], argv[2], argv[3]};
    if (!livetest::haveJackd()) {
        std::printf("jackd is not installed: the kz318-live tests are skipped\n");
        return livetest::kSkipped;
    }
    return RUN_ALL_TESTS();
}
