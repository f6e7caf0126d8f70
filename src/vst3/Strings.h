// Text for the VST 3 records: ASCII into the interface's fixed UTF-16 and
// 8-bit fields, always terminated.
#pragma once

#include <cstddef>

namespace vst3face {

template <size_t N>
void copyText(char16_t (&field)[N], const char* text) {
    size_t i = 0;
    for (; text && text[i] && i + 1 < N; i++) field[i] = static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    for (; i < N; i++) field[i] = 0;
}

template <size_t N>
void copyText(char (&field)[N], const char* text) {
    size_t i = 0;
    for (; text && text[i] && i + 1 < N; i++) field[i] = text[i];
    for (; i < N; i++) field[i] = 0;
}

}  // namespace vst3face
