// What the instrument needs of its editor: a refresh after loads and the pad
// name labels. The editor implements these after the host-facing operations.
#pragma once

#include "host/EditorBase.h"

class PadEditor : public EditorBase {
public:
    using EditorBase::EditorBase;
    // [any]: on the editor's own thread the controls change at once; from
    // any other thread the editor only notes that it is stale and catches up
    // at its next idle.
    virtual void refreshFromPads() = 0;
    virtual void setPadName(int pad, const char* text) = 0;
};
