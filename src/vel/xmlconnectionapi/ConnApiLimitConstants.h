#pragma once
// How much a client's message, and each name and text in it, may hold. The service refuses more:
// a message before it is parsed, a name or text when its request is read. The reader of the user
// file refuses the same lengths, so no name the pipe refuses can come back from a file written
// before. docs/connapi.md lists them; each is many times what the protocol's own messages use.
class ConnApiLimitConstants {
public:
    // Bytes of one received message. A client's largest request (a network with every child, its
    // names, script and VPN entry at their limits) stays under 8,000 bytes; a frame may still
    // carry up to ConnApiFrame::MAX_MESSAGE_LENGTH, which is for the service's own replies.
    static constexpr int MAX_RECEIVED_MESSAGE_LENGTH = 65536;
    // Attributes of one element: the envelope carries four namespace and encoding attributes, an
    // array one.
    static constexpr int MAX_ATTRIBUTES_PER_ELEMENT = 32;
    // Nesting of elements, the root counting 1: a request reaches 5 (envelope, body, message,
    // vpnParameters, connectionEntry), the service's own messages 7.
    static constexpr int MAX_ELEMENT_DEPTH = 16;

    // Bytes of a text, UTF-8.
    static constexpr int MAX_GROUP_NAME_LENGTH = 256;
    static constexpr int MAX_NETWORK_NAME_LENGTH = 256;
    // The length 802.11 gives an SSID.
    static constexpr int MAX_SSID_LENGTH = 32;
    static constexpr int MAX_SCRIPT_LENGTH = 4096;
    static constexpr int MAX_CONNECTION_ENTRY_LENGTH = 256;
};
