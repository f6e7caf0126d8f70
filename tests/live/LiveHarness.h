// What the kz318-live tests run against: a JACK dummy server of their own,
// the program as a child process, and JACK clients of the test.
#pragma once

#include <jack/jack.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace livetest {

// Set by main from the command line.
struct Programs {
    std::string live, render, examples;
};
extern Programs programs;

// Exit status of a test that cannot run here (ctest's SKIP_RETURN_CODE).
const int kSkipped = 77;
bool haveJackd();

// A dummy-driver server under a name no other test or user has.
class JackServer {
public:
    explicit JackServer(int period = 256);
    ~JackServer();
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;
    bool ok() const { return ready; }
    const std::string& name() const { return serverName; }
    // Kills the server at once, as a crash would.
    void kill();

private:
    void start(int period);
    std::string serverName;
    pid_t pid = -1;
    bool ready = false;
    bool killed = false;
};

// kz318-live as a child process on the server; standard output and error go
// to files in `folder`.
class LiveProcess {
public:
    LiveProcess(const JackServer& server, const std::vector<std::string>& args, const std::string& folder,
                const std::vector<std::string>& environment = {});
    ~LiveProcess();
    LiveProcess(const LiveProcess&) = delete;
    LiveProcess& operator=(const LiveProcess&) = delete;
    // The first line of standard output, or "" when none came in time.
    std::string firstLine(int seconds = 20);
    std::string errors() const;
    bool running();
    // Ends it with SIGTERM; the exit status, or -1 when it did not end in time.
    int stop(int seconds = 20);
    // Waits for it to end by itself; as stop().
    int wait(int seconds);

private:
    pid_t pid = -1;
    int status = -1;
    std::string out, err;
};

// A client of the test on the server; null when it cannot connect.
jack_client_t* openClient(const JackServer& server, const char* name);
// Polls `condition` every 10 ms for up to `milliseconds`.
bool waitFor(const std::function<bool()>& condition, int milliseconds);
std::string readText(const std::string& path);
bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::string& path);

}  // namespace livetest
