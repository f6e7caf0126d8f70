// What a host sees of a freshly created instrument, through the record and
// the dispatcher only.
#include <cstring>

#include "integration/Plugin.h"
#include "support/MiniTest.h"

using scenario::Instance;

namespace {

bool sawHostCall(VstInt32 opcode, VstIntPtr value) {
    for (const testhost::HostCall& c : testhost::calls)
        if (c.opcode == opcode && c.value == value) return true;
    return false;
}

}  // namespace

TEST_CASE(LibraryExportsBothEntryNames) {
    testhost::Library library(scenario::pluginPath);
    CHECK(library.loaded());
    void* a = library.symbol("VSTPluginMain");
    void* b = library.symbol("main");
    CHECK(a != nullptr);
    CHECK(a == b);
}

TEST_CASE(RecordFieldsOfANewInstrument) {
    Instance plugin;
    AEffect* e = plugin.effect();
    if (!CHECK(e != nullptr)) return;
    CHECK_EQ(e->magic, 0x56737450);
    CHECK_EQ(e->numPrograms, 1);
    CHECK_EQ(e->numParams, 80);
    CHECK_EQ(e->numInputs, 0);
    CHECK_EQ(e->numOutputs, 8);
    CHECK_EQ(e->flags, 0x131);
    CHECK_EQ(e->uniqueID, 0x4B333138);
    CHECK_EQ(e->version, 1);
    CHECK(e->ioRatio == 1.0f);
    CHECK_EQ(e->initialDelay, 0);
    CHECK(e->object != nullptr);
    CHECK(e->user == nullptr);
    CHECK(e->process != nullptr && e->processReplacing != nullptr);
    char zeros[60] = {};
    CHECK(std::memcmp(e->future, zeros, sizeof(zeros)) == 0);
}

TEST_CASE(EntryAsksTheHostVersionWithoutAnEffect) {
    testhost::calls.clear();
    Instance plugin;
    CHECK(!testhost::calls.empty() && testhost::calls[0].opcode == audioMasterVersion &&
          testhost::calls[0].effectWasNull);
}

TEST_CASE(HostAnsweringVersionZeroGetsNull) {
    testhost::versionAnswer = 0;
    {
        Instance plugin;
        CHECK(plugin.effect() == nullptr);
    }
    testhost::versionAnswer = kHostVersion;
}

TEST_CASE(IdentityStrings) {
    Instance plugin;
    char text[256];
    std::memset(text, 'x', sizeof(text));
    CHECK_EQ(plugin.dispatch(effGetEffectName, 0, 0, text), 1);
    CHECK_STR(text, "KZ316");
    CHECK_EQ(plugin.dispatch(effGetVendorString, 0, 0, text), 1);
    CHECK_STR(text, "Morvantic");
    CHECK_EQ(plugin.dispatch(effGetProductString, 0, 0, text), 1);
    CHECK_STR(text, "KZ318");
    CHECK_EQ(plugin.dispatch(effGetVendorVersion), 1);
    CHECK_EQ(plugin.dispatch(effGetVstVersion), 2);
}

TEST_CASE(CanDoIsExactAndCaseSensitive) {
    Instance plugin;
    char a[] = "receiveVstEvents", b[] = "receiveVstMidiEvent", c[] = "ReceiveVstEvents", d[] = "sendVstEvents",
         e[] = "receiveVstEventsX", f[] = "";
    CHECK_EQ(plugin.dispatch(effCanDo, 0, 0, a), 1);
    CHECK_EQ(plugin.dispatch(effCanDo, 0, 0, b), 1);
    CHECK_EQ(plugin.dispatch(effCanDo, 0, 0, c), 0);
    CHECK_EQ(plugin.dispatch(effCanDo, 0, 0, d), 0);
    CHECK_EQ(plugin.dispatch(effCanDo, 0, 0, e), 0);
    CHECK_EQ(plugin.dispatch(effCanDo, 0, 0, f), 0);
}

TEST_CASE(EightStereoOutputPins) {
    Instance plugin;
    const char* names[] = {"Kz3 1L", "Kz3 1R", "Kz3 2L", "Kz3 2R", "Kz3 3L", "Kz3 3R", "Kz3 4L", "Kz3 4R"};
    for (int i = 0; i < 8; i++) {
        VstPinProperties pin;
        std::memset(&pin, 0x5A, sizeof(pin));
        CHECK_EQ(plugin.dispatch(effGetOutputProperties, i, 0, &pin), 1);
        CHECK_STR(pin.label, names[i]);
        CHECK_EQ(pin.flags, 3);
        CHECK_EQ(static_cast<unsigned char>(pin.shortLabel[0]), 0x5A);  // untouched
        CHECK_EQ(pin.arrangementType, 0x5A5A5A5A);
    }
    VstPinProperties pin;
    std::memset(&pin, 0x5A, sizeof(pin));
    VstPinProperties before = pin;
    CHECK_EQ(plugin.dispatch(effGetOutputProperties, 8, 0, &pin), 0);
    CHECK(std::memcmp(&pin, &before, sizeof(pin)) == 0);
    CHECK_EQ(plugin.dispatch(effGetInputProperties, 0, 0, &pin), 0);
}

TEST_CASE(ParameterNamesLabelsAndDisplays) {
    Instance plugin;
    AEffect* e = plugin.effect();
    char text[64];
    plugin.dispatch(effGetParamName, 0, 0, text);
    CHECK_STR(text, "0.000000");
    plugin.dispatch(effGetParamName, 12, 0, text);
    CHECK_STR(text, "12.00000");
    plugin.dispatch(effGetParamName, 79, 0, text);
    CHECK_STR(text, "79.00000");
    plugin.dispatch(effGetParamLabel, 3, 0, text);
    CHECK_STR(text, "Stuff");
    plugin.dispatch(effGetParamDisplay, 1000, 0, text);
    CHECK_STR(text, "Stuff");
    e->setParameter(e, 0, 0.9f);
    CHECK(e->getParameter(e, 0) == 0.5f);
    CHECK(e->getParameter(e, 79) == 0.5f);
    CHECK(e->getParameter(e, 1000) == 0.5f);
    CHECK_EQ(plugin.dispatch(effCanBeAutomated, 5), 1);
}

TEST_CASE(FixedAnswers) {
    Instance plugin;
    CHECK_EQ(plugin.dispatch(effIdentify, 7, 9), 0x4E764566);
    CHECK_EQ(plugin.dispatch(effKeysRequired), 1);
    CHECK_EQ(plugin.dispatch(effGetPlugCategory), 2);
    CHECK_EQ(plugin.dispatch(effGetVu), 0);
    CHECK_EQ(plugin.dispatch(effGetNumProgramCategories), 1);
    CHECK_EQ(plugin.dispatch(effConnectInput, 0, 1), 1);
    CHECK_EQ(plugin.dispatch(effConnectOutput, 3, 0), 1);
    CHECK_EQ(plugin.dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f), 1);
    CHECK_EQ(plugin.dispatch(59), 0);
    CHECK_EQ(plugin.dispatch(-1), 0);
    CHECK_EQ(plugin.dispatch(1000), 0);
}

TEST_CASE(OneProgramWithAnEmptyName) {
    Instance plugin;
    plugin.dispatch(effSetProgram, 0, 1);
    CHECK_EQ(plugin.dispatch(effGetProgram), 0);
    plugin.dispatch(effSetProgram, 0, -1);  // signed test: taken as it comes
    CHECK_EQ(plugin.dispatch(effGetProgram), -1);
    plugin.dispatch(effSetProgram, 0, 0);
    char name[64] = "junk";
    plugin.dispatch(effGetProgramName, 0, 0, name);
    CHECK_STR(name, "");
}

TEST_CASE(MainsChangedAsksForMidiOnResumeOnly) {
    Instance plugin;
    testhost::calls.clear();
    plugin.dispatch(effMainsChanged, 0, 0);
    CHECK(testhost::calls.empty());
    plugin.dispatch(effMainsChanged, 0, 1);
    CHECK(sawHostCall(audioMasterWantMidi, 1));
    testhost::calls.clear();
    plugin.dispatch(effMainsChanged, 0, 5);
    CHECK(sawHostCall(audioMasterWantMidi, 1));
}

TEST_CASE(CloseAnswersOneAndDestroys) {
    Instance plugin;
    CHECK_EQ(plugin.close(), 1);
}

TEST_CASE(IndependentInstances) {
    Instance a, b;
    CHECK(a.effect() != b.effect());
    CHECK(a.effect()->object != b.effect()->object);
}
