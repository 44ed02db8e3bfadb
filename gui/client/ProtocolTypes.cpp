#include "ProtocolTypes.h"

#include <QMetaType>

#include "CEButtons.h"
#include "Certificate.h"
#include "Credentials.h"
#include "GroupItemList.h"
#include "MergeItemList.h"
#include "Mode.h"
#include "ResponseType.h"
#include "StateEvent.h"

void registerProtocolTypes() {
    qRegisterMetaType<NetworkItem>("NetworkItem");
    qRegisterMetaType<NetworkItemList>("NetworkItemList");
    qRegisterMetaType<GroupItem>("GroupItem");
    qRegisterMetaType<GroupItemList>("GroupItemList");
    qRegisterMetaType<MergeItem>("MergeItem");
    qRegisterMetaType<MergeItemList>("MergeItemList");
    qRegisterMetaType<MergeItemList*>("MergeItemList*");
    qRegisterMetaType<StateEvent>("StateEvent");
    qRegisterMetaType<Credentials>("Credentials");
    qRegisterMetaType<Certificate>("Certificate");
    qRegisterMetaType<CertificateEntry>("CertificateEntry");
    qRegisterMetaType<Mode>("Mode");
    qRegisterMetaType<LocationCapabilities>("LocationCapabilities");
    qRegisterMetaType<ScanEntry>("ScanEntry");
    qRegisterMetaType<ResponseType>("ResponseType");
}
