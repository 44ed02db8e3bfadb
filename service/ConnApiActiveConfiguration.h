#pragma once
// What the connection API asks of the active configuration: whether one is in force (the precheck
// of its handlers), the name of its active group, the configuration itself and the writing of the
// user's and the internal file. Installed while the engine holder holds the
// active configuration.
#include <optional>

#include "vel/configuration/ActiveConfiguration.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"

class ConnApiActiveConfiguration : public ConnApiConfigurationInterface {
public:
    ConnApiActiveConfiguration() = default;
    ~ConnApiActiveConfiguration() { uninstall(); }
    ConnApiActiveConfiguration(const ConnApiActiveConfiguration&) = delete;
    ConnApiActiveConfiguration& operator=(const ConnApiActiveConfiguration&) = delete;

    void install(const ActiveConfiguration& active);
    // Removes it, when it is the one installed, and lets the active configuration go.
    void uninstall();

    bool exists() override;
    bool activeGroupName(Ascii& name) override;
    Configuration configuration() override;
    void writeUserConfiguration() override;
    void writeInternalConfiguration() override;

private:
    std::optional<ActiveConfiguration> m_active;
};
