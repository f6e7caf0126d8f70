// A small test runner for the programs that drive the plug-in through its
// binary interface, on Linux and under Wine alike (no test framework needed
// on the Windows side). Ends with the line "N passed, N failed".
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace minitest {

struct Case {
    const char* name;
    void (*fn)();
};

inline std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

inline int& failures() {
    static int count = 0;
    return count;
}

struct Registrar {
    Registrar(const char* name, void (*fn)()) { cases().push_back({name, fn}); }
};

inline bool check(bool ok, const char* what, const char* file, int line) {
    if (!ok) {
        std::printf("  FAILED %s:%d: %s\n", file, line, what);
        failures()++;
    }
    return ok;
}

template <typename A, typename B>
bool checkEq(const A& a, const B& b, const char* what, const char* file, int line) {
    bool ok = a == b;
    if (!ok) {
        std::printf("  FAILED %s:%d: %s (got %s, expected %s)\n", file, line, what, std::to_string(a).c_str(),
                    std::to_string(b).c_str());
        failures()++;
    }
    return ok;
}

inline bool checkStr(const char* a, const char* b, const char* what, const char* file, int line) {
    bool ok = a && b && std::strcmp(a, b) == 0;
    if (!ok) {
        std::printf("  FAILED %s:%d: %s (got \"%s\", expected \"%s\")\n", file, line, what, a ? a : "(null)",
                    b ? b : "(null)");
        failures()++;
    }
    return ok;
}

// Runs every case whose name contains filter (all when filter is empty).
inline int runAll(const char* filter = "") {
    int passed = 0, failed = 0;
    for (const Case& c : cases()) {
        if (filter && *filter && !std::strstr(c.name, filter)) continue;
        int before = failures();
        std::printf("[ RUN  ] %s\n", c.name);
        c.fn();
        if (failures() == before) {
            passed++;
        } else {
            failed++;
            std::printf("[ FAIL ] %s\n", c.name);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

}  // namespace minitest

#define MT_CAT2(a, b) a##b
#define MT_CAT(a, b) MT_CAT2(a, b)
#define TEST_CASE(name)                                                \
    static void name();                                                \
    static minitest::Registrar MT_CAT(registrar_, name)(#name, &name); \
    static void name()
#define CHECK(cond) minitest::check(static_cast<bool>(cond), #cond, __FILE__, __LINE__)
#define CHECK_EQ(a, b) minitest::checkEq((a), (b), #a " == " #b, __FILE__, __LINE__)
#define CHECK_STR(a, b) minitest::checkStr((a), (b), #a " == " #b, __FILE__, __LINE__)
