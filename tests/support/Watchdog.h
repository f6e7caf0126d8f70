// Ends the test program when a call does not come back in time, so that a
// hang shows as a failure instead of a run that never ends. Portable.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport {

class Watchdog {
public:
    Watchdog(const std::string& what, int seconds)
        : thread([this, what, seconds] {
              std::unique_lock<std::mutex> lock(mutex);
              if (!done.wait_for(lock, std::chrono::seconds(seconds), [this] { return finished; })) {
                  std::printf("  FAILED: %s did not answer within %d s\n", what.c_str(), seconds);
                  std::fflush(stdout);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        done.notify_one();
        thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread thread;  // last: starts once the rest is in place
};

}  // namespace testsupport
