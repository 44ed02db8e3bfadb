// The private command protocol carried in requests for the binding's private OID: ownership,
// the port, the EtherType list and raw frames.
#include <cstring>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"

namespace {

using C = FiltConstants;

struct Command {
    UCHAR* bytes;
    USHORT group;
    UCHAR item;
    USHORT dataLength;
    UCHAR* data() const { return bytes + C::CMD_DATA; }
    void result(UCHAR value) const { bytes[C::CMD_RESULT] = value; }
    void setDataLength(USHORT value) const { FiltPutU16(bytes, C::CMD_DATA_LENGTH, value); }
};

// The command must fit the room it came in.
bool Frame(UCHAR* bytes, ULONG room, Command* command) {
    if (room < C::CMD_DATA) return false;
    command->bytes = bytes;
    command->group = FiltGetU16(bytes, C::CMD_GROUP);
    command->item = bytes[C::CMD_ITEM];
    command->dataLength = FiltGetU16(bytes, C::CMD_DATA_LENGTH);
    return command->dataLength <= room - C::CMD_DATA;
}

bool IsOwner(FiltBinding* binding, ULONG pid) {
    NdisAcquireSpinLock(&binding->Lock);
    bool owner = binding->OwnerPid == pid;
    NdisReleaseSpinLock(&binding->Lock);
    return owner;
}

void AnswerU32(const Command& command, ULONG value) {
    if (command.dataLength < 4) {
        command.setDataLength(0);
        command.result(C::FILT_CMD_TOO_SHORT);
        return;
    }
    FiltPutU32(command.data(), 0, value);
    command.setDataLength(4);
    command.result(C::FILT_CMD_OK);
}

UCHAR Reset(FiltBinding* binding, ULONG pid, const Command& command) {
    if (command.dataLength % 2 != 0) return C::FILT_CMD_ODD_LENGTH;
    if (!IsOwner(binding, pid)) return C::FILT_CMD_NOT_OWNER;
    bool keepOwner = false, keepPort = false, keepEtherTypes = false;
    for (USHORT i = 0; i < command.dataLength / 2; ++i) {
        USHORT feature = FiltGetU16(command.data(), 2 * i);
        keepOwner = keepOwner || feature == C::FEATURE_OWNERSHIP;
        keepPort = keepPort || feature == C::FEATURE_PORT;
        keepEtherTypes = keepEtherTypes || feature == C::FEATURE_ETHER_TYPES;
    }
    if (!keepOwner) FiltSetOwner(binding, 0);
    if (!keepPort) FiltSetPortFlag(binding, 1);
    if (!keepEtherTypes) {
        NdisAcquireSpinLock(&binding->Lock);
        binding->EtherTypeCount = 0;
        NdisReleaseSpinLock(&binding->Lock);
    }
    return C::FILT_CMD_OK;
}

UCHAR Ownership(FiltBinding* binding, ULONG pid, const Command& command) {
    if (command.dataLength < 4) return C::FILT_CMD_TOO_SHORT;
    if (command.dataLength > 4) return C::FILT_CMD_TOO_LONG;
    bool claim = FiltGetU32(command.data(), 0) != 0;
    NdisAcquireSpinLock(&binding->Lock);
    ULONG owner = binding->OwnerPid;
    // Claim and check under one hold of the lock, so that of two claimants only one wins.
    if (claim && owner == 0) binding->OwnerPid = pid;
    NdisReleaseSpinLock(&binding->Lock);
    if (claim) {
        if (owner == pid) return C::FILT_CMD_OK;
        if (owner != 0) return C::FILT_CMD_NOT_OWNER;
        FiltSendPrivateIndication(binding, C::GROUP_OWNERSHIP, 0, C::FILT_CMD_OK, &pid, 4);
        return C::FILT_CMD_OK;
    }
    if (owner != pid) return C::FILT_CMD_NOT_OWNER;
    FiltSetOwner(binding, 0);
    return C::FILT_CMD_OK;
}

UCHAR Port(FiltBinding* binding, ULONG pid, const Command& command) {
    if (!IsOwner(binding, pid)) return C::FILT_CMD_NOT_OWNER;
    if (command.dataLength > 4) return C::FILT_CMD_TOO_LONG;
    if (command.dataLength < 4) return C::FILT_CMD_TOO_SHORT;
    FiltSetPortFlag(binding, FiltGetU32(command.data(), 0) != 0 ? 1 : 0);
    return C::FILT_CMD_OK;
}

UCHAR EtherTypes(FiltBinding* binding, ULONG pid, const Command& command) {
    if (!IsOwner(binding, pid)) return C::FILT_CMD_NOT_OWNER;
    if (command.dataLength > 2 * C::MAX_ETHER_TYPES) return C::FILT_CMD_TOO_LONG;
    if (command.dataLength % 2 != 0) return C::FILT_CMD_ODD_LENGTH;
    NdisAcquireSpinLock(&binding->Lock);
    // Kept as the raw 16-bit values that frames carry at offset 12.
    std::memcpy(binding->EtherTypes, command.data(), command.dataLength);
    binding->EtherTypeCount = command.dataLength / 2;
    NdisReleaseSpinLock(&binding->Lock);
    return C::FILT_CMD_OK;
}

UCHAR RawFrame(FiltBinding* binding, ULONG pid, const Command& command) {
    if (!IsOwner(binding, pid)) return C::FILT_CMD_NOT_OWNER;
    if (command.dataLength < 20) return C::FILT_CMD_TOO_SHORT;
    NdisAcquireSpinLock(&binding->Lock);
    bool canSend = binding->LastIndicatedStatus == NDIS_STATUS_MEDIA_CONNECT && FiltBindingUsable(binding);
    NdisReleaseSpinLock(&binding->Lock);
    if (!canSend) return C::FILT_CMD_FAILED;
    return FiltSendRawFrame(binding, FiltGetU32(command.data(), 0), command.data() + 4,
                            command.dataLength - 4u);
}

}  // namespace

void FiltSetOwner(FiltBinding* binding, ULONG ownerPid) {
    NdisAcquireSpinLock(&binding->Lock);
    bool changed = binding->OwnerPid != ownerPid;
    binding->OwnerPid = ownerPid;
    NdisReleaseSpinLock(&binding->Lock);
    if (changed) FiltSendPrivateIndication(binding, C::GROUP_OWNERSHIP, 0, C::FILT_CMD_OK, &ownerPid, 4);
}

void FiltSetPortFlag(FiltBinding* binding, ULONG open) {
    NdisAcquireSpinLock(&binding->Lock);
    if (binding->PortOpen == open) {
        NdisReleaseSpinLock(&binding->Lock);
        return;
    }
    NDIS_STATUS media = open ? binding->LastIndicatedStatus : NDIS_STATUS_MEDIA_DISCONNECT;
    NdisReleaseSpinLock(&binding->Lock);
    FiltIndicateMediaUpward(binding, media);
    NdisAcquireSpinLock(&binding->Lock);
    binding->PortOpen = open;
    NdisReleaseSpinLock(&binding->Lock);
}

NDIS_STATUS FiltPrivateQuery(FiltBinding* binding, ULONG, UCHAR* bytes, ULONG room) {
    Command command;
    if (!Frame(bytes, room, &command)) return NDIS_STATUS_BUFFER_TOO_SHORT;
    if (command.item == 0 && command.group <= C::GROUP_FRAMES) {
        AnswerU32(command, 1);
    } else if (command.group == C::GROUP_OWNERSHIP && command.item == 2) {
        AnswerU32(command, binding->OwnerPid);
    } else if (command.group == C::GROUP_PORT && command.item == 1) {
        AnswerU32(command, binding->MediaConnected);
    } else if (command.group == C::GROUP_PORT && command.item == 2) {
        AnswerU32(command, binding->PortOpen);
    } else if (command.group == C::GROUP_FRAMES && command.item == 1) {
        NdisAcquireSpinLock(&binding->Lock);
        ULONG length = binding->EtherTypeCount * 2;
        if (command.dataLength < length) {
            command.result(C::FILT_CMD_TOO_SHORT);
        } else if (command.dataLength % 2 != 0) {
            command.result(C::FILT_CMD_ODD_LENGTH);
        } else {
            std::memcpy(command.data(), binding->EtherTypes, length);
            command.setDataLength(USHORT(length));
            command.result(C::FILT_CMD_OK);
        }
        NdisReleaseSpinLock(&binding->Lock);
    } else {
        command.result(C::FILT_CMD_UNSUPPORTED);
        command.setDataLength(0);
        return NDIS_STATUS_NOT_SUPPORTED;
    }
    return NDIS_STATUS_SUCCESS;
}

NDIS_STATUS FiltPrivateSet(FiltBinding* binding, ULONG callerPid, UCHAR* bytes, ULONG room) {
    Command command;
    if (!Frame(bytes, room, &command)) return NDIS_STATUS_BUFFER_TOO_SHORT;
    UCHAR result;
    if (command.group == C::GROUP_GENERAL && command.item == 1) {
        result = Reset(binding, callerPid, command);
    } else if (command.group == C::GROUP_OWNERSHIP && command.item == 1) {
        result = Ownership(binding, callerPid, command);
    } else if (command.group == C::GROUP_PORT && command.item == 2) {
        result = Port(binding, callerPid, command);
    } else if (command.group == C::GROUP_FRAMES && command.item == 1) {
        result = EtherTypes(binding, callerPid, command);
    } else if (command.group == C::GROUP_FRAMES && command.item == 2) {
        result = RawFrame(binding, callerPid, command);
    } else {
        command.result(C::FILT_CMD_UNSUPPORTED);
        return NDIS_STATUS_NOT_SUPPORTED;
    }
    command.result(result);
    return NDIS_STATUS_SUCCESS;
}
