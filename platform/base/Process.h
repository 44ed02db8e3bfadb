#pragma once
// What a program asks of the system about itself: its environment, process and thread numbers,
// the machine's name and its working folder.
#include <string>

namespace base {

// The variable's value; empty when it is unset or empty.
std::string environmentVariable(const char* name);

long processId();
// The kernel's number of the calling thread, as process listings show it.
long osThreadId();

// The machine's host name; empty when it cannot be told.
std::string hostName();

// 0, or the errno.
int changeDirectory(const std::string& folder);

}  // namespace base
