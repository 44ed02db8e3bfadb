#pragma once

#include <cstdio>

// The run body of service and console mode: one instance at a time, the debug level, logging and
// the run-time layer around the engine. Returns 0 after a normal end, 1 when the instance mutex
// could not be taken or the run-time failed to start, else what runEngine returned.
int runService();

// The log level mask for a debug file: a hexadecimal number after "0x", else a decimal one, else
// every bit but 32; bit 256 is always cleared. A null file (none there) keeps the current mask.
int debugLevelFromFile(FILE* file, int currentMask);
