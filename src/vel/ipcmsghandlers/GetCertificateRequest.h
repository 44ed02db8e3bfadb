#pragma once
#include <vector>

#include "vel/ipcmsghandlers/CertificateRecord.h"
#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// Asks the user to choose a certificate for a network, from the usable ones, in list order.
class GetCertificateRequestImpl : public SoapOutgoingMessageImpl {
public:
    GetCertificateRequestImpl(const ConnApiNetwork& network, const Ascii& groupName,
                              const std::vector<CertificateRecord>& certificates)
        : m_network(network), m_groupName(groupName), m_certificates(certificates) {}

    // A certificate from a smart-card store names its card.
    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

private:
    ConnApiNetwork m_network;
    Ascii m_groupName;
    std::vector<CertificateRecord> m_certificates;
};
