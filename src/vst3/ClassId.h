// The class id of the instrument: chosen once, never to change, since hosts
// save it in every project that uses the plug-in.
// 4AC60B87-BC60-450F-B94A-F474D08AD929
#pragma once

#include "vst3/Vst3Abi.h"

namespace vst3face {

constexpr vst3::Uid kClassId = vst3::makeUid(0x4AC60B87, 0xBC60450F, 0xB94AF474, 0xD08AD929);

}  // namespace vst3face
