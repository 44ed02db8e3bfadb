#pragma once
// The validity times of a certificate as the library gives them: [YY]YYMMDDhh[mm[ss]], then an
// optional fraction (ignored) and an optional zone ("Z", or +hhmm / -hhmm, turned into UTC).
#include "vel/string/Ascii.h"
#include "vel/time/Time.h"

// The UTC time of the text; undefined, after its log line, when the text is not such a time.
Time parseX509Time(const Ascii& text);
