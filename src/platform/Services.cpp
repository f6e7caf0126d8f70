#include "platform/Platform.h"

namespace platform {
namespace {

Services* current = nullptr;

}  // namespace

Services& services() { return current ? *current : systemServices(); }

Services* setServices(Services* replacement) {
    Services* previous = current ? current : &systemServices();
    current = replacement;
    return previous;
}

}  // namespace platform
