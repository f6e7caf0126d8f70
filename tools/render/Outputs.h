// The WAV files of a render: the four output pairs mixed into one file, or
// one file per pair, written block by block as the render goes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "render/WavOut.h"

namespace render {

// FILE.wav becomes FILE-1.wav .. FILE-4.wav.
std::string stemName(const std::string& out, int pair);

// Files that were not finished are removed when the Outputs goes away.
class Outputs {
public:
    // Creates every file; on failure names the one that failed.
    bool open(const std::string& out, bool stems, int rate, std::string& failed);
    // Takes the next frames of the eight plug-in outputs.
    bool write(const float* const* outputs, int frames);
    // Completes every file; on failure removes them all, the finished ones
    // too, and names the one that failed.
    bool finish(std::string& failed);

    const std::vector<std::string>& names() const { return names_; }
    float peak() const { return peak_; }  // of the mix

private:
    void discard();

    bool stems_ = false;
    std::vector<std::string> names_;
    std::vector<std::unique_ptr<wavout::StereoFloatWriter>> files_;
    float peak_ = 0.0f;
    std::vector<float> left_, right_;  // one block of the mix
};

}  // namespace render
