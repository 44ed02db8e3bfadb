#include "vel/matchmaker/MatchmakerEvents.h"

#include "vel/configuration/ActiveConfiguration.h"
#include "vel/matchmaker/Matchmaker.h"

void MakeMatchesEventImpl::run() {
    MatchmakerImpl* singleton = MatchmakerImpl::Singleton.load();
    if (singleton == nullptr) return;
    Matchmaker matchmaker;
    if (!matchmaker.isNull()) matchmaker.makeMatches();
}

void HigherPriorityAdapterAvailableEventImpl::run() {
    if (MatchmakerImpl::Singleton.load() != nullptr) {
        Matchmaker matchmaker;
        if (!matchmaker.isNull()) matchmaker.impl()->reconsiderationRan();
    }
    if (ActiveConfigurationImpl::Singleton.load() == nullptr) return;
    ActiveConfiguration active;
    if (!active.isNull() && active.exists()) active.configuration().reconsiderAllConnections();
}
