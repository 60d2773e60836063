// WSOLA. Output is built from windowed segments of the input, half a window apart, each added
// onto the second half of the one before. At speed s the segments are taken s half-windows
// apart in the input, which makes the sound shorter or longer at its own pitch. Where exactly
// each segment is taken, within a few milliseconds of its nominal place, is chosen so that it
// continues the one before as closely as possible (the highest normalised correlation with
// what followed the last segment in the input): the waves then meet in phase and no join clicks.
#include "stretch.h"

#include <math.h>


namespace {

const double WINDOW_SECONDS = 0.030;     // longer than the period of any voice
const double TOLERANCE_SECONDS = 0.010;  // a low voice's period fits in either direction
const double PI = 3.14159265358979323846;
const float SILENCE = 1e-3f;             // energy added so that silence compares as silence
const int COARSE_STEP = 4;               // frames between the candidates of the first pass

long long FrameCount(const TimeStretch *s) { return (long long)s->input.size() / s->channels; }

const float *MixedAt(const TimeStretch *s, long long frame)
{
    return &s->mixed[(size_t)(frame - s->inputBase)];
}

// How well a segment starting at candidate continues the last one: the first half-window of
// each against what followed the last segment in the input.
double Similarity(const TimeStretch *s, long long candidate, long long natural)
{
    const float *a = MixedAt(s, natural), *b = MixedAt(s, candidate);
    float product = 0, energy = SILENCE;
    for (int j = 0; j < s->hop; j++) {
        product += a[j] * b[j];
        energy += b[j] * b[j];
    }
    return product / sqrt((double)energy);
}

// The search goes in two passes: every COARSE_STEP-th candidate over the whole tolerance, then
// each one around the best of those, which finds the same peak for the waves of a voice at a
// quarter of the work. Nearer candidates are tried first and kept on a tie: at an exact speed of
// 1 the input comes out unchanged.
long long BestStart(const TimeStretch *s, long long nominal, long long natural)
{
    long long best = nominal;
    double bestScore = Similarity(s, nominal, natural);
    auto tryCandidate = [&](long long candidate) {
        if (candidate < s->inputBase || candidate < nominal - s->tolerance ||
            candidate > nominal + s->tolerance)
            return;
        double score = Similarity(s, candidate, natural);
        if (score > bestScore) {
            bestScore = score;
            best = candidate;
        }
    };
    for (int d = COARSE_STEP; d <= s->tolerance; d += COARSE_STEP) {
        tryCandidate(nominal + d);
        tryCandidate(nominal - d);
    }
    long long coarse = best;
    for (int d = 1; d < COARSE_STEP; d++) {
        tryCandidate(coarse + d);
        tryCandidate(coarse - d);
    }
    return best;
}

int16_t ToSample(float v)
{
    float r = v < 0 ? v - 0.5f : v + 0.5f;
    return r <= -32768.0f ? -32768 : r >= 32767.0f ? 32767 : (int16_t)r;
}

// Whether the input holds everything the next segment may need.
bool SegmentReady(const TimeStretch *s)
{
    long long nominal = (long long)floor(s->nominal);
    long long end = s->inputBase + FrameCount(s);
    long long need = nominal + s->tolerance + s->window;
    if (s->previous >= 0 && s->previous + 2 * s->hop > need)
        need = s->previous + 2 * s->hop;
    return need <= end;
}

void Forget(TimeStretch *s)
{
    long long keep = (long long)floor(s->nominal) - s->tolerance;
    if (s->previous >= 0 && s->previous + s->hop < keep)
        keep = s->previous + s->hop;
    if (keep <= s->inputBase)
        return;
    size_t drop = (size_t)((keep - s->inputBase) * s->channels);
    if (drop > s->input.size())
        drop = s->input.size();
    s->input.erase(s->input.begin(), s->input.begin() + drop);
    s->mixed.erase(s->mixed.begin(), s->mixed.begin() + drop / s->channels);
    s->inputBase = keep;
}

void MakeSegment(TimeStretch *s, std::vector<int16_t> *output)
{
    long long nominal = (long long)floor(s->nominal);
    if (nominal < s->inputBase)
        nominal = s->inputBase;
    long long start = s->previous < 0 ? nominal : BestStart(s, nominal, s->previous + s->hop);
    const float *segment = &s->input[(size_t)((start - s->inputBase) * s->channels)];
    for (int j = 0; j < s->hop; j++) {
        for (int c = 0; c < s->channels; c++) {
            size_t at = (size_t)j * s->channels + c;
            output->push_back(ToSample(s->tail[at] + s->hann[j] * segment[at]));
            s->tail[at] = s->hann[s->hop + j] * segment[(size_t)(s->hop + j) * s->channels + c];
        }
    }
    s->previous = start;
    s->nominal += s->hop * s->speed;
    Forget(s);
}

}  // namespace

void StartTimeStretch(TimeStretch *s, int sampleRate, int channels, double speed)
{
    s->channels = channels > 0 ? channels : 1;
    s->hop = (int)(sampleRate * WINDOW_SECONDS / 2 + 0.5);
    if (s->hop < 1)
        s->hop = 1;
    s->window = 2 * s->hop;
    s->tolerance = (int)(sampleRate * TOLERANCE_SECONDS + 0.5);
    s->hann.resize(s->window);
    for (int n = 0; n < s->window; n++)
        s->hann[n] = (float)(0.5 - 0.5 * cos(2 * PI * n / s->window));
    s->input.clear();
    s->mixed.clear();
    s->inputBase = 0;
    s->nominal = 0;
    s->previous = -1;
    s->tail.assign((size_t)s->hop * s->channels, 0.0f);
    s->ended = false;
    SetTimeStretchSpeed(s, speed);
}

void SetTimeStretchSpeed(TimeStretch *s, double speed) { s->speed = speed > 0 ? speed : 1.0; }

void PushTimeStretch(TimeStretch *s, const int16_t *frames, size_t count,
                     std::vector<int16_t> *output)
{
    if (s->ended)
        return;
    s->input.insert(s->input.end(), frames, frames + count * s->channels);
    for (size_t i = 0; i < count; i++) {
        float sum = 0;
        for (int c = 0; c < s->channels; c++)
            sum += frames[i * s->channels + c];
        s->mixed.push_back(sum);
    }
    while (SegmentReady(s))
        MakeSegment(s, output);
}

// The input is padded with silence so that the last segments can be taken as any other; they
// go on as long as the input would have given them.
void EndTimeStretch(TimeStretch *s, std::vector<int16_t> *output)
{
    if (s->ended)
        return;
    long long end = s->inputBase + FrameCount(s);
    size_t padding = (size_t)(s->window + 2 * s->tolerance + 2 * s->hop);
    s->input.insert(s->input.end(), padding * s->channels, 0.0f);
    s->mixed.insert(s->mixed.end(), padding, 0.0f);
    while (s->nominal < end && SegmentReady(s))
        MakeSegment(s, output);
    for (float v : s->tail)
        output->push_back(ToSample(v));
    s->tail.assign(s->tail.size(), 0.0f);
    s->ended = true;
}
