#include "live/Nsm.h"

#include <unistd.h>

#include <cstdio>

namespace live {

namespace {

const char kCapabilities[] = ":optional-gui:dirty:";
const int kApiMajor = 1, kApiMinor = 2;

}  // namespace

Nsm::~Nsm() {
    if (manager) lo_address_free(manager);
    if (server) lo_server_free(server);
}

bool Nsm::announce(const char* url, const char* executable, std::string& error) {
    manager = lo_address_new_from_url(url);
    if (!manager) return (error = std::string("NSM_URL is no OSC address: ") + url), false;
    server = lo_server_new_with_proto(nullptr, LO_UDP, nullptr);
    if (!server) return (error = "no UDP port for the session manager"), false;
    lo_server_add_method(server, "/nsm/client/open", "sss", onOpen, this);
    lo_server_add_method(server, "/nsm/client/save", "", onSave, this);
    lo_server_add_method(server, "/nsm/client/show_optional_gui", "", onShow, this);
    lo_server_add_method(server, "/nsm/client/hide_optional_gui", "", onHide, this);
    lo_server_add_method(server, "/error", "sis", onError, this);
    if (lo_send_from(manager, server, LO_TT_IMMEDIATE, "/nsm/server/announce", "sssiii", "KZ318", kCapabilities,
                     executable, kApiMajor, kApiMinor, int(getpid())) < 0)
        return (error = std::string("cannot reach the session manager at ") + url), false;
    return true;
}

void Nsm::poll(int milliseconds) {
    if (!server) return;
    while (lo_server_recv_noblock(server, milliseconds) > 0) milliseconds = 0;
}

Nsm::Requests Nsm::take() {
    Requests taken = pending;
    pending = Requests();
    return taken;
}

void Nsm::reply(const char* request, const char* message) {
    lo_send_from(manager, server, LO_TT_IMMEDIATE, "/reply", "ss", request, message);
}

void Nsm::replyOpened() {
    reply("/nsm/client/open", "opened");
    markDirty(false);
}

void Nsm::replySaved() {
    reply("/nsm/client/save", "saved");
    markDirty(false);
}

void Nsm::replyError(const char* request, const std::string& message) {
    // -1 is the protocol's general error.
    lo_send_from(manager, server, LO_TT_IMMEDIATE, "/error", "sis", request, -1, message.c_str());
}

void Nsm::guiShown(bool shown) {
    lo_send_from(manager, server, LO_TT_IMMEDIATE, shown ? "/nsm/client/gui_is_shown" : "/nsm/client/gui_is_hidden",
                 "");
}

void Nsm::markDirty(bool now) {
    if (now == dirty) return;
    dirty = now;
    lo_send_from(manager, server, LO_TT_IMMEDIATE, now ? "/nsm/client/is_dirty" : "/nsm/client/is_clean", "");
}

namespace {

// liblo hands the arguments over unaligned: strings are read through bytes.
const char* text(lo_arg* arg) { return reinterpret_cast<const char*>(arg); }

}  // namespace

int Nsm::onOpen(const char*, const char*, lo_arg** argv, int, lo_message, void* self) {
    Nsm& n = *static_cast<Nsm*>(self);
    n.openPath = text(argv[0]);
    n.openClientId = text(argv[2]);
    n.pending.open = true;
    return 0;
}

int Nsm::onSave(const char*, const char*, lo_arg**, int, lo_message, void* self) {
    static_cast<Nsm*>(self)->pending.save = true;
    return 0;
}

int Nsm::onShow(const char*, const char*, lo_arg**, int, lo_message, void* self) {
    Nsm& n = *static_cast<Nsm*>(self);
    n.pending.show = true;
    n.pending.hide = false;
    return 0;
}

int Nsm::onHide(const char*, const char*, lo_arg**, int, lo_message, void* self) {
    Nsm& n = *static_cast<Nsm*>(self);
    n.pending.hide = true;
    n.pending.show = false;
    return 0;
}

int Nsm::onError(const char*, const char*, lo_arg** argv, int, lo_message, void*) {
    std::fprintf(stderr, "KZ318 live: the session manager refused %s: %s\n", text(argv[0]), text(argv[2]));
    return 0;
}

}  // namespace live
