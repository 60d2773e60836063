// The engine tests' fixture.
#pragma once

#include <gtest/gtest.h>

#include "engine_host.h"
#include "platform/quorvel.h"

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
