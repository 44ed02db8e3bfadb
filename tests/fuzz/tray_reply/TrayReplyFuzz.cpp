// A message from the service as the tray program reads it: classified, then given to every reader
// of a reply or event, whatever the classification says, as a confused or hostile peer could.
#include <QByteArray>
#include <QString>
#include <cstdint>

#include "gui/app/ResponseClassifier.h"
#include "gui/client/AdminPolicy.h"
#include "gui/client/CEButtons.h"
#include "gui/client/Certificate.h"
#include "gui/client/Credentials.h"
#include "gui/client/GroupItemList.h"
#include "gui/client/Mode.h"
#include "gui/client/NetworkItemList.h"
#include "gui/client/ScanResultList.h"
#include "gui/client/StateEvent.h"
#include "gui/windows/NetworkStateReader.h"
#include "tests/fuzz/FuzzEnvironment.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1000000) return 0;
    const QByteArray message(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ResponseClassifier::classifyResponse(message);

    AdminPolicy policy;
    policy.parse(message);
    LocationCapabilities capabilities;
    CEButtons::parse(message, capabilities);
    Certificate certificate;
    certificate.parse(message);
    Credentials credentials;
    credentials.parse(message);
    GroupItemList groups;
    groups.parse(message);
    QString groupName;
    QString networkName;
    groups.readGroupName(message, groupName);
    groups.readGroupAndNetwork(message, groupName, networkName);
    Mode mode;
    mode.parse(message);
    NetworkItemList networks;
    networks.parse(message);
    ScanResultList scanList;
    const int count = scanList.readScanList(message);
    if (count != 0 && count != scanList.count()) __builtin_trap();
    StateEvent event;
    readNetworkStateEvent(message, event);
    return 0;
}
