// The entry, the factory, the descriptor, the ports and the state, as a strict
// host checks them.
#include <cstring>
#include <string>

#include "clap/ClapHost.h"
#include "formats/KitFormats.h"
#include "lv2/Kit.h"
#include "support/MiniTest.h"

using namespace claptest;

TEST_CASE(EntryInitialisesAndGivesOnlyThePluginFactory) {
    Library& lib = library();
    if (!CHECK(lib.entry != nullptr)) return;
    CHECK_EQ(lib.entry->version.major, 1u);
    CHECK(lib.initialised);
    CHECK(lib.factory != nullptr);
    CHECK(lib.entry->getFactory("clap.preset-discovery-factory/2") == nullptr);
    CHECK(lib.entry->getFactory("clap.plugin-factory.x") == nullptr);
    // Hosts may init and deinit again around a scan.
    CHECK(lib.entry->init("elsewhere"));
    lib.entry->deinit();
    CHECK(lib.entry->getFactory(clap::kPluginFactoryId) == lib.factory);
}

TEST_CASE(DescriptorNamesTheInstrument) {
    const clap::PluginFactory* f = library().factory;
    if (!CHECK(f != nullptr)) return;
    CHECK_EQ(f->getPluginCount(f), 1u);
    CHECK(f->getPluginDescriptor(f, 1) == nullptr);
    const clap::PluginDescriptor* d = f->getPluginDescriptor(f, 0);
    if (!CHECK(d != nullptr)) return;
    CHECK_EQ(d->version.major, 1u);
    CHECK_STR(d->id, "com.morvantic.kz318");
    CHECK_STR(d->name, "KZ318");
    CHECK_STR(d->vendor, "Morvantic");
    CHECK(d->versionText && std::strlen(d->versionText) > 0);
    const char* expected[] = {"instrument", "sampler", "drum-machine", "stereo"};
    int n = 0;
    for (; d->features && d->features[n]; n++)
        if (n < 4) CHECK_STR(d->features[n], expected[n]);
    CHECK_EQ(n, 4);
}

TEST_CASE(OnlyItsOwnIdCreatesAPlugin) {
    ClapPlugin wrong(HostOptions(), "com.morvantic.kz319");
    CHECK(!wrong.ok());
    const clap::PluginFactory* f = library().factory;
    CHECK(f->createPlugin(f, nullptr, "com.morvantic.kz318") == nullptr);
    ClapPlugin right;
    if (!CHECK(right.ok())) return;
    CHECK(right.raw()->desc == f->getPluginDescriptor(f, 0));
}

TEST_CASE(ExtensionsOfferedAndNotOffered) {
    ClapPlugin p;
    if (!CHECK(p.ok())) return;
    for (const char* id : {clap::kExtAudioPorts, clap::kExtNotePorts, clap::kExtState, clap::kExtGui,
                           clap::kExtTimerSupport, clap::kExtLatency})
        CHECK(p.extension<void>(id) != nullptr);
    for (const char* id : {"clap.params", "clap.audio-ports-config", "clap.voice-info", "clap.state.x", ""})
        CHECK(p.extension<void>(id) == nullptr);
    CHECK_EQ(p.extension<clap::PluginLatency>(clap::kExtLatency)->get(p.raw()), 0u);
}

TEST_CASE(AudioPortsAreFourStereoOutputsTheFirstMain) {
    ClapPlugin p;
    if (!CHECK(p.ok())) return;
    const auto* ports = p.extension<clap::PluginAudioPorts>(clap::kExtAudioPorts);
    CHECK_EQ(ports->count(p.raw(), true), 0u);
    CHECK_EQ(ports->count(p.raw(), false), 4u);
    clap::AudioPortInfo info;
    CHECK(!ports->get(p.raw(), 0, true, &info));
    CHECK(!ports->get(p.raw(), 4, false, &info));
    for (uint32_t i = 0; i < 4; i++) {
        std::memset(&info, 0x5A, sizeof info);
        if (!CHECK(ports->get(p.raw(), i, false, &info))) continue;
        CHECK_EQ(info.id, i);
        CHECK_STR(info.name, ("Kz3 " + std::to_string(i + 1)).c_str());
        CHECK_EQ(info.flags, i == 0 ? clap::kAudioPortIsMain : 0u);
        CHECK_EQ(info.channelCount, 2u);
        CHECK_STR(info.portType, "stereo");
        CHECK_EQ(info.inPlacePair, clap::kInvalidId);
    }
}

TEST_CASE(NotePortTakesClapAndMidiAndPrefersMidi) {
    ClapPlugin p;
    if (!CHECK(p.ok())) return;
    const auto* ports = p.extension<clap::PluginNotePorts>(clap::kExtNotePorts);
    CHECK_EQ(ports->count(p.raw(), true), 1u);
    CHECK_EQ(ports->count(p.raw(), false), 0u);
    clap::NotePortInfo info;
    CHECK(!ports->get(p.raw(), 1, true, &info));
    CHECK(!ports->get(p.raw(), 0, false, &info));
    std::memset(&info, 0x5A, sizeof info);
    if (!CHECK(ports->get(p.raw(), 0, true, &info))) return;
    CHECK_EQ(info.id, 0u);
    CHECK_EQ(info.supportedDialects, clap::kNoteDialectClap | clap::kNoteDialectMidi);
    CHECK_EQ(info.preferredDialect, clap::kNoteDialectMidi);
    CHECK(std::memchr(info.name, 0, sizeof info.name) != nullptr && info.name[0] != 0);
}

TEST_CASE(StateIsTheVst2ChunkThroughAnyStream) {
    lv2test::Kit kit;
    ClapPlugin p;
    VstPlugin vst(vstPath);
    if (!CHECK(p.ok() && vst.ok())) return;
    CHECK(p.state() == vst.chunk());
    CHECK(p.load(kit.bytes(), 3));
    vst.setChunk(kit.bytes());
    const Bytes expected = vst.chunk();
    CHECK_EQ(expected.size(), size_t(kitformat::kChunkSize));
    Bytes saved;
    CHECK(p.save(saved));
    CHECK(saved == expected);
    CHECK(p.save(saved, 3));
    CHECK(saved == expected);
    // What one instance saved, another loads.
    ClapPlugin other;
    CHECK(other.load(saved, 1));
    CHECK(other.state() == expected);
    // A stream that takes nothing is an error.
    CHECK(!p.save(saved, 0));
}

TEST_CASE(BadOrShortStreamsChangeNothing) {
    lv2test::Kit kit;
    ClapPlugin p;
    if (!CHECK(p.ok()) || !CHECK(p.load(kit.bytes()))) return;
    const Bytes before = p.state();
    const Bytes good = kit.bytes();
    kitformat::Chunk other = kitformat::defaultChunk();
    Bytes otherBytes(kitformat::kChunkSize);
    kitformat::encodeChunk(other, otherBytes.data());
    Bytes shortOne(otherBytes.begin(), otherBytes.end() - 1);
    Bytes longOne = otherBytes;
    longOne.push_back(0);
    Bytes badMagic = otherBytes;
    badMagic[0] ^= 0xFF;
    CHECK(!p.load(Bytes()));
    CHECK(!p.load(shortOne, 3));
    CHECK(!p.load(longOne));
    CHECK(!p.load(badMagic));
    CHECK(!p.load(otherBytes, 3, 0));
    CHECK(!p.load(otherBytes, 3, 2001));
    CHECK(!p.load(otherBytes, 1024, otherBytes.size() - 1));
    CHECK(p.state() == before);
    CHECK(good != otherBytes);
    CHECK(p.load(otherBytes, 7));
    CHECK(p.state() != before);
}
