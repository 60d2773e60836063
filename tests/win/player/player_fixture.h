// The real Player window (real template, controls and skin) over the recording fake engine and
// key hook, started and ended as the program does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "player/player.h"
#include "tests/fakes/fake_log.h"

// Pumps the thread's queue as the main loop does until done() holds or the deadline passes.
bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs = 5000);
void PumpPending(void);

std::string IniText(void);
// The keys last handed to the key hook to keep back, as a sorted set: a disabled key (0) is
// no key.
std::vector<DWORD> KeptKeys(void);
void WriteIni(const char *section, const char *key, const char *value);

class PlayerWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void Start(const char *commandLine = "");
    // Ends the window as closing it does; returns the quit message's exit code (-1: none).
    int Close();
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    int PlayCheck() const;
    std::vector<std::string> Calls(const std::string &prefix) const;
    // Opens path as a drop or command line does: buffer, posted WM_APP_OPENFILE, pumped.
    void Open(const char *path);

    HWND window_ = NULL;
};
