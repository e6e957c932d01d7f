// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The music layer's error texts, shared by the desktop's and the browser's
// music layers.
#include "shell/music.h"

namespace zep {

const char* MusicErrorText(int code) {
    static const char* const kTexts[] = {
        "No errors",
        "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
        "This command failed because FSOUND_Init was not called",
        "Error initializing output device.",
        "The output device is already in use and cannot be reused.",
        "Playing the sound failed.",
        "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
        "Error setting cooperative level for hardware.",
        "Error creating hardware sound buffer.",
        "File not found",
        "Unknown file format",
        "Error loading file",
        "Not enough memory ",
        "The version number of this file format is not supported",
        "Incorrect mixer selected",
        "An invalid parameter was passed to this function",
        "Tried to use A3D and not an A3D hardware card, or dll didnt exist, try another output type.",
        "Tried to use an EAX command on a non EAX enabled channel or output.",
        "Failed to allocate a new channel",
    };
    if (code < 0 || code > 18) return "Unknown error";
    return kTexts[code];
}

}  // namespace zep
