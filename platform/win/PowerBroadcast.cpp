// The lab's power broadcasts, handed to the control handler of the service or of the console run.
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/lab/Lab.h"
#include "platform/win/ControlSignals.h"
#include "platform/win/ServiceControl.h"

namespace winsvc {

namespace {

std::mutex Mutex;
LPHANDLER_FUNCTION_EX PowerHandler = nullptr;
void* PowerContext = nullptr;

bool handlerOfBroadcasts(LPHANDLER_FUNCTION_EX* handler, void** context) {
    if (signals::serviceHandler(handler, context)) return true;
    std::lock_guard<std::mutex> lock(Mutex);
    *handler = PowerHandler;
    *context = PowerContext;
    return PowerHandler != nullptr;
}

bool broadcastType(const std::string& word, DWORD* type) {
    if (word == "suspend") {
        *type = PBT_APMSUSPEND;
        return true;
    }
    if (word == "resume") {
        *type = PBT_APMRESUMEAUTOMATIC;
        return true;
    }
    char* end = nullptr;
    unsigned long number = std::strtoul(word.c_str(), &end, 0);
    if (word.empty() || *end != '\0' || word[0] == '-' || number > 0xFFFFFFFFul) return false;
    *type = static_cast<DWORD>(number);
    return true;
}

std::string power(const std::vector<std::string>& words) {
    DWORD type = 0;
    if (words.size() != 2 || !broadcastType(words[1], &type)) return "power suspend|resume|<broadcast type>";
    LPHANDLER_FUNCTION_EX handler = nullptr;
    void* context = nullptr;
    if (!handlerOfBroadcasts(&handler, &context)) return "nobody takes power broadcasts";
    lab::Lab::instance().schedule(
        0, [handler, context, type] { handler(SERVICE_CONTROL_POWEREVENT, type, nullptr, context); });
    return "";
}

}  // namespace

// The first registration of either handler adds the command.
void addPowerCommand() {
    static std::once_flag once;
    std::call_once(once, [] {
        lab::Lab::instance().addCommand(
            "power", [](const std::vector<std::string>& words, std::string*) { return power(words); });
    });
}

BOOL RegisterPowerBroadcastHandler(LPHANDLER_FUNCTION_EX handler, void* context) {
    addPowerCommand();
    std::lock_guard<std::mutex> lock(Mutex);
    PowerHandler = handler;
    PowerContext = context;
    return 1;
}

}  // namespace winsvc
