// The eight exports. Every one is harmless in every state: before QuorvelInit, after
// QuorvelExit, without a file, and when called again.
#include <stdio.h>
#include <string.h>

#include "engine.h"
#include "open_trace.h"

Engine g_engine;

namespace {

// Keeps the timer procedure out while a call is under way (COM waits may pump messages).
struct Busy {
    bool was;
    Busy() : was(g_engine.busy) { g_engine.busy = true; }
    ~Busy() { g_engine.busy = was; }
};

void ForgetFile()
{
    StopTimer();
    CloseGraph();
}

BOOL OpenFile(const WCHAR *path)
{
    Engine &e = g_engine;
    char decoder[DECODER_NAME_CHARS + 1];
    strcpy(decoder, e.nextDecoder);
    e.nextDecoder[0] = 0;  // a chosen decoder applies to this file only
    LONG start = e.nextStart;
    e.nextStart = 0;
    lstrcpynW(e.path, path ? path : L"", PATH_CHARS);
    e.message[0] = 0;
    char reason[MESSAGE_CHARS];
    if (FAILED(OpenGraph(e.path, decoder, reason, sizeof reason))) {
        CloseGraph();
        ShowMessage(e.path, reason);
        // Posted: it arrives after the Player window has set "playing" for this open.
        PostNotice(ENGINE_NOTIFY_FAILED, 0);
        return FALSE;
    }
    ClearMessage();
    e.mode = MODE_PAUSED;
    // Playing starts from the picture the open waited for; its report is the open's first.
    PlayOpened(start);
    return TRUE;
}

}  // namespace

extern "C" {

BOOL WINAPI QuorvelInit(HWND player)
{
    Engine &e = g_engine;
    if (!player || !IsWindow(player))
        return FALSE;
    if (e.player == player)
        return TRUE;
    if (e.player)
        QuorvelExit();
    HRESULT hr = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    e.comStarted = SUCCEEDED(hr);  // S_FALSE too: each success is balanced in QuorvelExit
    e.player = player;
    e.mode = MODE_NO_FILE;
    e.message[0] = 0;
    if (!CreateVideoBand(player)) {
        QuorvelExit();
        return FALSE;
    }
    FitVideoBand();
    return TRUE;
}

BOOL WINAPI QuorvelExit(void)
{
    Engine &e = g_engine;
    if (!e.player)
        return TRUE;
    if (e.opening) {
        // Sent by another program while a graph is being built: the open ends first.
        e.exitPending = true;
        return TRUE;
    }
    Busy busy;
    ForgetFile();
    EndBuilder();
    DestroyVideoBand();
    if (e.comStarted)
        CoUninitialize();
    e.comStarted = false;
    e.player = NULL;
    e.nextDecoder[0] = 0;
    e.message[0] = 0;
    e.exitPending = false;  // an exit asked for while the file was closing: this one
    return TRUE;
}

BOOL WINAPI QuorvelSetRate(double frameRate)
{
    Engine &e = g_engine;
    e.setRate = frameRate;
    if (e.mode == MODE_NO_FILE)
        return TRUE;
    Busy busy;
    // The picture stays where it is; only its number changes.
    // The start of the frame on screen, so that it keeps its picture under the new number.
    MediaTime shown = (MediaTime)(e.frame * UNITS_PER_SECOND / e.rate + 0.5);
    e.rate = CountingRate(e.setRate, e.mediaRate);
    e.frameCount = FrameCount(e.duration, e.rate);
    if (e.frameCount < 1)
        e.frameCount = 1;
    if (e.mode == MODE_PLAYING)
        return TRUE;  // the next report counts at the new rate
    e.frame = ClampFrame(FrameAtTime(shown, e.rate), e.frameCount);
    SeekPaused(e.frame, true);
    Report(e.frame);
    return TRUE;
}

BOOL WINAPI QuorvelLoadFilter(const char *decoderName)
{
    snprintf(g_engine.nextDecoder, sizeof g_engine.nextDecoder, "%s",
             decoderName ? decoderName : "");
    return TRUE;
}

BOOL WINAPI QuorvelSetFile(const char *path)
{
    WCHAR wide[PATH_CHARS] = L"";
    if (path && !MultiByteToWideChar(CP_ACP, 0, path, -1, wide, PATH_CHARS))
        wide[0] = 0;  // longer than any path: "no file name"
    return QuorvelSetFileW(wide);
}

BOOL WINAPI QuorvelSetFileW(const WCHAR *path)
{
    Engine &e = g_engine;
    if (!e.player || e.opening)
        return FALSE;
    Busy busy;
    ForgetFile();
    OpenTraceMark("previous file closed");
    // While the graph is built the Player window's thread answers what other programs send it:
    // their requests find no file yet, as before the open.
    e.opening = true;
    BOOL opened = OpenFile(path);
    e.opening = false;
    if (e.exitPending) {
        e.exitPending = false;
        QuorvelExit();
        return FALSE;
    }
    if (opened)
        SpeedAfterOpen();
    return opened;
}

BOOL WINAPI QuorvelListFilter(HWND listBox)
{
    if (!listBox || !IsWindow(listBox))
        return FALSE;
    // The Decoder dialog runs on the Player window's thread, where COM is started; started
    // here too for a caller without it.
    HRESULT hr = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    ListDecoders(listBox);
    if (SUCCEEDED(hr))
        CoUninitialize();
    return TRUE;
}

BOOL WINAPI QuorvelMoveVideoWindow(void)
{
    FitVideoBand();
    return TRUE;
}

LONG WINAPI QuorvelControl(LONG request, LONG parameter)
{
    if (!g_engine.player)
        return 0;
    Busy busy;
    return Control(request, parameter);
}

}  // extern "C"
