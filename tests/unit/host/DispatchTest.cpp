#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/EffectBase.h"

namespace {

std::vector<std::string> hostLog;

VstIntPtr VSTCALL recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float opt) {
    hostLog.push_back(std::to_string(opcode) + ":" + std::to_string(index) + ":" + std::to_string(value) + ":" +
                      std::to_string(opt));
    return 0;
}

class Probe : public EffectBaseExt {
public:
    explicit Probe(audioMasterCallback host = nullptr) : EffectBaseExt(host, 1, 4) {}
    void process(float**, float**, VstInt32) override {}
    void setParameter(VstInt32 index, float value) override {
        log.push_back("set" + std::to_string(index));
        (void)value;
    }
    void suspend() override { log.push_back("suspend"); }
    void resume() override { log.push_back("resume"); }
    float getVu() override { return vu; }
    bool setBypass(bool on) override {
        log.push_back(on ? "bypass on" : "bypass off");
        return true;
    }
    bool offlineNotify(VstAudioFile*, VstInt32, bool) override { return true; }
    std::vector<std::string> log;
    float vu = 0.0f;
    using EffectBase::callHost;
};

class ProbeEditor : public EditorBase {
public:
    explicit ProbeEditor(EffectBase* owner, int* destroyed) : EditorBase(owner), destroyed(destroyed) {}
    ~ProbeEditor() override { ++*destroyed; }
    int32_t open(void*) override { return 7; }
    int* destroyed;
};

VstIntPtr call(EffectBase& e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
               float opt = 0.0f) {
    AEffect* a = e.getAeffect();
    return a->dispatcher(a, opcode, index, value, ptr, opt);
}

TEST(Dispatch, UnknownOpcodesAnswerZeroAndCallNothing) {
    Probe p;
    for (VstInt32 op : {59, 60, 1000, -1, -100, 16, 17, 18, 20, 21}) EXPECT_EQ(call(p, op, 1, 1), 0) << op;
    EXPECT_TRUE(p.log.empty());
}

TEST(Dispatch, ProgramIsSetOnlyBelowTheProgramCount) {
    Probe p;
    call(p, effSetProgram, 0, 1);
    EXPECT_EQ(call(p, effGetProgram), 0);
}

TEST(Dispatch, MainsChangedSuspendsOnZeroAndResumesOtherwise) {
    Probe p;
    call(p, effMainsChanged, 0, 0);
    call(p, effMainsChanged, 0, 5);
    EXPECT_EQ(p.log, (std::vector<std::string>{"suspend", "resume"}));
}

TEST(Dispatch, AnswerConversions) {
    Probe p;
    EXPECT_EQ(call(p, effKeysRequired), 1);
    EXPECT_EQ(call(p, effGetVu), 0);
    p.vu = 0.5f;
    EXPECT_EQ(call(p, effGetVu), 16383);
    EXPECT_EQ(call(p, effIdentify, 3, 4), 0x4E764566);
    EXPECT_EQ(call(p, effConnectInput, 0, 1), 1);
    EXPECT_EQ(call(p, effConnectOutput, 0, 0), 1);
    EXPECT_EQ(call(p, effSetBypass, 0, 2), 1);
    EXPECT_EQ(p.log.back(), "bypass on");
    EXPECT_EQ(call(p, effOfflineNotify), 1);
    EXPECT_EQ(call(p, effGetPlugCategory), 0);
    p.isSynth(true);
    EXPECT_EQ(call(p, effGetPlugCategory), 2);
}

TEST(Dispatch, BlockSizeAndSampleRateAreStored) {
    Probe p;
    EXPECT_EQ(call(p, effSetBlockSizeAndSampleRate, 0, 256, nullptr, 96000.0f), 1);
    EXPECT_EQ(p.getBlockSize(), 256);
    EXPECT_EQ(p.getSampleRate(), 96000.0f);
    call(p, effSetSampleRate, 0, 0, nullptr, 22050.0f);
    call(p, effSetBlockSize, 0, 64);
    EXPECT_EQ(p.getSampleRate(), 22050.0f);
    EXPECT_EQ(p.getBlockSize(), 64);
}

TEST(Editor, OpcodesReachTheEditorOnlyWhenThereIsOne) {
    Probe p;
    EXPECT_EQ(call(p, effEditOpen), 0);
    int destroyed = 0;
    {
        Probe q;
        auto* editor = new ProbeEditor(&q, &destroyed);
        q.setEditor(editor);
        EXPECT_EQ(q.getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
        EXPECT_EQ(call(q, effEditOpen), 7);
        ERect* rect = reinterpret_cast<ERect*>(1);
        EXPECT_EQ(call(q, effEditGetRect, 0, 0, &rect), 0);
        EXPECT_EQ(rect, nullptr);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(Flags, EachSetterTouchesOnlyItsBit) {
    Probe p;
    AEffect* a = p.getAeffect();
    p.hasVu(true);
    p.hasClip(true);
    p.canMono(true);
    p.canProcessReplacing(true);
    p.programsAreChunks(true);
    p.isSynth(true);
    p.noTail(true);
    p.wantAsyncOperation(true);
    p.hasExternalBuffer(true);
    EXPECT_EQ(a->flags, 2 | 4 | 8 | 16 | 32 | 256 | 512 | 1024 | 2048);
    p.canMono(false);
    EXPECT_EQ(a->flags, 2 | 4 | 16 | 32 | 256 | 512 | 1024 | 2048);
    int destroyed = 0;
    auto* editor = new ProbeEditor(&p, &destroyed);
    p.setEditor(editor);
    EXPECT_TRUE(a->flags & effFlagsHasEditor);
    p.setEditor(nullptr);
    EXPECT_FALSE(a->flags & effFlagsHasEditor);
    EXPECT_EQ(a->flags, 2 | 4 | 16 | 32 | 256 | 512 | 1024 | 2048);
    delete editor;
}

TEST(Record, DefaultsOfTheBase) {
    Probe p;
    AEffect* a = p.getAeffect();
    EXPECT_EQ(a->magic, 0x56737450);
    EXPECT_EQ(a->numInputs, 1);
    EXPECT_EQ(a->numOutputs, 2);
    EXPECT_EQ(a->uniqueID, 0x4E6F4566);
    EXPECT_EQ(a->object, &p);
    EXPECT_EQ(a->numParams, 4);
}

TEST(HostWrappers, WithoutAHostCallback) {
    Probe p;
    EXPECT_EQ(p.getMasterVersion(), 1);
    EXPECT_TRUE(p.isInputConnected(0));
    EXPECT_TRUE(p.isOutputConnected(0));
    EXPECT_EQ(p.getTimeInfo(0), nullptr);
    EXPECT_FALSE(p.sendVstEventsToHost(nullptr));
    EXPECT_EQ(p.updateSampleRate(), 44100.0);
    p.setParameterAutomated(3, 0.25f);
    EXPECT_EQ(p.log, (std::vector<std::string>{"set3"}));
}

TEST(HostWrappers, PassTheirArgumentsInTheRightSlots) {
    hostLog.clear();
    Probe p(recordingHost);
    EXPECT_EQ(p.getMasterVersion(), 1);   // the host answered 0
    EXPECT_TRUE(p.isOutputConnected(5));  // answer 0 means connected
    p.setParameterAutomated(3, 0.25f);
    p.wantEvents(1);
    p.sizeWindow(640, 480);
    p.offlineStart(nullptr, 4, 2);
    EXPECT_EQ(hostLog, (std::vector<std::string>{"1:0:0:0.000000", "4:5:1:0.000000", "0:3:0:0.250000", "6:0:1:0.000000",
                                                 "15:640:480:0.000000", "25:2:4:0.000000"}));
    EXPECT_EQ(p.log, (std::vector<std::string>{"set3"}));  // the plug-in first, then the host
}

}  // namespace

namespace {

class Throwing : public Probe {
public:
    void resume() override { throw std::bad_alloc(); }
};

}  // namespace

TEST(Dispatch, ARequestThatThrowsAnswersZeroInsteadOfUnwindingIntoTheHost) {
    Throwing probe;
    EXPECT_EQ(call(probe, effMainsChanged, 0, 1), 0);
    EXPECT_EQ(call(probe, effGetVstVersion), 2) << "the object still answers afterwards";
}
