#pragma once
// One static table per enumeration: rows of {value, text} ended by a row whose text is null.
// Values need not be contiguous, sorted or unique; the first matching row wins both ways.
#include <cstdint>
#include <string>

struct EnumTextRow {
    std::int32_t value;
    const char* text;
};

struct AssociationModeRow {
    std::int32_t association;
    std::int32_t encryption;
    const char* text;
};

class EnumTable {
public:
    // A miss raises ConversionException with the message, from the caller's source position.
    static const char* toText(const EnumTextRow* rows, std::int32_t value, const char* file, int line,
                              const char* miss);
    static std::int32_t toValue(const EnumTextRow* rows, const char* text, std::int32_t length,
                                const char* file, int line, const char* miss);
    static std::int32_t rowCount(const EnumTextRow* rows);
    // For log lines: a value the table lacks (a number another party chose) is shown as the number.
    static std::string textOrNumber(const char* (*toText)(std::int32_t), std::int32_t value);
};
