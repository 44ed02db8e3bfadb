// A message no client needs, refused before it is parsed: the real service (as bench_pipeload
// starts it) receives one frame of a megabyte holding 100,000 attributes on one element, then a
// status request; the time from the first byte sent to the status reply, beside the same status
// request alone. A third row sends a message just under the length the service reads, so that its
// attributes (7,000 on one element) are what refuses it. Medians of interleaved rounds, with the
// load average of the machine.
//   bench_oversize [ROUNDS]   (default 21)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/BenchRounds.h"
#include "bench/support/BenchService.h"
#include "bench/support/SocketIo.h"
#include "tests/system/TrayMessages.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"

namespace {

using Clock = std::chrono::steady_clock;

// An envelope of at most `length` bytes whose one request carries as many attributes as fit, and
// their count.
std::string manyAttributes(size_t length, int* count) {
    std::string tail = "/>";
    std::string element = "<tamsel:getGroupsRequest";
    const std::string head = tamsel::test::trayEnvelope("");
    for (int i = 0;; ++i) {
        std::string attribute = " a" + std::to_string(i) + "=\"\"";
        if (head.size() + element.size() + attribute.size() + tail.size() > length) {
            *count = i;
            break;
        }
        element += attribute;
    }
    return tamsel::test::trayEnvelope(element + tail);
}

// Sends the frames, then reads until the status reply: the milliseconds between.
double untilStatusReply(int fd, const std::string& frames) {
    const auto start = Clock::now();
    if (!writeAll(fd, frames.data(), frames.size())) return -1;
    std::string reply;
    do {
        if (!readFrame(fd, &reply)) return -1;
    } while (reply.find("<getServiceStateResponse>") == std::string::npos);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments meant for the Google Benchmark programs beside this one are not ours.
    const int rounds = argc > 1 && argv[1][0] != '-' ? std::atoi(argv[1]) : 21;
    BenchService service(TAMSELSVC_PATH, OFFICE_CONFIGURATION, OFFICE_LAB);
    const int fd = service.connectClient();
    int oversizeCount = 0;
    int underLengthCount = 0;
    const std::string oversize = ConnApiFrame::frame(manyAttributes(ConnApiFrame::MAX_MESSAGE_LENGTH, &oversizeCount));
    const std::string underLength = ConnApiFrame::frame(
        manyAttributes(ConnApiLimitConstants::MAX_RECEIVED_MESSAGE_LENGTH, &underLengthCount));
    std::vector<double> alone;
    std::vector<double> behindOversize;
    std::vector<double> behindAttributes;
    const std::string loadBefore = loadAverage();
    for (int round = 0; round <= rounds && fd >= 0; ++round) {
        const std::string status = ConnApiFrame::frame(tamsel::test::trayRequest("getServiceStateRequest", 2 * round));
        const std::string next =
            ConnApiFrame::frame(tamsel::test::trayRequest("getServiceStateRequest", 2 * round + 1));
        const std::string last =
            ConnApiFrame::frame(tamsel::test::trayRequest("getServiceStateRequest", 2 * round + 1));
        const double a = untilStatusReply(fd, status);
        const double b = untilStatusReply(fd, oversize + next);
        const double c = untilStatusReply(fd, underLength + last);
        // The first round warms up the configuration and the buffers.
        if (round == 0 || a < 0 || b < 0 || c < 0) continue;
        alone.push_back(a);
        behindOversize.push_back(b);
        behindAttributes.push_back(c);
    }
    std::printf("oversized message: %zu rounds, load average %s before, %s after\n", alone.size(),
                loadBefore.c_str(), loadAverage().c_str());
    std::printf("%-58s %9.2f ms\n", "status request alone (reference)", median(alone));
    const std::string oversizeRow =
        "1 MB frame of " + std::to_string(oversizeCount) + " attributes, then a status request";
    const std::string underLengthRow =
        "64 KB message of " + std::to_string(underLengthCount) + " attributes, then a status request";
    std::printf("%-58s %9.2f ms  (goal: refused in under 50 ms)\n", oversizeRow.c_str(), median(behindOversize));
    std::printf("%-58s %9.2f ms  (goal: refused in under 50 ms)\n", underLengthRow.c_str(),
                median(behindAttributes));
    return alone.empty() ? 1 : 0;
}
