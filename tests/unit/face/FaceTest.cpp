#include <gtest/gtest.h>

#include <vector>

#include "face/Face.h"
#include "host/EffectBase.h"

namespace {

VstIntPtr ask(AEffect* effect, VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
    return face::hostCallback(effect, opcode, 0, value, ptr, 0.0f);
}

TEST(HostCallback, AnswersTheVersionAndMidiEvenWithoutARecord) {
    EXPECT_EQ(face::kHostVersion, 2400);
    EXPECT_EQ(ask(nullptr, audioMasterVersion), face::kHostVersion);
    EXPECT_EQ(ask(nullptr, audioMasterWantMidi), 1);
    EXPECT_EQ(ask(nullptr, audioMasterGetSampleRate), 0);
    EXPECT_EQ(ask(nullptr, audioMasterGetBlockSize), 0);
    AEffect bare = {};  // during creation: no HostInfo yet
    EXPECT_EQ(ask(&bare, audioMasterVersion), face::kHostVersion);
    EXPECT_EQ(ask(&bare, audioMasterGetSampleRate), 0);
    EXPECT_EQ(ask(&bare, audioMasterGetBlockSize), 0);
}

TEST(HostCallback, AnswersRateAndBlockSizeFromTheRecordsHostInfo) {
    face::HostInfo info;
    info.sampleRate = 96000.0;
    info.maxBlock = 333;
    AEffect effect = {};
    effect.user = &info;
    EXPECT_EQ(ask(&effect, audioMasterGetSampleRate), 96000);
    EXPECT_EQ(ask(&effect, audioMasterGetBlockSize), 333);
    info.sampleRate = 22050.0;
    EXPECT_EQ(ask(&effect, audioMasterGetSampleRate), 22050);
}

TEST(HostCallback, AnswersEverythingElseWithZero) {
    face::HostInfo info;
    AEffect effect = {};
    effect.user = &info;
    char text[256] = "unchanged";
    // No time info (a null pointer), no host strings, no capabilities.
    for (VstInt32 opcode : std::vector<VstInt32>{
             audioMasterAutomate, audioMasterCurrentId, audioMasterIdle, audioMasterGetTime, audioMasterProcessEvents,
             audioMasterIOChanged, audioMasterSizeWindow, audioMasterGetCurrentProcessLevel, audioMasterGetVendorString,
             audioMasterGetProductString, audioMasterCanDo, audioMasterUpdateDisplay, VstInt32(-1), VstInt32(9999)})
        EXPECT_EQ(ask(&effect, opcode, 1, text), 0) << opcode;
    EXPECT_STREQ(text, "unchanged");
}

TEST(Face, OpensTheInstrumentWithItsHostInfoAndPassesRateAndBlockOn) {
    face::HostInfo info;
    AEffect* effect = face::openPlugin(info);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->user, &info);
    EXPECT_TRUE(effect->flags & effFlagsIsSynth);
    face::setupPlugin(effect, 48000.0, 1024);
    EXPECT_EQ(info.sampleRate, 48000.0);
    EXPECT_EQ(info.maxBlock, 1024);
    EffectBase* instrument = static_cast<EffectBase*>(effect->object);
    EXPECT_EQ(instrument->getSampleRate(), 48000.0f);
    EXPECT_EQ(instrument->getBlockSize(), 1024);
    // The instrument asks its host through the record.
    EXPECT_EQ(instrument->getMasterVersion(), face::kHostVersion);
    face::closePlugin(effect);
    face::closePlugin(nullptr);
}

}  // namespace
