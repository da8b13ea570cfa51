// Telling the user, without a window of ours on screen, that something they
// asked for did not happen.
#pragma once

namespace platform {

// The system's warning sound.
void SoundWarning();

}  // namespace platform
