#include "vel/matchmaker/NicBounce.h"

#include "platform/base/Utf16.h"
#include "platform/win/Process.h"
#include "platform/win/WinFile.h"
#include "runtime/lum/Log.h"

namespace {

// The folder of the service's program with its separator; empty when the path cannot be told.
std::string serviceFolder() {
    char16_t path[winfile::MAX_PATH] = {};
    winfile::DWORD length = winfile::GetModuleFileNameW(nullptr, path, winfile::MAX_PATH);
    if (length == 0) return {};
    std::string program = base::utf16ToUtf8(std::u16string_view(path, length));
    std::size_t cut = program.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : program.substr(0, cut + 1);
}

}  // namespace

void NicBounce::restartAdapters(const std::string& names) {
    std::string program = serviceFolder() + PROGRAM;
    logInfo(0, "calling %s to restart the following adapters: %s", program.c_str(), names.c_str());
    std::u16string application = base::utf8ToUtf16(program);
    std::u16string commandLine = base::utf8ToUtf16("\"" + program + "\" " + names);
    win::STARTUPINFOW startup;
    startup.dwFlags = win::STARTF_USESHOWWINDOW;
    startup.wShowWindow = win::SW_HIDE;
    win::PROCESS_INFORMATION information;
    if (!win::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, 0, 0, nullptr,
                             nullptr, &startup, &information))
        logError(0, "CreateProcess failed (%d)\n", static_cast<int>(base::win32::GetLastError()));
}
