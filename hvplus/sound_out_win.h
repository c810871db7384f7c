// Plays a rendered chain through the waveform-audio device.
#pragma once

#include "hvplus/talk_stream.h"

namespace hv {

// Starts `stream` on the default device and blocks until playback has reached the
// closing clip, which then plays on by itself. False when the device refuses the
// stream or stops advancing; nothing is left playing then.
bool PlayUntilClosingClip(const TalkStream& stream);

}  // namespace hv
