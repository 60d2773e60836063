// The remote control of the Player window: other programs (zentrixctl, foot-pedal and
// transcription tools) send WM_REMOTE_CONTROL with a request code in wParam; queries answer
// through the message's result. The engine's own requests (platform/quorvel.h) use the same
// codes for the same transport requests. No platform header here: zentrixctl's command parser
// is also built for the host.
#pragma once

#define WM_REMOTE_CONTROL 0x7FFE

enum RemoteRequest {
    REMOTE_PLAY = 1,
    REMOTE_PAUSE = 4,
    REMOTE_STOP = 8,
    REMOTE_REWIND = 16,
    REMOTE_FORWARD = 32,
    REMOTE_STEP = 64,               // lParam: signed frame count
    REMOTE_LOCATE = 256,            // lParam: packed timecode
    REMOTE_QUERY_TIMECODE = 1024,   // answers the packed current timecode
    REMOTE_QUERY_LENGTH = -32767,   // wParam 0xFFFF8001: answers the duration in frames
    REMOTE_SET_SPEED = 2048,        // lParam: percent, held to 50 to 200
    REMOTE_QUERY_SPEED = 4096,      // answers the speed in percent
};

// Playback speed in percent.
enum {
    SPEED_SLOWEST = 50,
    SPEED_NORMAL = 100,
    SPEED_FASTEST = 200,
    SPEED_STEP = 10,    // the slower and faster keys
};
