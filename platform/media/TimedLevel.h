// The audio data the player hands a visualization for one frame.
#pragma once

#include "platform/base/WinTypes.h"

// Cells per channel in both arrays.
constexpr int SA_BUFFER_SIZE = 1024;

enum PlayerState { stop_state = 0, pause_state = 1, play_state = 2 };

// frequency: per channel (0 left, 1 right) 1024 linear bands from 20 Hz to 22050 Hz, index 0
// the lowest, each 0..255 (magnitude in decibels over a 90 dB range). A mono source is copied
// to both channels. waveform: per channel 1024 samples, 128 = silence. The first 2048 bytes of
// the record are always the two frequency channels.
struct TimedLevel {
    unsigned char frequency[2][SA_BUFFER_SIZE];
    unsigned char waveform[2][SA_BUFFER_SIZE];
    int state;          // a PlayerState
    LONGLONG timeStamp; // in 100-nanosecond units from the start of the item
};

static_assert(sizeof(TimedLevel::frequency) == 2048, "the spectrum is 2 x 1024 bytes");
