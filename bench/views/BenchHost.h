// The views' frame stand-in, shared with their tests.
#pragma once

#include "tests/views/StubViewHost.h"

using BenchHost = views_test::StubViewHost;
