#include "vel/ipcmsghandlers/CredentialAnswer.h"

#include "runtime/lum/Log.h"
#include "vel/communication/ClientCommunication.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/exception/InvalidNetworkException.h"
#include "vel/ipcmsghandlers/AnsweredNetwork.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"

bool CredentialAnswer::reach(const Ascii& groupName, const Ascii& networkName, Configuration& configuration,
                             Network& network) {
    configuration = ConnApiEngine::configuration();
    if (configuration.isNull()) {
        logInfo(0, "No active configuration for the answer of network %s", networkName.text());
        return false;
    }
    try {
        network = AnsweredNetwork::find(configuration, groupName, networkName);
    } catch (const InvalidGroupException& e) {
        e.report();
        return false;
    } catch (const InvalidNetworkException& e) {
        e.report();
        return false;
    }
    ClientCommunication::Instance().clearCredentialRequest();
    return true;
}
