// The assembled plug-in: the instrument with its editor attached. Every
// plug-in face (the VST 2 entry, the LV2 wrapper) creates it through here.
#pragma once

#include "vst/aeffect.h"

// The instrument's record, or null when it could not be created. The host's
// callback must answer audioMasterVersion. [host]
AEffect* createPlugin(audioMasterCallback audioMaster);
