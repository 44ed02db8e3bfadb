#pragma once

// What the service and the tray program must agree on to read each other's messages on the "vel"
// pipe. Both sides include this one header, so a change here reaches both ends at once. Every
// message is listed once, with its children, in docs/connapi.md.
class ConnApiConstants {
public:
    // The named pipe of the service; each end finds it below its root.
    static constexpr const char* PIPE_NAME = "vel";

    // The product's namespace: the service binds it as the default namespace of its envelopes,
    // the tray program binds it to NAMESPACE_PREFIX.
    static constexpr const char* NAMESPACE_URI = "urn:varnel:tamsel:connapi";
    static constexpr const char* NAMESPACE_PREFIX = "tamsel";

    // SOAP 1.1.
    static constexpr const char* SOAP_ENVELOPE_NAMESPACE_URI = "http://schemas.xmlsoap.org/soap/envelope/";
    static constexpr const char* SOAP_ENCODING_NAMESPACE_URI = "http://schemas.xmlsoap.org/soap/encoding/";
    static constexpr const char* SOAP_ENV_PREFIX = "SOAP-ENV";
    static constexpr const char* ENVELOPE_ELEMENT = "Envelope";
    static constexpr const char* BODY_ELEMENT = "Body";
    static constexpr const char* ENCODING_STYLE_ATTRIBUTE = "encodingStyle";

    // Fault: SOAP-ENV:Fault with faultcode, faultstring and a detail holding the request's number.
    static constexpr const char* FAULT_ELEMENT = "Fault";
    static constexpr const char* FAULT_CODE_ELEMENT = "faultcode";
    static constexpr const char* FAULT_STRING_ELEMENT = "faultstring";
    static constexpr const char* FAULT_DETAIL_ELEMENT = "detail";
    static constexpr const char* FAULT_CODE_CLIENT = "Client";
    static constexpr const char* ERROR_CODE_ELEMENT = "errorCode";
    static constexpr const char* ERROR_STRING_ELEMENT = "errorString";

    // Every message element's first child.
    static constexpr const char* SEQUENCE_NUMBER_ELEMENT = "sequenceNumber";

    // Repeated children sit under a container marked with this attribute and value.
    static constexpr const char* ARRAY_TYPE_ATTRIBUTE = "type";
    static constexpr const char* ARRAY_TYPE_VALUE = "array";

    static constexpr const char* TRUE_TEXT = "true";
    static constexpr const char* FALSE_TEXT = "false";

    // A payload of this one byte asks the service to repair: restart the adapters and stop.
    static constexpr char REPAIR_REQUEST = 'Q';

    // The errorCode of a fault.
    static constexpr int ERROR_NO_CONFIGURATION = 1;
    static constexpr int ERROR_DENIED_BY_POLICY = 2;
    // For example the named group or network exists already, or does not exist.
    static constexpr int ERROR_CANNOT_CARRY_OUT = 3;
    static constexpr int ERROR_UNSUPPORTED_OPTION = 4;
    static constexpr int ERROR_NOT_IN_AUTO_MODE = 5;
    static constexpr int ERROR_LOCATION_NOT_AVAILABLE = 6;
    static constexpr int ERROR_LOCATION = 7;
    static constexpr int ERROR_INTERNAL = 8;
    // The request's body did not read: a missing or empty child, a value outside its table.
    static constexpr int ERROR_INVALID_XML = 9;
    static constexpr int ERROR_UNKNOWN_REQUEST = 10;
    static constexpr int ERROR_NO_AUTOMATED_VPN = 11;
    static constexpr int ERROR_NO_VPN_ACTIVITY = 12;
    static constexpr int ERROR_PROFILE_CHANGE_NOT_ALLOWED = 13;
};
