#pragma once
// The matchmaker as the networks see it: started networks join their media type's list of networks
// to match, stopped ones leave it, and a network lets its adapter go back through it. The engine
// installs the matchmaker, tests install a fake. With none installed the calls go nowhere.
#include "vel/reference/ElementInterface.h"
#include "vel/reference/Installed.h"

class Network;
class VelAdapter;

class NetworkMatchmakerInterface : public ElementInterface {
public:
    virtual void insertNetwork(const Network& network) = 0;
    virtual void removeNetwork(const Network& network) = 0;
    // The adapter is free again; the matchmaker moves on to the next network...
    virtual void unmatch(const VelAdapter& adapter, const Network& network) = 0;
    // ...or tries this network first again.
    virtual void unmatchAndRetry(const VelAdapter& adapter, const Network& network) = 0;
};

using InstalledNetworkMatchmaker = InstalledObject<NetworkMatchmakerInterface>;

class NetworkMatchmaker {
public:
    // Each calls the installed matchmaker's operation of that name.
    static void insertNetwork(const Network& network);
    static void removeNetwork(const Network& network);
    static void unmatch(const VelAdapter& adapter, const Network& network);
    static void unmatchAndRetry(const VelAdapter& adapter, const Network& network);
};
