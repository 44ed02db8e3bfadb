// Whole requests through the service's dispatch and request handlers, over the administrator's
// sample configuration as the handler tests set it up: the input is one client's messages, split
// at NUL bytes, received in order, so that a request can find what an earlier one changed. A
// broken assertion, a leak or a message the client is sent that does not parse is a finding.
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/lum/Log.h"
#include "tests/fuzz/FuzzEnvironment.h"
#include "tests/vel/ipcmsghandlers/HandlerTestSupport.h"
#include "vel/exception/XmlException.h"

namespace {

class ServiceRequests : public tamsel::test::HandlerTest {
public:
    void TestBody() override {}

    void run(const std::string& input) {
        SetUp();
        setLogLevelMask(0);
        std::size_t begin = 0;
        while (begin <= input.size()) {
            std::size_t end = input.find('\0', begin);
            if (end == std::string::npos) end = input.size();
            if (end > begin) receive(client, input.substr(begin, end - begin));
            for (const std::string& sent : tamsel::test::recorder(client).take()) {
                XmlDocument reply;
                try {
                    reply.parseMessage(sent.data(), static_cast<int>(sent.size()));
                } catch (const XmlException&) {
                    __builtin_trap();
                }
            }
            if (!failedAssertions().empty()) __builtin_trap();
            begin = end + 1;
        }
        TearDown();
        if (LumMain::leakCount() != 0) __builtin_trap();
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The handler set-up makes and ends its own run-time for each input.
    tamsel::fuzz::setUpLibraries();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1000000) return 0;
    ServiceRequests().run(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
