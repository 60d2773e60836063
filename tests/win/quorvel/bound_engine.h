// The engine tests' fixture.
#pragma once

#include <gtest/gtest.h>

#include "engine_host.h"
#include "platform/quorvel.h"

// The longest a report may take to come, and the tone the clips with sound play, recorded for
// this long to hear it.
const DWORD REPORT_DEADLINE_MS = 3000;
const double TONE_HZ = 440, TONE_SHARE = 0.03;
const int RECORD_MS = 500;

// Each test gets a fresh host window with the engine bound to it, counting at 25.
template <class Base = ::testing::Test> class BoundEngine : public Base {
protected:
    HWND host = NULL;
    void SetUp() override
    {
        host = CreateHost();
        ASSERT_TRUE(QuorvelInit(host));
        QuorvelSetRate(25.0);
    }
    void TearDown() override
    {
        QuorvelExit();
        DestroyHost(host);
    }
};
