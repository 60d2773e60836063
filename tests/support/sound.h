// What reached the sound server's null sink: recorded from its monitor by the server's own
// recorder (a Linux program, which Wine starts like any other), read back here.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A stretch of a recording with sound in it, in seconds from the recording's start.
struct Sounding {
    double from, to;
};

struct SinkRecording {
    bool available = false;  // a sound server answered and the recording came back
    std::string why;         // when not available
    int samples = 0;         // 16-bit mono samples at SINK_RECORDING_RATE
    double rms = 0;          // loudness, full scale 32767
    double frequency = 0;    // strongest frequency of a steady tone, from its zero crossings
    // Where it sounds, to 10 ms; a gap of up to 150 ms (the stream running dry on a loaded
    // machine, which the sink fills with silence) does not end a stretch.
    std::vector<Sounding> sounding;
};

const int SINK_RECORDING_RATE = 44100;

// Whether the tests have a sound server (./vantorel test starts one with a null sink).
bool SoundServerAvailable();
// Whether the programs under test have no sound: Wine's sound drivers are switched off
// (VANTOREL_SOUND=off) or there is no server to play into.
bool SoundOutputOff();
// Records ms milliseconds of what is played into the null sink from now on.
SinkRecording RecordSink(int ms);
// The same, calling started() once the recorder takes the sink's sound, so that whatever it
// starts is recorded from its first sample on.
SinkRecording RecordSinkFromStart(int ms, const std::function<void()> &started);
// Whether a recording carries a tone: loud enough and at the given frequency within the share.
bool IsTone(const SinkRecording &recording, double hertz, double share);
// What the sink got after a stop of the sound: the sound already on its way to the server plays
// out first, so this waits, up to deadlineMs, for 100 ms without the tone, then records ms more.
// The last 100 ms when the tone never stopped.
SinkRecording RecordOnceQuiet(double hertz, double share, int deadlineMs, int ms);
