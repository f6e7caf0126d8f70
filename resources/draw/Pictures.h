// The pictures of the panel: the background and every state of every
// control, as layers with coverage (alpha) to be laid over the background.
#pragma once

#include "Canvas.h"
#include "Layout.h"

namespace draw {

Canvas background();

// Knob frame 0..63: the pointer and the lit arc sweep from 7 to 5 o'clock.
Canvas knob(int frame);
Canvas faderTrack();
Canvas faderThumb();

enum class Press { Off, Down, On };

Canvas noteButton(bool up, bool pressed);
Canvas chokeButton(Press state);
Canvas outButton(Press state);
// letter 'M' (mute, lit red) or 'S' (solo, lit yellow).
Canvas muteSoloButton(char letter, Press state);
Canvas unloadButton(bool pressed);

}  // namespace draw
