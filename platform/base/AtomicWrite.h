#pragma once
#include <string>
#include <string_view>

namespace base {

// Replaces the file at `path` with `contents` so that a reader sees the old file or the new one,
// never a part: a temporary file of a name unique to this call is written in the same folder,
// synced and renamed over the target. 0 on success, else the errno; a failure leaves no
// temporary file behind and the target as it was. The mode applies to a file made anew (less the
// umask). Fails on demand as "writeFileAtomically".
int writeFileAtomically(const std::string& path, std::string_view contents, unsigned mode = 0644);

// A temporary name for `path`, unique to this call: "<path>.<pid>.<counter>.tmp".
std::string temporaryNameFor(const std::string& path);
// The part after the path, for callers that build the name themselves.
std::string temporarySuffix();

}  // namespace base
