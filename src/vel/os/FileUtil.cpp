#include "vel/os/FileUtil.h"

#include <string>

#include "platform/base/AtomicWrite.h"
#include "platform/win/WinFile.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LogConstants.h"
#include "vel/exception/ExceptionConstants.h"
#include "vel/os/OsOpenFile_win.h"
#include "vel/string/ByteOutputBuffer.h"
#include "vel/string/FormatBuffer.h"

namespace {

// Values need the run-time, so none is built before it at static initialisation.
Unicode separator() {
    return Unicode(u"/");
}

void logFailure(int internalError, const Ascii& text) {
    logInternalError(internalError);
    logError(0, "%s", text.text());
}

void close(WinHandle_win& handle) {
    OsCloseHandleResult_win closed = osCloseHandle(handle);
    if (closed.failed()) logFailure(FileConstants::INTERNAL_ERROR_CLOSE, closed.description());
}

// "a.xml" -> "a.xml.<pid>.<n>.tmp", beside the target so that the rename stays on one file system,
// and of its own for each write, so that two writers of one file never share a temporary file.
Unicode temporaryPath(const Unicode& path) {
    return path + Unicode(Ascii(base::temporarySuffix().c_str()));
}

bool createFolders(const Unicode& folder, const Unicode& subpath) {
    // Each level in turn, as the folder call makes one level; an existing one is fine.
    const char16_t* text = subpath.text();
    for (std::int32_t i = 0; i <= subpath.length(); ++i) {
        if (i < subpath.length() && text[i] != u'/' && text[i] != u'\\') continue;
        if (i == 0) continue;
        Unicode level = folder + Unicode(text, i);
        if (!winfile::CreateDirectoryW(level.text(), nullptr) &&
            winfile::GetLastError() != winfile::ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return true;
}

}  // namespace

Unicode programDataFolder() {
    if (serviceLogFileSpec().folderKind == LogConstants::FOLDER_PROGRAM_DATA) {
        char16_t path[winfile::MAX_PATH];
        if (winfile::SHGetFolderPathW(nullptr, winfile::CSIDL_COMMON_APPDATA | winfile::CSIDL_FLAG_CREATE,
                                      nullptr, 0, path) != winfile::S_OK) {
            return Unicode();
        }
        return Unicode(path) + separator();
    }
    char16_t module[winfile::MAX_PATH];
    winfile::DWORD length = winfile::GetModuleFileNameW(nullptr, module, winfile::MAX_PATH);
    std::int32_t cut = -1;
    for (winfile::DWORD i = 0; i < length; ++i) {
        if (module[i] == u'/' || module[i] == u'\\') cut = static_cast<std::int32_t>(i);
    }
    return cut < 0 ? Unicode() : Unicode(module, cut + 1);
}

bool fileExists(const Unicode& path) {
    return winfile::GetFileAttributesW(path.text()) != winfile::INVALID_FILE_ATTRIBUTES;
}

int deleteFile(const Unicode& path) {
    winfile::SetFileAttributesW(path.text(), winfile::FILE_ATTRIBUTE_NORMAL);
    return winfile::DeleteFileW(path.text()) ? 0 : 1;
}

int moveFile(const Unicode& existing, const Unicode& target) {
    return winfile::MoveFileW(existing.text(), target.text()) ? 0 : 1;
}

int replaceFile(const Unicode& existing, const Unicode& target) {
    return winfile::MoveFileExW(existing.text(), target.text(), winfile::MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

ByteArrayProxy readFile(const Unicode& path) {
    OsOpenFileResult_win opened = osOpenFile(path);
    if (opened.failed()) {
        if (opened.openError() == OsOpenFileResult_win::NOT_FOUND) {
            logInfo(0, "%s.", opened.description().text());
        } else {
            logFailure(FileConstants::INTERNAL_ERROR_FILE_CALL, opened.description());
        }
        return {};
    }
    WinHandle_win handle = opened.handle();
    ByteArrayProxy result;
    OsFileInformationResult_win information = osGetFileInformation(handle);
    if (information.failed()) {
        logFailure(FileConstants::INTERNAL_ERROR_FILE_CALL, information.description());
        close(handle);
        return {};
    }
    std::uint64_t size =
        std::uint64_t{information.information().nFileSizeHigh} << 32 | information.information().nFileSizeLow;
    if (size > static_cast<std::uint64_t>(FileConstants::MAX_FILE_SIZE)) {
        logInternalError(FileConstants::INTERNAL_ERROR_FILE_TOO_LARGE);
        logError(0, "%s: File too large", Ascii::fromWide(path).text());
        close(handle);
        return {};
    }
    // One byte more than the size, so that a file that grew since is noticed.
    auto expected = static_cast<std::int32_t>(size);
    ByteOutputBuffer buffer(expected + 1);
    OsReadFileResult_win read = osReadFile(handle, buffer.data(), expected + 1);
    if (read.failed()) {
        logFailure(FileConstants::INTERNAL_ERROR_FILE_CALL, read.description());
    } else if (read.bytes() != expected) {
        logInternalError(FileConstants::INTERNAL_ERROR_FILE_CHANGED_SIZE);
        logError(0, "%s: File changed size while reading", Ascii::fromWide(path).text());
    } else {
        buffer.complete(read.bytes());
        result = ByteArray(buffer);
    }
    close(handle);
    return result;
}

bool writeFile(const Unicode& path, const ByteArray& bytes) {
    Unicode temporary = temporaryPath(path);
    OsOpenFileResult_win opened = osCreateFile(temporary);
    if (opened.failed()) {
        // Named after the target: the temporary file is this function's own business.
        OsOpenFileResult_win named(OsOpenFileResult_win::WRITE, path, opened.systemError());
        named.failed();
        logFailure(FileConstants::INTERNAL_ERROR_FILE_CALL, named.description());
        return false;
    }
    WinHandle_win handle = opened.handle();
    bool ok = false;
    OsReadFileResult_win written = osWriteFile(handle, bytes.bytes(), bytes.length());
    if (written.failed()) {
        logFailure(FileConstants::INTERNAL_ERROR_FILE_CALL, written.description());
    } else if (written.bytes() < bytes.length()) {
        logInternalError(FileConstants::INTERNAL_ERROR_INCOMPLETE_WRITE);
        logError(0, "%s: Incomplete write to file", Ascii::fromWide(path).text());
    } else {
        OsReadFileResult_win flushed = osFlushFile(handle);
        if (flushed.failed()) {
            logFailure(FileConstants::INTERNAL_ERROR_FILE_CALL, flushed.description());
        } else {
            ok = true;
        }
    }
    OsCloseHandleResult_win closed = osCloseHandle(handle);
    if (closed.failed()) {
        logFailure(FileConstants::INTERNAL_ERROR_CLOSE, closed.description());
        ok = false;
    }
    if (ok && !winfile::MoveFileExW(temporary.text(), path.text(), winfile::MOVEFILE_REPLACE_EXISTING)) {
        OsReadFileResult_win moved = OsReadFileResult_win::failure(winfile::GetLastError(), "MoveFileEx");
        moved.failed();
        logFailure(FileConstants::INTERNAL_ERROR_FILE_CALL, moved.description());
        ok = false;
    }
    if (!ok) winfile::DeleteFileW(temporary.text());
    return ok;
}

Ascii privateNameFor(const char* file) {
    return Ascii((std::string(file) + base::temporarySuffix()).c_str());
}

ByteArrayProxy readProgramDataFile(const Unicode& subpath, const Unicode& name) {
    Unicode folder = programDataFolder();
    if (folder.length() == 0) return {};
    return readFile(folder + subpath + separator() + name);
}

bool writeProgramDataFile(const Unicode& subpath, const Unicode& name, const ByteArray& bytes) {
    Unicode folder = programDataFolder();
    if (folder.length() == 0) return false;
    if (!createFolders(folder, subpath)) return false;
    return writeFile(folder + subpath + separator() + name, bytes);
}

AsciiVector listFolder(const Unicode& pattern) {
    AsciiVector names;
    winfile::WIN32_FIND_DATAW data;
    winfile::HANDLE find = winfile::FindFirstFileW(pattern.text(), &data);
    if (find == winfile::INVALID_HANDLE_VALUE) return names;
    do {
        Ascii name = Ascii::fromWide(data.cFileName);
        if (name.length() > 0) names.add(name);
    } while (winfile::FindNextFileW(find, &data));
    winfile::FindClose(find);
    return names;
}

Ascii programFilesFolder() {
    char16_t path[winfile::MAX_PATH];
    if (!winfile::SHGetSpecialFolderPathW(nullptr, path, winfile::CSIDL_PROGRAM_FILES, false))
        return Ascii("");
    return Ascii::fromWide(path);
}
