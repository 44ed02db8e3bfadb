// Raw frames from user mode. The packets that carry frames to the lower adapter belong to the
// frame path, which this driver does not have yet: until it does, no frame leaves and the caller
// is told that its frame was not sent.
#include "driver/Filt.h"
#include "driver/FiltInterface.h"

UCHAR FiltSendRawFrame(FiltBinding*, ULONG, const UCHAR*, ULONG) {
    return FiltConstants::FILT_CMD_FAILED;
}
