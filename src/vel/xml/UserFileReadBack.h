#pragma once
// The user's file as the next start would read it: the text the writer made is read back with the
// file's own reader, and the groups, networks and VPN entries it gives are compared with those
// that were written. A difference means the file would lose or change what the user set up.
#include <string>

#include "vel/string/ByteArray.h"
#include "vel/xml/XmlConfigurationRecord.h"

class UserFileReadBack {
public:
    // Empty when the text gives back what was written; else what differs or why the text does not
    // read, for the log.
    static std::string difference(const XmlUserFileRecord& written, const ByteArray& text);
    // Empty when both records hold the same groups, networks and VPN entries.
    static std::string compare(const XmlUserFileRecord& written, const XmlUserFileRecord& read);
};
