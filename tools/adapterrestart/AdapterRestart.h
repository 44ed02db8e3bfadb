#pragma once

#include <cstdint>
#include <cstdio>

namespace adapterrestart {

// Restarts every adapter of the net class whose bind name occurs in `adapterList`. Returns 0 when
// the last matching adapter was restarted, the Win32 error of its failed restart, 31 when its
// component id could not be read, or 1168 when no adapter matched or the network configuration
// could not be opened.
std::uint32_t RestartMatchingAdapters(const char* adapterList);

// Restarts the first present net device that carries `hardwareId` among its hardware or
// compatible ids (without regard to case). 1168 when none does.
std::uint32_t RestartDeviceByHardwareId(const char* hardwareId);

void PrintUsage(std::FILE* out, const char* programName);

// The program: exactly one argument, else the usage text and -1.
int Main(int argc, char** argv);

}  // namespace adapterrestart
