#include <gtest/gtest.h>
#include "engine_host.h"
#include "platform/quorvel.h"
