#include "tests/support/sound.h"

#include <windows.h>

#include <math.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <vector>

namespace {

const DWORD RECORDER_DEADLINE_MS = 15000;  // beyond the recording's own length
const double AUDIBLE_RMS = 300;  // a tone played at full volume is near 20000
const int STRETCH_MS = 10;       // the recording is cut into stretches this long to find sound
const int BRIDGED_MS = 150;

std::string Environment(const char *name)
{
    char value[1024];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

// A Unix file name as Wine shows it to Windows programs.
std::string WindowsPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char &ch : path)
        if (ch == '/')
            ch = '\\';
    return path;
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

LONGLONG FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// Serves the caller's windows (the engine reports to them) until condition() holds or the
// deadline passes.
template <class F> bool ServeUntil(F condition, DWORD deadlineMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < deadlineMs;) {
        if (condition())
            return true;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return condition();
}

// Runs a shell command line as a Linux process. Wine hands such a process no exit status, so
// the command leaves a second file behind when it is done; started() is called once the first
// file has something in it.
bool RunShell(const std::string &command, const std::string &outFile, const std::string &doneFile,
              const std::function<void()> &started, DWORD deadlineMs)
{
    std::string line = "/bin/sh -c \"" + command + "; touch " + doneFile + "\"";
    std::vector<char> text(line.begin(), line.end());
    text.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(NULL, text.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::string out = WindowsPath(outFile), done = WindowsPath(doneFile);
    if (started) {
        if (!ServeUntil([&] { return FileSize(out) > 0 || Exists(done); }, deadlineMs))
            return false;
        started();
    }
    return ServeUntil([&] { return Exists(done); }, deadlineMs);
}

// The stretches of 10 ms loud enough to be heard, joined across short gaps.
std::vector<Sounding> FindSounding(const std::vector<int16_t> &samples)
{
    const size_t WINDOW = SINK_RECORDING_RATE * STRETCH_MS / 1000;
    std::vector<Sounding> found;
    for (size_t start = 0; start + WINDOW <= samples.size(); start += WINDOW) {
        double sum = 0;
        for (size_t i = start; i < start + WINDOW; i++)
            sum += (double)samples[i] * samples[i];
        if (sqrt(sum / WINDOW) < AUDIBLE_RMS)
            continue;
        double from = (double)start / SINK_RECORDING_RATE, to = from + STRETCH_MS / 1000.0;
        if (!found.empty() && from - found.back().to <= BRIDGED_MS / 1000.0 + 1e-9)
            found.back().to = to;
        else
            found.push_back(Sounding{from, to});
    }
    return found;
}

std::vector<int16_t> ReadSamples(const std::string &path)
{
    std::vector<int16_t> samples;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return samples;
    int16_t buffer[4096];
    size_t got;
    while ((got = fread(buffer, sizeof buffer[0], 4096, file)) > 0)
        samples.insert(samples.end(), buffer, buffer + got);
    fclose(file);
    return samples;
}

// The frequency of a steady tone from the spacing of its rising zero crossings, each placed
// between its two samples. A loaded machine lets the stream run dry now and then, and the sink
// fills the gap with silence, in the middle of a stretch as often as not: a spacing across a gap
// (or across a splice of the stretched sound) is far from the tone's period, so only spacings
// near the median one count. A crossing counts only after the wave went clearly below zero, so
// the faint noise of a silence never crosses.
double ToneFrequency(const std::vector<int16_t> &samples)
{
    const int CLEARLY = 300;  // below -CLEARLY the wave is on its way down, not noise
    std::vector<double> crossings;
    bool below = false;
    for (size_t i = 1; i < samples.size(); i++) {
        if (samples[i] < -CLEARLY)
            below = true;
        if (below && samples[i - 1] < 0 && samples[i] >= 0) {
            crossings.push_back((double)(i - 1) + (double)-samples[i - 1] / (samples[i] - samples[i - 1]));
            below = false;
        }
    }
    std::vector<double> spacings;
    for (size_t i = 1; i < crossings.size(); i++)
        spacings.push_back(crossings[i] - crossings[i - 1]);
    if (spacings.empty())
        return 0;
    std::vector<double> sorted = spacings;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    double median = sorted[sorted.size() / 2], sum = 0;
    int counted = 0;
    for (double spacing : spacings)
        if (spacing > median * 0.75 && spacing < median * 1.5) {
            sum += spacing;
            counted++;
        }
    return SINK_RECORDING_RATE * counted / sum;  // the median itself always counts
}

}  // namespace

bool SoundServerAvailable() { return !Environment("PULSE_SERVER").empty(); }

bool SoundOutputOff() { return Environment("VANTOREL_SOUND") == "off" || !SoundServerAvailable(); }

SinkRecording RecordSink(int ms) { return RecordSinkFromStart(ms, nullptr); }

SinkRecording RecordSinkFromStart(int ms, const std::function<void()> &started)
{
    SinkRecording recording;
    if (!SoundServerAvailable()) {
        recording.why = "no sound server (PULSE_SERVER is not set; ./vantorel test starts one)";
        return recording;
    }
    char name[64];
    snprintf(name, sizeof name, "/tmp/vantorel-sink-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    std::string raw = std::string(name) + ".raw", done = std::string(name) + ".done";
    // The null sink hands its monitor the sound in bursts, so the recorder stops after so many
    // samples rather than after so much time.
    char command[512];
    snprintf(command, sizeof command,
             "timeout %d parec --latency-msec=20 -d null.monitor --raw --format=s16le --channels=1 "
             "--rate=%d 2>/dev/null | head -c %d > %s",
             ms / 1000 + 10, SINK_RECORDING_RATE, SINK_RECORDING_RATE / 1000 * ms * 2, raw.c_str());
    if (!RunShell(command, raw, done, started, RECORDER_DEADLINE_MS + ms)) {
        recording.why = "the recorder parec did not finish";
        return recording;
    }
    std::vector<int16_t> samples = ReadSamples(WindowsPath(raw));
    DeleteFileA(WindowsPath(raw).c_str());
    DeleteFileA(WindowsPath(done).c_str());
    recording.available = true;
    recording.samples = (int)samples.size();
    if (samples.empty())
        return recording;
    double sum = 0;
    for (int16_t sample : samples)
        sum += (double)sample * sample;
    recording.rms = sqrt(sum / samples.size());
    recording.frequency = ToneFrequency(samples);
    recording.sounding = FindSounding(samples);
    return recording;
}

bool IsTone(const SinkRecording &recording, double hertz, double share)
{
    return recording.available && recording.rms > AUDIBLE_RMS &&
           fabs(recording.frequency - hertz) <= hertz * share;
}

SinkRecording RecordOnceQuiet(double hertz, double share, int deadlineMs, int ms)
{
    const int CHUNK_MS = 100;
    DWORD start = GetTickCount();
    SinkRecording chunk = RecordSink(CHUNK_MS);
    while (chunk.available && IsTone(chunk, hertz, share) &&
           GetTickCount() - start < (DWORD)deadlineMs)
        chunk = RecordSink(CHUNK_MS);
    if (!chunk.available || IsTone(chunk, hertz, share))
        return chunk;
    return RecordSink(ms);
}
