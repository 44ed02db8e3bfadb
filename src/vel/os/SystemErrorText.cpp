#include "vel/os/SystemErrorText.h"

#include <string>

#include "platform/win/WinFile.h"
#include "vel/string/FormatBuffer.h"

namespace {

std::string cleaned(const char* text) {
    std::string out;
    bool gap = false;
    for (const char* p = text; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c >= 0x7F) {
            gap = true;
            continue;
        }
        if (gap && !out.empty()) out += ' ';
        gap = false;
        out += static_cast<char>(c);
    }
    return out;
}

}  // namespace

Ascii systemErrorText(std::uint32_t code) {
    FormatBuffer100 number(code < 100000 ? "Windows error %ld" : "Windows error %#lx",
                           static_cast<long>(code));
    char message[1500];
    winfile::DWORD length =
        winfile::FormatMessageA(winfile::FORMAT_MESSAGE_FROM_SYSTEM | winfile::FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, message, sizeof message, nullptr);
    if (length == 0) return number.ascii();
    std::string text = cleaned(message);
    if (text.empty()) return number.ascii();
    return number.ascii() + Ascii(": ") + Ascii(text.c_str(), static_cast<std::int32_t>(text.size()));
}
