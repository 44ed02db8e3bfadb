#pragma once

#include "platform/com/Com.h"
#include "platform/netcfg/NetCfg.h"

namespace bindctl {

inline constexpr com::CLSID CLSID_CBindCtl{
    0x20de2ccc, 0x9e1d, 0x4b43, {0x9a, 0x2c, 0x2b, 0xb8, 0x5b, 0x2e, 0xdb, 0xa2}};
inline constexpr com::GUID LIBID_BindCtlLib{
    0x49e0be5c, 0xfc5f, 0x4b0a, {0x94, 0x84, 0xa4, 0x9a, 0x17, 0x1e, 0x2e, 0xf3}};

class BindCtlConstants {
public:
    static constexpr int IDR_BINDCTL = 40001;
    static constexpr const char* FLAGS_KEY = "SOFTWARE\\Varnel\\BindCtl";
    static constexpr const char* FLAGS_VALUE = "BindCtlFlags";
    // Set: binding paths over virtual adapters are allowed too.
    static constexpr com::DWORD FLAG_ALLOW_VIRTUAL = 0x80000000;
    static constexpr com::DWORD SUPPORTED_NOTIFICATIONS =
        netcfg::NCN_ADD | netcfg::NCN_REMOVE | netcfg::NCN_UPDATE | netcfg::NCN_ENABLE | netcfg::NCN_DISABLE |
        netcfg::NCN_BINDING_PATH | netcfg::NCN_NET | netcfg::NCN_NETTRANS;
};

static_assert(BindCtlConstants::SUPPORTED_NOTIFICATIONS == 0x00030137);

}  // namespace bindctl
