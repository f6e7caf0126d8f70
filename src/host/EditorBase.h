// Host-facing editor interface: the effect forwards the editor opcodes here.
// Every call comes on the editor's thread [editor]: the thread the host opens,
// idles and closes the editor on.
#pragma once

#include <cstdint>

#include "vst/aeffect.h"

class EffectBase;

class EditorBase {
public:
    explicit EditorBase(EffectBase* owner) : owner(owner) {}
    virtual ~EditorBase() {}
    virtual int32_t getRect(ERect** rect);
    virtual int32_t open(void* parent);
    virtual void close() {}
    virtual void idle();
    virtual void update() {}
    virtual void postUpdate() { updatePending = 1; }

protected:
    EffectBase* owner;
    void* parentWindow = nullptr;
    int32_t updatePending = 0;
};
