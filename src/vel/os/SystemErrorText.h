#pragma once
#include <cstdint>

#include "vel/string/Ascii.h"

// "Windows error <code>" (hexadecimal from 100000 on), then ": " and the system's text for the
// code when it has one, with every run of unprintable characters made one blank.
Ascii systemErrorText(std::uint32_t code);
