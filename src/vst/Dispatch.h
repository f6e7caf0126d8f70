// The one way hosts, faces and tools call an effect record's dispatcher,
// with the arguments most requests leave at zero.
#pragma once

#include "vst/aeffect.h"

namespace vst {

inline VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                          float opt = 0.0f) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

}  // namespace vst
