// WAV files to the pad sample form: mono 32-bit floats at 44100 Hz, each
// 16-bit value s stored as s / 32768.
#pragma once

#include <cstdint>

// Results of readWaveFile; 1 to 13 may also come from convertToMono16.
enum WaveResult {
    kWaveOk = 0,
    kWaveCannotOpen = 1,
    kWaveNoRiff = 2,
    kWaveNoFormat = 3,
    kWaveShortFormat = 4,  // also: larger than the format buffer, or shorter than its own extra bytes
    kWaveNoData = 5,
    kWaveEmptyData = 6,
    kWaveShortData = 7,
    kWaveOutOfMemory = 14,
};

// Results of convertToMono16: 1 when no converter takes the format, then the
// failing step of stage 1 (2..7) or of stage 2 (8..13).
const int kConvertNoSuggestion = 1;
const int kConvertStage1 = 1;  // + platform::StageStep
const int kConvertStage2 = 7;  // + platform::StageStep

// Bytes of the format buffer; a larger "fmt " chunk is refused.
const uint32_t kFormatBufferSize = 1024;

// Reads fileName; on success (0) *outSamples is a new malloc'd array of
// *outLength floats, otherwise both outputs are left as they were.
int readWaveFile(const char* fileName, float** outSamples, uint32_t* outLength);

// Converts dataSize bytes described by sourceFormat (a WAVEFORMATEX with its
// extra bytes) to 16-bit mono PCM at 44100 Hz; on success (0) *pcm is a new
// malloc'd buffer of *pcmBytes bytes.
int convertToMono16(const void* sourceFormat, const void* data, uint32_t dataSize, uint8_t** pcm, uint32_t* pcmBytes);
