#include "live/LiveHarness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace livetest {

Programs programs;

namespace {

std::atomic<int> serial{0};

// Everything the child needs is made before fork: only async-signal-safe
// calls run between fork and exec.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment, const std::string& out,
            const std::string& err) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> merged(environment);
    for (char** e = environ; *e; e++) {
        const std::string entry = *e;
        const std::string key = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& mine : environment) replaced = replaced || mine.compare(0, key.size(), key) == 0;
        if (!replaced) merged.push_back(entry);
    }
    std::vector<char*> envp;
    for (const std::string& e : merged) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // A test that dies (a sanitizer's abort, a closed pipe) takes its
        // servers with it: an orphaned jackd would hold a slot of jackd1's
        // registry of eight servers for good.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        dup2(outFd, 1);
        dup2(errFd, 2);
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }
    close(outFd);
    close(errFd);
    return pid;
}

// Waits up to `seconds` for the child; its exit status, 128 + signal, or -1.
int reap(pid_t pid, int seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (std::chrono::steady_clock::now() > until) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

bool haveJackd() { return std::system("command -v jackd >/dev/null 2>&1") == 0; }

JackServer::JackServer(int period) {
    serverName = "kz318-test-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    start(period);
}

void JackServer::start(int period) {
    // jackd1 keeps its metadata database in the default server's folder,
    // whatever the server's name, and dies when that folder is missing.
    const std::string shm = "/dev/shm/jack-" + std::to_string(getuid());
    mkdir(shm.c_str(), 0700);
    mkdir((shm + "/default").c_str(), 0700);
    // -M: room for more MIDI events a period than the instrument's list
    // holds (jackd1's default takes about 250), so the crowded period splits.
    pid = spawn({"jackd", "-n", serverName, "-t", "5000", "-M", "1024", "-d", "dummy", "-r", "44100", "-p",
                 std::to_string(period)},
                {}, "/dev/null", "/dev/null");
    ready = waitFor(
        [&] {
            jack_client_t* probe = openClient(*this, "probe");
            if (probe) jack_client_close(probe);
            return probe != nullptr;
        },
        10000);
}

JackServer::~JackServer() {
    // A killed server's entry stays in jackd1's registry of servers, which
    // has room for eight, until a server of the same name takes it back: one
    // is started and ended cleanly to free it.
    if (killed) {
        start(256);
        // jackd takes clients a moment before it handles SIGTERM; ended
        // earlier, it would die as uncleanly as the killed one.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
    }
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    if (reap(pid, 10) < 0) {
        ::kill(pid, SIGKILL);
        reap(pid, 10);
    }
}

void JackServer::kill() {
    ::kill(pid, SIGKILL);
    reap(pid, 10);
    pid = -1;
    killed = true;
}

LiveProcess::LiveProcess(const JackServer& server, const std::vector<std::string>& args, const std::string& folder,
                         const std::vector<std::string>& environment)
    : out(folder + "/live-" + std::to_string(serial) + ".out"),
      err(folder + "/live-" + std::to_string(serial) + ".err") {
    serial++;
    std::vector<std::string> argv = {programs.live};
    argv.insert(argv.end(), args.begin(), args.end());
    // The first of two equal names is the one a program sees: the test's own go first.
    std::vector<std::string> env(environment);
    env.push_back("JACK_DEFAULT_SERVER=" + server.name());
    env.push_back("XDG_CONFIG_HOME=" + folder + "/config");
    pid = spawn(argv, env, out, err);
}

LiveProcess::~LiveProcess() {
    if (status == -1 && pid > 0) {
        ::kill(pid, SIGKILL);
        reap(pid, 10);
    }
}

std::string LiveProcess::firstLine(int seconds) {
    std::string line;
    waitFor(
        [&] {
            const std::string text = readText(out);
            const size_t end = text.find('\n');
            if (end != std::string::npos) line = text.substr(0, end);
            return end != std::string::npos || !running();
        },
        seconds * 1000);
    return line;
}

std::string LiveProcess::errors() const { return readText(err); }

bool LiveProcess::running() {
    if (status != -1) return false;
    int raw = 0;
    if (waitpid(pid, &raw, WNOHANG) != pid) return true;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return false;
}

int LiveProcess::stop(int seconds) {
    if (running()) ::kill(pid, SIGTERM);
    return wait(seconds);
}

int LiveProcess::wait(int seconds) {
    if (status == -1) status = reap(pid, seconds);
    return status;
}

jack_client_t* openClient(const JackServer& server, const char* name) {
    jack_status_t status;
    return jack_client_open(name, jack_options_t(JackNoStartServer | JackServerName), &status, server.name().c_str());
}

bool waitFor(const std::function<bool()>& condition, int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(f);
}

std::vector<uint8_t> readBytes(const std::string& path) {
    const std::string text = readText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace livetest
