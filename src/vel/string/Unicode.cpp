#include "vel/string/Unicode.h"

#include <cstring>
#include <new>

#include "runtime/lum/Assert.h"
#include "vel/string/Ascii.h"
#include "vel/string/StringConstants.h"
#include "vel/string/TextCodec.h"
#include "vel/string/WideCharOutputStream.h"

void* NormalWideCharArrayImpl::operator new(std::size_t size, std::int32_t length) {
    return ::operator new(size + (static_cast<std::size_t>(length) + 1) * sizeof(char16_t));
}

void NormalWideCharArrayImpl::operator delete(void* p) {
    ::operator delete(p);
}

void NormalWideCharArrayImpl::operator delete(void* p, std::int32_t) {
    ::operator delete(p);
}

NormalWideCharArrayImpl* NormalWideCharArrayImpl::create(std::int32_t length) {
    if (!LUM_ASSERT(0 <= length && length < UnicodeConstants::MAX_LENGTH)) return nullptr;
    return new (length) NormalWideCharArrayImpl(length);
}

NormalWideCharArrayImpl::NormalWideCharArrayImpl(std::int32_t length) : WideCharArrayImpl(length) {
    data()[length] = 0;
}

Unicode::Unicode(const Ascii& text) {
    NormalWideCharArrayImpl* impl = NormalWideCharArrayImpl::create(text.length());
    if (!impl) return;
    TextCodec::widen(text.text(), text.length(), impl->data());
    takeOver(impl);
}

Unicode::Unicode(const char* text) : Unicode(Ascii(text)) {}

Unicode::Unicode(const char16_t* text) {
    if (!LUM_ASSERT(text)) return;
    std::int64_t length = 0;
    while (length < UnicodeConstants::MAX_LENGTH && text[length]) ++length;
    if (!LUM_ASSERT_TEXT(length < UnicodeConstants::MAX_LENGTH,
                         "length.inRange(0, UnicodeConstants::MAX_LENGTH)")) {
        return;
    }
    *this = Unicode(text, static_cast<std::int32_t>(length));
}

Unicode::Unicode(const char16_t* text, std::int32_t length) {
    if (!LUM_ASSERT(text && 0 <= length)) return;
    NormalWideCharArrayImpl* impl = NormalWideCharArrayImpl::create(length);
    if (!impl) return;
    std::memcpy(impl->data(), text, static_cast<std::size_t>(length) * sizeof(char16_t));
    takeOver(impl);
}

Unicode::Unicode(const Unicode& first, const Unicode& second) {
    std::int64_t total = std::int64_t{first.length()} + second.length();
    if (!LUM_ASSERT(total < UnicodeConstants::MAX_LENGTH)) return;
    NormalWideCharArrayImpl* impl = NormalWideCharArrayImpl::create(static_cast<std::int32_t>(total));
    if (!impl) return;
    WideCharOutputStream stream(impl->data(), static_cast<std::int32_t>(total));
    stream.write(first.text(), first.length());
    stream.write(second.text(), second.length());
    LUM_ASSERT(stream.full());
    takeOver(impl);
}

void Unicode::takeOver(WideCharArrayImpl* impl) {
    if (impl) Reference::operator=(Reference(impl, Reference::TAKE_OVER));
}

bool Unicode::operator==(const Unicode& other) const {
    return length() == other.length() &&
           std::memcmp(text(), other.text(), static_cast<std::size_t>(length()) * sizeof(char16_t)) == 0;
}

Ascii Unicode::toAscii() const {
    return Ascii(*this);
}
