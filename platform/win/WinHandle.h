#pragma once
// Handle table of the file and impersonation stand-ins: a HANDLE is a key into this table, so a
// stale or foreign handle is refused with ERROR_INVALID_HANDLE instead of being dereferenced.
#include <cstdint>

namespace winfile::handles {

enum class Kind { File, Find, Process, Token, Device };

void* open(Kind kind, int fd, void* object = nullptr, std::intptr_t value = 0);
// -1 when the handle is unknown or of another kind.
int fd(void* handle, Kind kind);
void* object(void* handle, Kind kind);
bool value(void* handle, Kind kind, std::intptr_t* out);
bool close(void* handle);
int count(Kind kind);

}  // namespace winfile::handles
