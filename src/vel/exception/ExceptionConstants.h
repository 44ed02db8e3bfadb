#pragma once

// Internal error numbers that the further exceptions log when reported; each names one place.
class ExceptionConstants {
public:
    static constexpr int INTERNAL_ERROR_CONVERSION = 149;
    static constexpr int INTERNAL_ERROR_CREDENTIAL = 150;
    static constexpr int INTERNAL_ERROR_FILE_CREATE = 151;
    static constexpr int INTERNAL_ERROR_FILE_FLUSH = 152;
    static constexpr int INTERNAL_ERROR_XML = 155;
    static constexpr int INTERNAL_ERROR_CONNECTION_API = 193;
    static constexpr int INTERNAL_ERROR_FILE_WRITE = 206;
};

// "Internal error %d, contact software manufacturer" at error level.
void logInternalError(int number);
