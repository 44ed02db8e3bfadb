#pragma once
// An administrator file for tests that run the service: one group "Office" holding the networks
// given as XML, under the policy and connection settings a test asks for. The caller signs it.
#include <string>

namespace tamsel::test {

struct AdministratorFile {
    std::string associationModes = "<openNoEncryption/>";
    std::string eapMethods = "<eapPeap/><eapTls/><eapMschapv2/>";
    std::string connectionAtLogon = "<attemptConnectionAfterUserLogon/>";
    std::string media = "<wired/>";

    std::string text(const std::string& networks) const {
        return R"(<?xml version="1.0" encoding="UTF-8"?>
<configuration major_version="5" minor_version="1" development_version="1">
  <networkPolicy>
    <allowedAssociationModes>)" +
               associationModes + R"(</allowedAssociationModes>
    <allowedEapMethods>)" +
               eapMethods + R"(</allowedEapMethods>
  </networkPolicy>
  <networks>
    <group>
      <groupName>Office</groupName>
      <allowUserToSeeScanlist>true</allowUserToSeeScanlist>
)" + networks +
               R"(    </group>
  </networks>
  <connectionSettings>
    <connectionBehaviorAtLogon>)" +
               connectionAtLogon + R"(</connectionBehaviorAtLogon>
    <validateWpaHandshake>true</validateWpaHandshake>
  </connectionSettings>
  <userControlPolicy>
    <allowedMedia>)" +
               media + R"(</allowedMedia>
    <allowVpn>false</allowVpn>
    <allowRunScriptAfterConnect>false</allowRunScriptAfterConnect>
  </userControlPolicy>
</configuration>
)";
    }
};

}  // namespace tamsel::test
