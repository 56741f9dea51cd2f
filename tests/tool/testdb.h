// Forwards to the shared test support (tests/support/support.h).
#pragma once

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/support.h"
