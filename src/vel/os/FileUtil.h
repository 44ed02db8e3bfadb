#pragma once
// File access with bounded sizes and logged failures. Nothing here throws to its caller: a
// failure is logged and becomes no value, false or a non-zero result.
#include <cstdint>

#include "vel/string/AsciiVector.h"
#include "vel/string/ByteArray.h"
#include "vel/string/Unicode.h"

class FileConstants {
public:
    // The largest file readFile takes.
    static constexpr std::int32_t MAX_FILE_SIZE = 9999999;
    static constexpr int INTERNAL_ERROR_FILE_TOO_LARGE = 156;
    static constexpr int INTERNAL_ERROR_FILE_CHANGED_SIZE = 157;
    static constexpr int INTERNAL_ERROR_INCOMPLETE_WRITE = 158;
    static constexpr int INTERNAL_ERROR_CLOSE = 166;
    static constexpr int INTERNAL_ERROR_FILE_CALL = 167;
};

// The program's data folder, ending in a separator, or empty when unknown.
Unicode programDataFolder();

bool fileExists(const Unicode& path);
// Non-zero when the delete failed.
int deleteFile(const Unicode& path);
// Non-zero when the move failed; an existing target is not replaced.
int moveFile(const Unicode& existing, const Unicode& target);
// Non-zero when the move failed. One rename over an existing target: a reader sees the old file or
// the moved one, and a failed move leaves both as they were.
int replaceFile(const Unicode& existing, const Unicode& target);

// The whole file, at most FileConstants::MAX_FILE_SIZE bytes.
ByteArrayProxy readFile(const Unicode& path);
// Replaces the file with the bytes. The bytes go to a temporary file beside it first, which is
// renamed over the target only when all of them are on disk, so a failed write leaves the old
// file whole.
bool writeFile(const Unicode& path, const ByteArray& bytes);

// A name for a file of the folder that no other writer uses: "<file>.<pid>.<n>.tmp", as the
// temporary files of writeFile are named.
Ascii privateNameFor(const char* file);

ByteArrayProxy readProgramDataFile(const Unicode& subpath, const Unicode& name);
bool writeProgramDataFile(const Unicode& subpath, const Unicode& name, const ByteArray& bytes);

// UTF-8 names of the entries that match the pattern ('*' and '?' in its last part).
AsciiVector listFolder(const Unicode& pattern);
// UTF-8; empty when unknown.
Ascii programFilesFolder();
