#include "vel/enumtostring/EnumTable.h"

#include "vel/exception/ConversionException.h"
#include "vel/string/TextCodec.h"

const char* EnumTable::toText(const EnumTextRow* rows, std::int32_t value, const char* file, int line,
                              const char* miss) {
    for (const EnumTextRow* row = rows; row->text; ++row) {
        if (row->value == value) return row->text;
    }
    ConversionException::raise(file, line, miss);
}

std::string EnumTable::textOrNumber(const char* (*toText)(std::int32_t), std::int32_t value) {
    try {
        return toText(value);
    } catch (const ConversionException&) {
        return std::to_string(value);
    }
}

std::int32_t EnumTable::toValue(const EnumTextRow* rows, const char* text, std::int32_t length,
                                const char* file, int line, const char* miss) {
    for (const EnumTextRow* row = rows; row->text; ++row) {
        if (TextCodec::equal(row->text, -1, text, length)) return row->value;
    }
    ConversionException::raise(file, line, miss);
}

std::int32_t EnumTable::rowCount(const EnumTextRow* rows) {
    std::int32_t n = 0;
    while (rows[n].text) ++n;
    return n;
}
