#pragma once

#include <map>
#include <string>

#include "platform/com/Com.h"

namespace com {

// Runs a registry script of the kind in-process servers carry for their registration:
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {...} = s 'Description'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Both'
//               }
//           }
//       }
//   }
//
// Registering creates every key and value (a ForceRemove key is first removed with everything
// below it, a Delete key is only removed). Unregistering removes the values it names, removes a
// ForceRemove key whole and a plain key once nothing is left below it, and keeps NoRemove keys.
// Roots: HKCR, HKLM (or their long names). Value types: s (string), d (number). In a quoted
// text '' stands for a quote; %NAME% is replaced from `replacements` and %% is a percent sign.
HRESULT RunRegistryScript(const std::string& script, bool doRegister,
                          const std::map<std::string, std::string>& replacements);

}  // namespace com
