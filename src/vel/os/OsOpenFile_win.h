#pragma once
// The platform's file calls, each returning its result object instead of a bare status.
#include <cstdint>

#include "vel/os/OsResult_win.h"

// Shared read of an existing file.
OsOpenFileResult_win osOpenFile(const Unicode& path);
// Create or truncate, shared write.
OsOpenFileResult_win osCreateFile(const Unicode& path);
OsFileInformationResult_win osGetFileInformation(const WinHandle_win& handle);
OsReadFileResult_win osReadFile(const WinHandle_win& handle, std::uint8_t* buffer, std::int32_t bufferLength);
OsReadFileResult_win osWriteFile(const WinHandle_win& handle, const std::uint8_t* buffer,
                                 std::int32_t bufferLength);
OsReadFileResult_win osFlushFile(const WinHandle_win& handle);
OsCloseHandleResult_win osCloseHandle(WinHandle_win& handle);
