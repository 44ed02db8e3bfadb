#pragma once
// What the connection API asks of the matchmaker: the radio and client switches, the repair, and
// the adapters it holds (each as the connection API's view of it). Installed while the engine
// holder holds the matchmaker.
#include <optional>
#include <vector>

#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/matchmaker/Matchmaker.h"

class ConnApiMatchmaker : public ConnApiMatchmakerInterface {
public:
    ConnApiMatchmaker() = default;
    ~ConnApiMatchmaker() { uninstall(); }
    ConnApiMatchmaker(const ConnApiMatchmaker&) = delete;
    ConnApiMatchmaker& operator=(const ConnApiMatchmaker&) = delete;

    void install(const Matchmaker& matchmaker);
    // Removes it, when it is the one installed, and lets the matchmaker go.
    void uninstall();

    bool isRadioOn() override { return m_matchmaker->isRadioOn(); }
    void resetAdapters() override { m_matchmaker->resetAdapters(); }
    void turnOffRadio() override { m_matchmaker->turnOffRadio(); }
    void turnOnRadio() override { m_matchmaker->turnOnRadio(); }
    void disableClient() override { m_matchmaker->disableClient(); }
    void enableClient() override { m_matchmaker->enableClient(); }
    bool isClientEnabled() override { return m_matchmaker->isClientEnabled(); }
    std::vector<ConnApiAdapter> adapters() override;
    ConnApiAdapter adapterOf(const Network& network) override;

private:
    std::optional<Matchmaker> m_matchmaker;
};
