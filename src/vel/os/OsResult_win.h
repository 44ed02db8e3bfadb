#pragma once
// Results of the platform's file calls. The status must be tested before the payload is read.
#include <cstdint>

#include "platform/win/WinFile.h"
#include "vel/os/WinHandle_win.h"
#include "vel/string/Ascii.h"
#include "vel/string/Unicode.h"

class OsResult_win {
public:
    enum Status { SUCCEEDED, FAILED };

    virtual ~OsResult_win() = default;

    bool succeeded() const {
        m_usuable = true;
        return m_status == SUCCEEDED;
    }
    bool failed() const { return !succeeded(); }
    std::uint32_t systemError() const { return m_systemError; }
    // What failed, followed by the system error text; for the log.
    virtual Ascii description() const = 0;

protected:
    OsResult_win(Status status, std::uint32_t systemError) : m_status(status), m_systemError(systemError) {}
    bool usable() const;

    Status m_status;
    mutable bool m_usuable = false;
    std::uint32_t m_systemError;
};

// ReadFile and WriteFile: the byte count moved.
class OsReadFileResult_win : public OsResult_win {
public:
    static OsReadFileResult_win success(std::int32_t bytes) {
        return OsReadFileResult_win(SUCCEEDED, bytes, 0);
    }
    static OsReadFileResult_win failure(std::uint32_t error, const char* function) {
        return OsReadFileResult_win(FAILED, 0, error, function);
    }

    std::int32_t bytes() const;
    Ascii description() const override;

private:
    OsReadFileResult_win(Status status, std::int32_t bytes, std::uint32_t error,
                         const char* function = "ReadFile")
        : OsResult_win(status, error), m_bytes(bytes), m_function(function) {}

    std::int32_t m_bytes;
    const char* m_function;
};

class OsFileInformationResult_win : public OsResult_win {
public:
    explicit OsFileInformationResult_win(const winfile::BY_HANDLE_FILE_INFORMATION& information)
        : OsResult_win(SUCCEEDED, 0), m_information(information) {}
    explicit OsFileInformationResult_win(std::uint32_t error)
        : OsResult_win(FAILED, error), m_information{} {}

    const winfile::BY_HANDLE_FILE_INFORMATION& information() const;
    Ascii description() const override;

private:
    winfile::BY_HANDLE_FILE_INFORMATION m_information;
};

class OsOpenFileResult_win : public OsResult_win {
public:
    enum OpenType { READ = 1, WRITE = 2 };
    enum OpenError { ACCESS_DENIED = 1, NOT_FOUND = 2, OTHER = 3 };

    OsOpenFileResult_win(OpenType type, const Unicode& path, const WinHandle_win& handle);
    OsOpenFileResult_win(OpenType type, const Unicode& path, std::uint32_t error);

    OpenType openType() const { return m_openType; }
    OpenError openError() const;
    const Unicode& path() const { return m_path; }
    WinHandle_win handle() const;
    Ascii description() const override;

private:
    OpenType m_openType;
    OpenError m_openError;
    Unicode m_path;
    WinHandle_win m_handle;
};

class OsCloseHandleResult_win : public OsResult_win {
public:
    OsCloseHandleResult_win(winfile::HANDLE handle, std::uint32_t error)
        : OsResult_win(error == 0 ? SUCCEEDED : FAILED, error), m_handle(handle) {}

    Ascii description() const override;

private:
    winfile::HANDLE m_handle;
};
