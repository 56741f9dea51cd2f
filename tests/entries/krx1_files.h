// Forwards to the shared test support (tests/support/support.h).
#pragma once

#include "support/support.h"
