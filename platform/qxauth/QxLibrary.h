#pragma once
// Inside the authentication library stand-in: what its source files share. The library serves
// from the lab (platform/lab/Lab.h): qxInit acquires it, qxExit releases it, and every callback
// goes out on the lab thread through a gate that closes with qxExit.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/lab/LabWorld.h"
#include "platform/qxauth/qxAuth.h"

namespace qxauth {

// Between qxInit and qxExit.
bool initialized();

// Sends a global event with a copy of the data on the lab thread, unless qxExit comes first.
void sendGlobalEvent(int kind, std::vector<uint8_t> data);

// A line of the library's own log at a QX_LOG_* level, to the log callback when that level is on.
void log(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The lab adapter of a symbolic name (the adapter's `name`), or null; call under the lab's lock.
const lab::Element* adapterOf(const char* portName);
// What the adapter calls itself: its description, else a text made of its medium and name, so that
// every adapter shows under a name of its own wherever one is asked for.
std::string descriptionOf(const lab::Element& adapter);

// Forgets what the IP functions remember of every adapter (qxInit starts afresh).
void resetIp();
// At qxExit: every reconnect waiting on the lab clock goes with a failure, and what the IP
// functions remember is forgotten.
void stopIp();

// Where a machine's DHCP client keeps its lease (QxTcpipParameters.cpp): the adapter's TCP/IP
// parameters in the registry, filled from the lab's answer (its <dhcp> element) and emptied of the
// lease on release. A registry that cannot be written leaves the answer as it was.
void keepDhcpLease(const std::string& adapterName, const lab::Element& dhcp);
void releaseDhcpLease(const std::string& adapterName);

// The EAP methods whose qxEap...Init succeeded since qxInit (EAP types: 4, 6, 13, 17, 21, 25, 26, 43).
bool eapMethodReady(int eapType);

// The values behind credential handles (identity, password, PIN, pre-shared key, PAC).
struct HandleValue {
    int kind = 0;
    std::vector<uint8_t> bytes;   // the identity, password, PIN, key (PSK: the 32-byte master key)
    std::vector<uint8_t> opaque;  // a PAC's opaque part
};
// A new handle of the value's kind; 0 when no number is free.
QX_HANDLE makeHandle(HandleValue value);
// False for 0, an unknown or destroyed handle, or one of another kind.
bool handleValue(QX_HANDLE handle, int kind, HandleValue* value);
bool dropHandle(QX_HANDLE handle, int kind);
// "password#3", or "0" for no handle, as the calls record writes handles.
std::string handleText(QX_HANDLE handle);
// A handle passed by address: "&password#3", or "NULL" for no address.
std::string handleReference(const QX_HANDLE* handle);

// Smart cards (QxSmartCards.cpp): the run/lab "card" command, the list of inserted cards sent again
// when it changed (once qxSmartCardInit has run), and their end with qxExit.
void startCardCommand();
void smartCardsChanged();
void stopSmartCards();

// Certificates and stores (QxCertificates.cpp), for the EAP conversations and the server checks.
// The DER of a certificate handle, whether its private key was loaded and its chain as loaded (the
// certificate first); false for a handle that is not a live certificate handle.
bool certificateValue(QX_HANDLE certificate, std::vector<uint8_t>* der, bool* keyLoaded,
                      std::vector<std::vector<uint8_t>>* chain);
// The DERs of what a store handle holds now (a user's store: only to a thread wearing a user token).
bool storeValue(QX_HANDLE store, std::vector<std::vector<uint8_t>>* ders);
// The chain of a certificate (DER) over a pool of DERs: the certificate, then each issuer found in
// the pool, up to a self-signed one; empty when the DER is not a certificate.
std::vector<std::vector<uint8_t>> chainOf(const std::vector<uint8_t>& der,
                                          const std::vector<std::vector<uint8_t>>& pool);
// A certificate handle over a DER (a server's certificate); 0 when it is not a certificate.
QX_HANDLE makeCertificateHandle(const std::vector<uint8_t>& der);
// Copies a text and its NUL into a caller's buffer of *length bytes; QX_ERR_BUFFER_TOO_SMALL, with
// the text's length in *length, when they do not fit.
int copyText(const std::string& text, char* buffer, int* length);
// At qxExit: every store and certificate handle ends, and the cards' PIN counts with them.
void stopCertificates();

}  // namespace qxauth
