// The finished program from outside, on the same clips, beside a bare DirectShow graph where one
// makes sense. Prints one table; asserts nothing.
//   tools/wine-run --prefix build/wineprefix build/bin/program_bench.exe
#include <windows.h>
#include <psapi.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bare_graph.h"
#include "platform/quorvel.h"
#include "resources/resource.h"
#include "support.h"


namespace {

const int SAMPLES = 20;
const int HOTKEY_PRESSES = 20;

struct Clock {
    LARGE_INTEGER start, frequency;
    Clock()
    {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
    }
    double Ms() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    }
};

struct Figure {
    std::string name, value, reference;
};
std::vector<Figure> Table;

void Add(const std::string &name, const std::string &value, const std::string &reference = "")
{
    Table.push_back({name, value, reference});
}

std::string Format(const char *format, double a, double b = 0)
{
    char text[96];
    snprintf(text, sizeof text, format, a, b);
    return text;
}

double CpuMs(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return (k.QuadPart + u.QuadPart) / 10000.0;
}

void PumpFor(DWORD ms)
{
    e2e::WaitFor([] { return false; }, ms);
}

int PausedFrame(e2e::Player &player, int rate)
{
    SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_PAUSE, 0);
    return player.WaitForPaused(TimecodeFormat{rate, false});
}

// Locates and steps, each timed from the request to the requested picture.
void MeasurePositioning(e2e::Player &player, const char *kind, int rate, int frames)
{
    PausedFrame(player, rate);
    double locateMs = 0, stepMs = 0;
    int locateExact = 0, stepExact = 0;
    for (int i = 0; i < SAMPLES; i++) {
        int target = (i * 37 + 5) % (frames - 2);
        LPARAM packed = (LPARAM)((target / rate / 60) << 16 | (target / rate % 60) << 8 | target % rate);
        Clock clock;
        SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_LOCATE, packed);
        bool shown = e2e::WaitFor([&] { return player.PictureFrame() == target; }, e2e::SETTLE_DEADLINE_MS);
        locateMs += clock.Ms();
        locateExact += shown && player.WaitForPaused(TimecodeFormat{rate, false}) == target;

        Clock step;
        PostMessageA(player.Window(), WM_KEYDOWN, VK_RIGHT, 0x014D0001);
        shown = e2e::WaitFor([&] { return player.PictureFrame() == target + 1; }, e2e::SETTLE_DEADLINE_MS);
        stepMs += step.Ms();
        stepExact += shown && player.WaitForPaused(TimecodeFormat{rate, false}) == target + 1;
    }
    Add(std::string("locate (256) to picture, ") + kind, Format("%.0f ms", locateMs / SAMPLES));
    Add(std::string("arrow step to picture, ") + kind, Format("%.0f ms", stepMs / SAMPLES));
    Add(std::string("locates showing the frame asked for, ") + kind,
        Format("%.0f of %.0f", locateExact, SAMPLES));
    Add(std::string("steps showing the frame asked for, ") + kind,
        Format("%.0f of %.0f", stepExact, SAMPLES));
}

void MeasureReports(e2e::Player &player)
{
    SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_LOCATE, 0);
    SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_PLAY, 0);
    std::string last = player.Display();
    Clock clock;
    int changes = 0;
    double worst = 0, previous = 0;
    while (clock.Ms() < 2000) {
        std::string now = player.Display();
        if (now != last) {
            double at = clock.Ms();
            if (changes > 0 && at - previous > worst)
                worst = at - previous;
            previous = at;
            last = now;
            changes++;
        }
        Sleep(1);
    }
    Add("display change interval while playing (mean, worst)",
        changes > 1 ? Format("%.0f ms, %.0f ms", previous / changes, worst) : "no change");
}

// Mean, median and worst of a set of figures in milliseconds.
std::string Spread(std::vector<double> ms)
{
    double sum = 0;
    for (double m : ms)
        sum += m;
    std::sort(ms.begin(), ms.end());
    return Format("%.0f ms, %.0f ms", sum / ms.size(), ms[ms.size() / 2]) +
           Format(", %.0f ms", ms.back());
}

// From the F12 key-down to the last typed key, two ways. Handed over: the input queue's time of
// the last key the notes window got, against a tap of Shift just before F12 (the queue keeps
// times in milliseconds; the press itself is kept from the notes window). Shown: the whole
// timecode in the notes window's text, read every 10 ms or so, which adds the time that window
// takes to take in and draw each character.
void MeasureHotKey(e2e::Player &player, int rate)
{
    e2e::Notes notes;
    if (!notes.Start(520, 100))
        return;
    std::vector<double> handedMs, shownMs;
    int exact = 0;
    SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_LOCATE, 0);
    SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_PLAY, 0);
    for (int i = 0; i < HOTKEY_PRESSES; i++) {
        notes.Clear();
        notes.Activate();
        int picture = player.PictureFrame();
        e2e::PressKey(VK_SHIFT);
        Clock clock;
        e2e::PressKey(VK_F12);
        if (!e2e::WaitFor([&] { return notes.Text().size() >= 12; }, e2e::TYPED_DEADLINE_MS))
            continue;
        shownMs.push_back(clock.Ms());
        exact += e2e::FrameOfTimecode(notes.Text().substr(0, 11), rate) == picture;
        PumpFor(150);
        std::vector<DWORD> times = notes.KeyTimes();
        if (times.size() > 2)
            handedMs.push_back((double)(times.back() - times.front()));
    }
    if (!handedMs.empty())
        Add("F12 press to the last typed key handed over (mean, median, worst)", Spread(handedMs));
    if (!shownMs.empty()) {
        Add("F12 press to the whole timecode shown in the notes (mean, median, worst)",
            Spread(shownMs));
        Add("F12 presses while playing typing the frame on screen",
            Format("%.0f of %.0f", exact, (double)shownMs.size()));
    }
}

void MeasureCpu(e2e::Player &player, const std::string &clip, HWND host)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, player.Pid());
    SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_LOCATE, 0);
    SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_PLAY, 0);
    double before = CpuMs(process);
    PumpFor(3000);
    double player3s = CpuMs(process) - before;
    SendMessageA(player.Window(), WM_REMOTE_CONTROL, REMOTE_PAUSE, 0);
    PROCESS_MEMORY_COUNTERS memory = {};
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    CloseHandle(process);

    std::string reference = "-";
    if (BareGraph *bare = OpenBare(clip, host)) {
        double start = CpuMs(GetCurrentProcess());
        RunBare(bare);
        PumpFor(3000);
        reference = Format("%.0f ms", (CpuMs(GetCurrentProcess()) - start) / 3);
        CloseBare(bare);
    }
    Add("CPU time per second of playback", Format("%.0f ms", player3s / 3), reference);
    Add("player's working set after playing", Format("%.1f MB", memory.WorkingSetSize / 1048576.0));
}

}  // namespace

int main()
{
    struct ClipKind {
        const char *file, *kind;
        int rate, frames;
    } kinds[] = {
        {"intra25.avi", "intra-only AVI 25 fps", 25, 100},
        {"h264-30.mp4", "H.264 MP4 30 fps", 30, 120},
    };
    HWND host = CreateWindowA("STATIC", "bare graph", WS_POPUP | WS_VISIBLE, 700, 500, 320, 240,
                              NULL, NULL, GetModuleHandleA(NULL), NULL);
    for (const ClipKind &k : kinds) {
        e2e::WriteSettings(e2e::SettingsText(k.rate == 25 ? "25" : "30"));
        e2e::Player player;
        Clock clock;
        if (!player.Start("\"" + e2e::Clip(k.file) + "\"")) {
            printf("the player did not start on %s\n", k.file);
            continue;
        }
        double window = clock.Ms();
        e2e::WaitFor([&] { return !player.Display().empty(); }, e2e::START_DEADLINE_MS);
        double report = clock.Ms();
        e2e::WaitFor([&] { return player.PictureFrame() >= 0; }, e2e::START_DEADLINE_MS);
        double picture = clock.Ms();
        Add(std::string("start to window, first report, first picture, ") + k.kind,
            Format("%.0f ms, %.0f ms", window, report) + Format(", %.0f ms", picture));
        MeasurePositioning(player, k.kind, k.rate, k.frames);
        if (k.rate == 25) {
            MeasureReports(player);
            MeasureHotKey(player, k.rate);
            MeasureCpu(player, e2e::Clip(k.file), host);
        }
        PostMessageA(player.Window(), WM_CLOSE, 0, 0);
        player.WaitForExit(e2e::EXIT_DEADLINE_MS);
    }
    DestroyWindow(host);
    e2e::DeleteSettings();

    printf("\n%-62s %-20s %s\n", "Vantorel, from outside", "figure", "bare DirectShow graph");
    for (const Figure &f : Table)
        printf("%-62s %-20s %s\n", f.name.c_str(), f.value.c_str(), f.reference.c_str());
    printf("\nEngine figures beside a bare graph: build/bin/quorvel_bench.exe\n");
    return 0;
}
