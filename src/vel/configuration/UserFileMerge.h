#pragma once
// A checked user file merged into the configuration in force, in the file's order, some networks
// at a time: between the steps of a large file the engine answers its clients and its stop.
#include <cstddef>
#include <vector>

#include "vel/configuration/Configuration.h"
#include "vel/configuration/NetworkGroup.h"
#include "vel/network/Network.h"
#include "vel/reference/ElementVector.h"
#include "vel/string/Ascii.h"

class UserFileMerge {
public:
    // At least this many networks a step, and a file in at most STEPS steps: each step reads the
    // groups' names again, so that what a client changed meanwhile is seen.
    static constexpr int MIN_STEP_NETWORKS = 1000;
    static constexpr int STEPS = 10;

    // The group, made in the configuration unless it has one of that name, then its networks.
    void addGroup(const NetworkGroup& userGroup);
    // The file's VPN entries, put in force once every network is merged; the file is accepted.
    void setMetaConnections(const ElementVector& entries) {
        m_metaConnections = entries;
        m_accepted = true;
    }
    bool accepted() const { return m_accepted; }

    bool pending() const { return m_next < m_items.size(); }
    bool atStart() const { return m_next == 0; }
    // One step's networks merged into the configuration; true once all are.
    bool step(const Configuration& active);
    // Every network merged at once.
    void run(const Configuration& active);
    // After the last step: the file's VPN entries in force, those without their network dropped.
    void finish(const Configuration& active);
    // A merge cut short: the networks not merged are let go of.
    void cancel();

private:
    struct Item {
        Ascii groupName;
        // Empty for the group itself.
        Network network;
    };
    int stepNetworks() const;

    std::vector<Item> m_items;
    std::size_t m_next = 0;
    int m_networks = 0;
    ElementVector m_metaConnections;
    bool m_accepted = false;
};
