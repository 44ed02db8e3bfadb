// briselpkg: the diagnostic report. Writes the product, network and wireless sections to standard
// output and copies the product's log files into the current folder. Arguments are ignored and
// the exit status is always 0.
//
// BRISELPKG_PAUSE_MS, when set, replaces the one-second pause after each of the six wireless
// rounds (tests set it low); the control device is the socket "run/Pellodur" below the root.
#include <cstdlib>
#include <string>

#include "driver/client/FiltDeviceClient.h"
#include "platform/base/Process.h"
#include "tools/report/ReportConstants.h"
#include "tools/report/ReportSections.h"

namespace {

uint32_t RoundPause() {
    std::string text = base::environmentVariable(report::ReportConstants::PAUSE_VARIABLE);
    if (text.empty()) return report::ReportConstants::ROUND_PAUSE_MS;
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (*end || value > report::ReportConstants::ROUND_PAUSE_MS)
        return report::ReportConstants::ROUND_PAUSE_MS;
    return uint32_t(value);
}

}  // namespace

int main() {
    std::string device = FiltDeviceClient::defaultSocketPath();
    report::ReportOutput out(stdout);

    report::TriggerScans(device);
    report::PrintProductSection(out, device);
    out.flush();
    report::PrintNetworkSection(out);
    out.flush();

    report::WirelessTable table;
    report::CollectWirelessLists(table, device, RoundPause());
    table.print(out);
    out.flush();
    return 0;
}
