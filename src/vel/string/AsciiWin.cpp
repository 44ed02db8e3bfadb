// The UTF-8 conversion of wide texts, where the system's code-page conversion is asked for the
// size first and then fills the array.
#include <cstdint>

#include "runtime/lum/Assert.h"
#include "vel/exception/LogWindowsException.h"
#include "vel/string/Ascii.h"
#include "vel/string/StringConstants.h"
#include "vel/string/TextCodec.h"
#include "vel/string/Unicode.h"

namespace {

Ascii utf8(const char16_t* text, std::int32_t length) {
    std::int64_t lengthAfterConversion = TextCodec::toUtf8(text, length, nullptr);
    if (!LUM_ASSERT(0 <= lengthAfterConversion && lengthAfterConversion < 10000000)) return Ascii();
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(static_cast<std::int32_t>(lengthAfterConversion));
    if (!impl) return Ascii();
    TextCodec::toUtf8(text, length, reinterpret_cast<char*>(impl->data()));
    return Ascii::adopt(impl);
}

}  // namespace

Ascii Ascii::fromWide(const Unicode& text) {
    return utf8(text.text(), text.length());
}

Ascii Ascii::fromWide(const char16_t* text) {
    if (!LUM_ASSERT_TEXT(text, "ws")) return Ascii();
    std::int64_t length = 0;
    while (text[length]) ++length;
    if (length >= UnicodeConstants::MAX_LENGTH) {
        LogWindowsException::log(__FILE__, __LINE__, "WideCharToMultiByte", 122);
        return Ascii();
    }
    return utf8(text, static_cast<std::int32_t>(length));
}
