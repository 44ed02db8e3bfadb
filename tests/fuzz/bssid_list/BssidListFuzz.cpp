// An adapter's answer to the BSSID list query as the report prints it: the entries' fixed fields
// and every information element the decoders know, nested vendor elements included.
#include <cstdint>

#include "tools/report/BssidListDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    report::ReportOutput out;
    try {
        report::PrintBssidList(out, data, size);
    } catch (const report::BssidListException&) {
    }
    report::BssidListItemCount(data, size);
    return 0;
}
