#include "gui/client/ProtocolTypes.h"

#include <QMetaType>

#include "gui/client/CEButtons.h"
#include "gui/client/Certificate.h"
#include "gui/client/Credentials.h"
#include "gui/client/GroupItemList.h"
#include "gui/client/MergeItemList.h"
#include "gui/client/Mode.h"
#include "gui/client/ResponseType.h"
#include "gui/client/StateEvent.h"

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
