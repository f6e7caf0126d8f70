#include <lv2/atom/util.h>

#include "lv2/Instance.h"

namespace lv2face {

void runBlock(Instance& in, uint32_t frames) {
    in.batcher.begin(in.effect, in.outputs, frames);
    const LV2_Atom_Sequence* seq = in.events;
    if (seq && seq->atom.type == in.urids.atomSequence) {
        LV2_ATOM_SEQUENCE_FOREACH(seq, ev) {
            if (ev->body.type != in.urids.midiEvent) continue;
            in.batcher.add(ev->time.frames, static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&ev->body)),
                           ev->body.size);
        }
    }
    in.batcher.finish();
}

}  // namespace lv2face
