// The reading thread. It waits on the overlapped read of the pedal, on its stop event and on
// its window's messages (device arrival, for a pedal plugged in later). A read that fails is the
// pedal pulled out: the thread says so to the window, which releases what the pedal held, and
// looks again when the next device arrives.
#include "pedal/reader.h"

#include <dbt.h>
#include <setupapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

extern "C" {
#include <hidsdi.h>
}

namespace {

const char kWindowClass[] = "VantorelPedalReader";
const DWORD kThreadWaitMs = 5000;

// A device to read: where it is, what it is and how long its reports are.
struct PedalDevice {
    char path[MAX_PATH];
    uint16_t vendor, product;
    int reportLength;
};

// Everything the reader keeps, in one place. `name` and `held` are written by the reading
// thread and read by the dialog under `lock`; the rest belongs to the caller's thread, or to
// the reading thread while it runs.
struct PedalReaderState {
    CRITICAL_SECTION lock;
    bool lockMade;
    HANDLE thread;
    HANDLE stop;  // set: the thread ends
    HWND target;
    PedalDeviceChoice choice;
    char name[PEDAL_MODEL_NAME_SIZE];
    int held;
    // The reading thread's own.
    bool lookAgain;  // a device arrived: look for the pedal when none is read
};

PedalReaderState g_reader;

void SetStatus(const char *name, int held)
{
    EnterCriticalSection(&g_reader.lock);
    lstrcpynA(g_reader.name, name, sizeof g_reader.name);
    g_reader.held = held;
    LeaveCriticalSection(&g_reader.lock);
}

void SetHeld(int held)
{
    EnterCriticalSection(&g_reader.lock);
    g_reader.held = held;
    LeaveCriticalSection(&g_reader.lock);
}

// The test's device from the environment, when there is one.
bool TestDevice(PedalDevice *device)
{
    char text[MAX_PATH + 32];
    DWORD length = GetEnvironmentVariableA(PEDAL_TEST_DEVICE_VARIABLE, text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return false;
    unsigned vendor = 0, product = 0;
    int reportLength = 0, pathAt = 0;
    if (sscanf(text, "%4x:%4x,%d,%n", &vendor, &product, &reportLength, &pathAt) != 3 ||
        pathAt == 0)
        return false;
    lstrcpynA(device->path, text + pathAt, sizeof device->path);
    device->vendor = (uint16_t)vendor;
    device->product = (uint16_t)product;
    device->reportLength = reportLength;
    return true;
}

// Vendor, product and report length of a HID device, asked without read or write access.
bool AskDevice(PedalDevice *device)
{
    HANDLE handle = CreateFileA(device->path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof attributes;
    bool known = HidD_GetAttributes(handle, &attributes) != FALSE;
    PHIDP_PREPARSED_DATA prepared = NULL;
    HIDP_CAPS caps = {};
    known = known && HidD_GetPreparsedData(handle, &prepared) &&
            HidP_GetCaps(prepared, &caps) == HIDP_STATUS_SUCCESS;
    if (prepared)
        HidD_FreePreparsedData(prepared);
    CloseHandle(handle);
    device->vendor = attributes.VendorID;
    device->product = attributes.ProductID;
    device->reportLength = caps.InputReportByteLength;
    return known;
}

// One pedal being read.
struct Reading {
    HANDLE device;
    OVERLAPPED overlapped;
    int layout;
    int reportLength;
    int held;
    uint8_t report[PEDAL_REPORT_MOST];
};

bool StartRead(Reading *reading)
{
    ResetEvent(reading->overlapped.hEvent);
    DWORD count = 0;
    if (ReadFile(reading->device, reading->report, sizeof reading->report, &count,
                 &reading->overlapped))
        return true;  // done at once; the event is set as well
    return GetLastError() == ERROR_IO_PENDING;
}

// Reads the device when the choice reads it and it opens for reading (a pedal may show
// several HID interfaces, of which Windows keeps a keyboard's to itself).
bool TryDevice(Reading *reading, const PedalDevice &device)
{
    char name[PEDAL_MODEL_NAME_SIZE] = "";
    int layout = PedalLayoutOfDevice(g_reader.choice, device.vendor, device.product, name);
    if (layout < 0 || device.reportLength < 1 || device.reportLength > PEDAL_REPORT_MOST)
        return false;
    reading->device = CreateFileA(device.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  NULL, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, NULL);
    if (reading->device == INVALID_HANDLE_VALUE)
        return false;
    reading->layout = layout;
    reading->reportLength = device.reportLength;
    reading->held = 0;
    if (StartRead(reading)) {
        SetStatus(name, 0);
        return true;
    }
    CloseHandle(reading->device);
    reading->device = INVALID_HANDLE_VALUE;
    return false;
}

// The first HID device the choice reads, opened and its first read started.
bool OpenPedal(Reading *reading)
{
    PedalDevice device = {};
    if (TestDevice(&device))
        return TryDevice(reading, device);
    GUID hid;
    HidD_GetHidGuid(&hid);
    HDEVINFO set = SetupDiGetClassDevsA(&hid, NULL, NULL, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return false;
    bool opened = false;
    SP_DEVICE_INTERFACE_DATA item = {};
    item.cbSize = sizeof item;
    for (DWORD i = 0; !opened && SetupDiEnumDeviceInterfaces(set, NULL, &hid, i, &item); i++) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(set, &item, NULL, 0, &size, NULL);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
            continue;
        SP_DEVICE_INTERFACE_DETAIL_DATA_A *detail =
            (SP_DEVICE_INTERFACE_DETAIL_DATA_A *)malloc(size);
        if (!detail)
            break;
        detail->cbSize = sizeof *detail;
        if (SetupDiGetDeviceInterfaceDetailA(set, &item, detail, size, NULL, NULL) &&
            strlen(detail->DevicePath) < sizeof device.path) {
            lstrcpynA(device.path, detail->DevicePath, sizeof device.path);
            opened = AskDevice(&device) && TryDevice(reading, device);
        }
        free(detail);
    }
    SetupDiDestroyDeviceInfoList(set);
    return opened;
}

void ClosePedal(Reading *reading)
{
    if (reading->device == INVALID_HANDLE_VALUE)
        return;
    CancelIo(reading->device);
    DWORD count = 0;
    GetOverlappedResult(reading->device, &reading->overlapped, &count, TRUE);
    CloseHandle(reading->device);
    reading->device = INVALID_HANDLE_VALUE;
    SetStatus("", 0);
}

// A finished read: the change of the buttons posted, and the next read started. False when the
// pedal is gone.
bool OnReport(Reading *reading)
{
    DWORD count = 0;
    if (!GetOverlappedResult(reading->device, &reading->overlapped, &count, FALSE)) {
        if (GetLastError() != ERROR_MORE_DATA)  // an over-long report is skipped
            return false;
        count = 0;
    }
    int held = PedalButtonsOfReport(PedalLayouts[reading->layout], reading->report, (int)count,
                                    reading->reportLength);
    if (held >= 0 && held != reading->held) {
        reading->held = held;
        SetHeld(held);
        PostMessageA(g_reader.target, WM_PEDAL_BUTTONS, (WPARAM)held, 0);
    }
    return StartRead(reading);
}

void Unplugged(Reading *reading)
{
    ClosePedal(reading);
    PostMessageA(g_reader.target, WM_PEDAL_BUTTONS, 0, PEDAL_UNPLUGGED);
}

LRESULT CALLBACK ReaderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE &&
        (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVNODES_CHANGED)) {
        g_reader.lookAgain = true;
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeReaderWindow(void)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReaderWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);  // fails harmlessly when a previous reader registered it
    return CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                           windowClass.hInstance, NULL);
}

HDEVNOTIFY WatchArrivals(HWND window)
{
    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    HidD_GetHidGuid(&filter.dbcc_classguid);
    return RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

DWORD WINAPI ReaderThread(void *)
{
    HWND window = MakeReaderWindow();
    HDEVNOTIFY notify = window ? WatchArrivals(window) : NULL;
    Reading reading = {};
    reading.device = INVALID_HANDLE_VALUE;
    reading.overlapped.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    g_reader.lookAgain = true;
    for (;;) {
        if (g_reader.lookAgain && reading.device == INVALID_HANDLE_VALUE)
            OpenPedal(&reading);
        g_reader.lookAgain = false;
        HANDLE waits[2] = {g_reader.stop, reading.overlapped.hEvent};
        DWORD count = reading.device != INVALID_HANDLE_VALUE ? 2 : 1;
        DWORD woke = MsgWaitForMultipleObjects(count, waits, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_OBJECT_0 + 1 && count == 2) {
            if (!OnReport(&reading))
                Unplugged(&reading);
            continue;
        }
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    ClosePedal(&reading);
    CloseHandle(reading.overlapped.hEvent);
    if (notify)
        UnregisterDeviceNotification(notify);
    if (window)
        DestroyWindow(window);
    return 0;
}

}  // namespace

void StartPedalReader(HWND window, const char *deviceText)
{
    StopPedalReader();
    g_reader.choice = PedalDeviceFromText(deviceText);
    if (g_reader.choice.kind == PEDAL_DEVICE_OFF)
        return;
    g_reader.target = window;
    g_reader.stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    DWORD id = 0;
    g_reader.thread = g_reader.stop ? CreateThread(NULL, 0, ReaderThread, NULL, 0, &id) : NULL;
    if (!g_reader.thread && g_reader.stop) {
        CloseHandle(g_reader.stop);
        g_reader.stop = NULL;
    }
}

void StopPedalReader(void)
{
    if (!g_reader.lockMade) {
        InitializeCriticalSection(&g_reader.lock);
        g_reader.lockMade = true;
    }
    if (!g_reader.thread)
        return;
    SetEvent(g_reader.stop);
    WaitForSingleObject(g_reader.thread, kThreadWaitMs);
    CloseHandle(g_reader.thread);
    CloseHandle(g_reader.stop);
    g_reader.thread = NULL;
    g_reader.stop = NULL;
    // Reports posted before the thread ended may still wait in the window's queue.
    MSG msg;
    if (g_reader.target &&
        GetWindowThreadProcessId(g_reader.target, NULL) == GetCurrentThreadId())
        while (PeekMessageA(&msg, g_reader.target, WM_PEDAL_BUTTONS, WM_PEDAL_BUTTONS, PM_REMOVE)) {
        }
    SetStatus("", 0);
}

void PedalReaderStatus(char name[PEDAL_MODEL_NAME_SIZE], int *held)
{
    if (!g_reader.lockMade) {
        name[0] = '\0';
        *held = 0;
        return;
    }
    EnterCriticalSection(&g_reader.lock);
    lstrcpynA(name, g_reader.name, PEDAL_MODEL_NAME_SIZE);
    *held = g_reader.held;
    LeaveCriticalSection(&g_reader.lock);
}
