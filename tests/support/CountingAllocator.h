// Replaces the program's global allocation functions with ones that count
// every call made while `counting` is set, including those of a plug-in
// loaded into the program (its operator new binds to these). Include it in
// exactly one source file of a test program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace testsupport {

inline std::atomic<bool> counting(false);
inline std::atomic<long> allocations(0);

}  // namespace testsupport

namespace {

void* allocate(std::size_t size) {
    if (testsupport::counting.load()) testsupport::allocations++;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* allocateNoThrow(std::size_t size) noexcept {
    if (testsupport::counting.load()) testsupport::allocations++;
    return std::malloc(size ? size : 1);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateNoThrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateNoThrow(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
