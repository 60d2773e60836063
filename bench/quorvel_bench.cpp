// Figures of the playback engine on the generated clips, each beside the same figure for a bare
// DirectShow graph on the same clip in the same run. Prints; asserts nothing.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bare_graph.h"
#include "engine_host.h"
#include "open_trace.h"
#include "platform/quorvel.h"

namespace {

const char *const CLIPS[] = {"intra25.avi", "mpeg4.avi", "h264.mp4"};
const int SEEKS = 20;
const int STEPS = 20;
const int PLAY_SAMPLES = 20;
const DWORD SAMPLE_GAP_MS = 60;
const LONG CLIP_FRAMES = 100;
const int OPEN_ROUNDS = 7;   // engine and bare graph opened in turn; medians are printed
const char SPEED_CLIP[] = "longaac.mp4";  // 12 s at 25 fps with sound: 8 s of it at 200 %
const LONG SPEEDS[] = {50, 100, 200};
const DWORD SPEED_SETTLE_MS = 500;
const DWORD SPEED_MEASURE_MS = 4000;

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

struct Figures {
    double openMs = 0, seekMs = 0, stepMs = 0, reportMs = -1, reportMaxMs = -1;
    int seekExact = 0, stepExact = 0, playingWithinOne = 0;
};

std::vector<LONG> SeekTargets()
{
    std::vector<LONG> targets;
    srand(7);
    for (int i = 0; i < SEEKS; i++)
        targets.push_back(rand() % CLIP_FRAMES);
    return targets;
}

Figures MeasureEngine(HWND host, const std::string &clip)
{
    Figures f;
    QuorvelInit(host);
    QuorvelSetRate(25.0);
    ClearRecord();
    double start = Now();
    QuorvelSetFile(clip.c_str());
    f.openMs = Now() - start;
    Pump(1500);
    if (g_host.reportTicks.size() > 3) {
        double sum = 0, worst = 0;
        for (size_t i = 2; i < g_host.reportTicks.size(); i++) {
            double gap = g_host.reportTicks[i] - g_host.reportTicks[i - 1];
            sum += gap;
            worst = gap > worst ? gap : worst;
        }
        f.reportMs = sum / (g_host.reportTicks.size() - 2);
        f.reportMaxMs = worst;
    }
    for (int i = 0; i < PLAY_SAMPLES; i++) {
        Pump(SAMPLE_GAP_MS);
        int picture = PictureFrame(host);
        if (picture >= 0 && abs(picture - LastReport()) <= 1)
            f.playingWithinOne++;
        else
            printf("  engine playing: reported %ld, picture %d\n", LastReport(), picture);
    }
    for (LONG target : SeekTargets()) {
        start = Now();
        QuorvelControl(QUORVEL_SEEK, target);
        f.seekMs += (Now() - start) / SEEKS;
        int picture = PictureFrame(host);
        f.seekExact += picture == target;
        if (picture != target)
            printf("  engine seek %ld: picture %d\n", target, picture);
    }
    QuorvelControl(QUORVEL_SEEK, 10);
    for (int i = 0; i < STEPS; i++) {
        start = Now();
        QuorvelControl(QUORVEL_STEP, 1);
        f.stepMs += (Now() - start) / STEPS;
        f.stepExact += PictureFrame(host) == 11 + i;
    }
    QuorvelExit();
    return f;
}

Figures MeasureBare(HWND host, const std::string &clip)
{
    Figures f;
    double start = Now();
    BareGraph *g = OpenBare(clip, host);
    f.openMs = Now() - start;
    RunBare(g);
    Pump(1500);
    for (int i = 0; i < PLAY_SAMPLES; i++) {
        Pump(SAMPLE_GAP_MS);
        int picture = PictureFrameOf(VideoOfBare(g));
        if (picture >= 0 && abs(picture - FrameOfBare(g)) <= 1)
            f.playingWithinOne++;
    }
    PauseBare(g);
    for (LONG target : SeekTargets()) {
        start = Now();
        SeekBare(g, target);
        f.seekMs += (Now() - start) / SEEKS;
        f.seekExact += PictureFrameOf(VideoOfBare(g)) == target;
    }
    for (int i = 0; i < STEPS; i++) {
        start = Now();
        SeekBare(g, 11 + i);
        f.stepMs += (Now() - start) / STEPS;
        f.stepExact += PictureFrameOf(VideoOfBare(g)) == 11 + i;
    }
    CloseBare(g);
    return f;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct OpenFigures {
    std::vector<double> engine, bare;
    std::vector<double> engineBesides, bareBesides;  // all but RenderFile, the same call in both
    std::vector<const char *> steps;            // of the engine's open, in order
    std::vector<std::vector<double>> stepMs;    // per step, one figure per round
    bool exact = true;                          // every opened picture showed frame 0
};

// Opening to the first picture, the engine (QuorvelSetFile, which also starts playing) and a
// bare graph in turn, after one unmeasured open of each so that neither pays for loading the
// decoders. The engine's own steps come from its open trace.
OpenFigures MeasureOpens(HWND host, const std::string &clip)
{
    OpenFigures f;
    for (int round = -1; round < OPEN_ROUNDS; round++) {
        QuorvelInit(host);
        QuorvelSetRate(25.0);
        ClearRecord();
        double start = Now();
        OpenTraceStart();
        QuorvelSetFile(clip.c_str());
        double engineMs = Now() - start;
        OpenTrace trace = g_openTrace;
        g_openTrace.wanted = false;
        if (!g_host.reports.empty() && g_host.reports[0] != 0)
            f.exact = false;
        QuorvelExit();
        start = Now();
        double bareRenderFileMs = 0;
        BareGraph *g = OpenBare(clip, host, &bareRenderFileMs);
        double bareMs = Now() - start;
        CloseBare(g);
        g_openTrace = trace;  // the record OpenTraceStepMs reads
        double engineRenderFileMs = 0;
        for (int i = 0; i < trace.count; i++)
            if (strncmp(trace.marks[i].step, "RenderFile", 10) == 0)
                engineRenderFileMs = OpenTraceStepMs(i);
        if (round < 0)
            continue;
        f.engine.push_back(engineMs);
        f.bare.push_back(bareMs);
        f.engineBesides.push_back(engineMs - engineRenderFileMs);
        f.bareBesides.push_back(bareMs - bareRenderFileMs);
        if (f.steps.empty()) {
            for (int i = 0; i < trace.count; i++)
                f.steps.push_back(trace.marks[i].step);
            f.stepMs.resize(trace.count);
        }
        for (int i = 0; i < trace.count && i < (int)f.steps.size(); i++)
            f.stepMs[i].push_back(OpenTraceStepMs(i));
    }
    return f;
}

void PrintOpens(const OpenFigures &f)
{
    double engine = Median(f.engine), bare = Median(f.bare);
    printf("  open to first picture, median of %d (engine steps):\n", OPEN_ROUNDS);
    for (size_t i = 0; i < f.steps.size(); i++)
        printf("    %-44s %10.1f ms\n", f.steps[i], Median(f.stepMs[i]));
    printf("    %-44s %10.1f ms\n", "engine: QuorvelSetFile in all", engine);
    printf("    %-44s %10.1f ms\n", "bare graph: RenderFile to paused picture", bare);
    printf("    %-44s %10.2f\n", "engine / bare graph", bare > 0 ? engine / bare : 0.0);
    // RenderFile is the same call in both and the noisiest step on a busy machine: what each
    // spends besides it is the engine's own share.
    printf("    %-44s %10.1f ms\n", "engine besides RenderFile", Median(f.engineBesides));
    printf("    %-44s %10.1f ms\n", "bare graph besides RenderFile", Median(f.bareBesides));
    printf("    %-44s %10s\n", "first report frame 0 every time", f.exact ? "yes" : "NO");
}

void PrintRow(const char *figure, const char *engine, const char *bare)
{
    printf("  %-44s %16s %16s\n", figure, engine, bare);
}

std::string Ms(double ms) { return ms < 0 ? "-" : std::to_string((int)(ms + 0.5)) + " ms"; }
// This process's Linux stat line under Wine, "" elsewhere. Wine's own count leaves out the threads
// GStreamer starts for the decoders, which Linux counts; Wine resolves /proc/self to its server,
// so the process is found by name.
std::string WineProcessStat()
{
    static std::string path;
    char line[1024] = "";
    if (path.empty()) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
        if (search == INVALID_HANDLE_VALUE)
            return "";
        do {
            if (found.cFileName[0] < '1' || found.cFileName[0] > '9')
                continue;
            std::string candidate = std::string("Z:\\proc\\") + found.cFileName + "\\stat";
            FILE *stat = fopen(candidate.c_str(), "r");
            if (!stat)
                continue;
            fgets(line, sizeof line, stat);
            fclose(stat);
            if (strstr(line, "(quorvel_bench.") && strstr(line, "wineserver") == NULL)
                path = candidate;
        } while (path.empty() && FindNextFileA(search, &found));
        FindClose(search);
    }
    FILE *stat = path.empty() ? NULL : fopen(path.c_str(), "r");
    if (!stat)
        return "";
    line[0] = 0;
    fgets(line, sizeof line, stat);
    fclose(stat);
    return line;
}

// The process's processor time (all its threads, the decoders' included) per second of wall
// clock while the next ms milliseconds are pumped.
double CpuShare(DWORD ms)
{
    auto used = [] {
        std::string line = WineProcessStat();
        size_t after = line.rfind(')');  // the name may hold spaces
        unsigned long long user = 0, system = 0;
        if (after != std::string::npos &&
            sscanf(line.c_str() + after + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                   &user, &system) == 2)
            return (user + system) * 10.0;  // clock ticks of 10 ms
        FILETIME created, ended, kernel, userTime;
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &userTime);
        ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
        ULARGE_INTEGER u = {{userTime.dwLowDateTime, userTime.dwHighDateTime}};
        return (k.QuadPart + u.QuadPart) / 10000.0;  // ms
    };
    double cpuStart = used(), start = Now();
    Pump(ms);
    return (used() - cpuStart) * 1000.0 / (Now() - start);  // ms per second
}

// Processor time per second of playing: the engine at each speed, a bare graph at normal speed.
void PrintSpeedCpu(HWND host)
{
    std::string clip = Clip(SPEED_CLIP);
    printf("%s (320x240, 25 fps, 300 frames, AAC sound)\n", SPEED_CLIP);
    printf("  processor time per second of playing, all threads:\n");
    for (LONG speed : SPEEDS) {
        QuorvelInit(host);
        QuorvelSetRate(25.0);
        QuorvelControl(QUORVEL_SPEED, speed);
        QuorvelSetFile(clip.c_str());
        Pump(SPEED_SETTLE_MS);
        double share = CpuShare(SPEED_MEASURE_MS);
        LONG reached = LastReport();
        QuorvelControl(QUORVEL_SPEED, 100);
        QuorvelExit();
        printf("    engine at %3ld %%%-30s %10.0f ms/s  (frame %ld)\n", speed, "", share, reached);
    }
    BareGraph *g = OpenBare(clip, host);
    RunBare(g);
    Pump(SPEED_SETTLE_MS);
    double share = CpuShare(SPEED_MEASURE_MS);
    CloseBare(g);
    printf("    bare graph at 100 %%%-30s %10.0f ms/s\n", "", share);
    fflush(stdout);
}

std::string Share(int n, int of) { return std::to_string(n) + " of " + std::to_string(of); }

}  // namespace

int main(int argc, char **argv)
{
    // --open: only the open figures, for quick runs taken in turn with another build's; of the
    // files named after it, or of the bench's own clips. --speed: only the processor time at
    // each speed.
    bool openOnly = argc > 1 && strcmp(argv[1], "--open") == 0;
    bool speedOnly = argc > 1 && strcmp(argv[1], "--speed") == 0;
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    HWND host = CreateHost();
    if (speedOnly) {
        PrintSpeedCpu(host);
        DestroyHost(host);
        CoUninitialize();
        return 0;
    }
    if (openOnly && argc > 2) {
        for (int i = 2; i < argc; i++) {
            printf("%s\n", argv[i]);
            PrintOpens(MeasureOpens(host, argv[i]));
            fflush(stdout);
        }
    }
    for (const char *name : CLIPS) {
        if (openOnly && argc > 2)
            break;
        std::string clip = Clip(name);
        OpenFigures opens = MeasureOpens(host, clip);
        if (openOnly) {
            printf("%s (320x240, 25 fps, %ld frames)\n", name, CLIP_FRAMES);
            PrintOpens(opens);
            fflush(stdout);
            continue;
        }
        Figures e = MeasureEngine(host, clip);
        Figures b = MeasureBare(host, clip);
        printf("%s (320x240, 25 fps, %ld frames)\n", name, CLIP_FRAMES);
        PrintRow("", "engine", "bare graph");
        PrintOpens(opens);
        PrintRow("open to first picture (first, in full run)", Ms(e.openMs).c_str(),
                 Ms(b.openMs).c_str());
        PrintRow("seek to picture (256)", Ms(e.seekMs).c_str(), Ms(b.seekMs).c_str());
        PrintRow("seeks showing the requested frame", Share(e.seekExact, SEEKS).c_str(),
                 Share(b.seekExact, SEEKS).c_str());
        PrintRow("step +1 (64)", Ms(e.stepMs).c_str(), Ms(b.stepMs).c_str());
        PrintRow("steps showing the requested frame", Share(e.stepExact, STEPS).c_str(),
                 Share(b.stepExact, STEPS).c_str());
        PrintRow("report interval while playing (mean)", Ms(e.reportMs).c_str(), "-");
        PrintRow("report interval while playing (worst)", Ms(e.reportMaxMs).c_str(), "-");
        PrintRow("playing: position within 1 frame of picture",
                 Share(e.playingWithinOne, PLAY_SAMPLES).c_str(),
                 Share(b.playingWithinOne, PLAY_SAMPLES).c_str());
        fflush(stdout);
    }
    if (!openOnly)
        PrintSpeedCpu(host);
    DestroyHost(host);
    CoUninitialize();
    return 0;
}
