// The session manager's side channel (NSM over OSC): the program announces
// itself, then the manager tells it where its kit lives, when to save it and
// whether to show the editor. Everything runs on the main loop's thread.
#pragma once

#include <lo/lo.h>

#include <string>

namespace live {

class Nsm {
public:
    // What the manager asked for since the last take().
    struct Requests {
        bool open = false;
        bool save = false;
        bool show = false;
        bool hide = false;
    };

    Nsm() = default;
    ~Nsm();
    Nsm(const Nsm&) = delete;
    Nsm& operator=(const Nsm&) = delete;

    // Announces the program to the manager at `url`; false with a reason.
    bool announce(const char* url, const char* executable, std::string& error);
    // Takes the messages that arrived, waiting up to `milliseconds` for one.
    void poll(int milliseconds);
    Requests take();

    // From the last open request: the file prefix of the client's data and
    // the name it runs under.
    const std::string& path() const { return openPath; }
    const std::string& clientId() const { return openClientId; }

    void replyOpened();
    void replySaved();
    void replyError(const char* request, const std::string& message);
    void guiShown(bool shown);
    // Reports the kit as changed since the last save (or open), once per change.
    void markDirty(bool dirty);

private:
    static int onOpen(const char*, const char*, lo_arg** argv, int, lo_message, void* self);
    static int onSave(const char*, const char*, lo_arg**, int, lo_message, void* self);
    static int onShow(const char*, const char*, lo_arg**, int, lo_message, void* self);
    static int onHide(const char*, const char*, lo_arg**, int, lo_message, void* self);
    static int onError(const char*, const char*, lo_arg** argv, int, lo_message, void* self);
    void reply(const char* request, const char* message);

    lo_server server = nullptr;
    lo_address manager = nullptr;
    Requests pending;
    std::string openPath, openClientId;
    bool dirty = false;
};

}  // namespace live
