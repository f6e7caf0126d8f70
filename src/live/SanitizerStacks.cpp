// Built into ThreadSanitizer builds only. libjack gives its client thread a
// 512 KiB stack and touches 500 000 bytes of it as the thread starts, which
// leaves no room for what the sanitizer's thread start keeps there: every
// JACK client would crash at once. Threads that ask for less get 2 MiB.
#include <dlfcn.h>
#include <pthread.h>

#include <cstddef>

extern "C" __attribute__((visibility("default"))) int pthread_attr_setstacksize(pthread_attr_t* attr, size_t size) {
    using Real = int (*)(pthread_attr_t*, size_t);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "pthread_attr_setstacksize"));
    const size_t least = size_t(2) << 20;
    return real(attr, size < least ? least : size);
}
