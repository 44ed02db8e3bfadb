#pragma once

#include "vel/multithread/MessageEvent.h"

// Reads every configuration file on the event-queue thread (ActiveConfiguration::readAll).
class ReadConfigurationEventImpl : public MessageEventImpl {
public:
    void run() override;
};

// The next step of a dropped user file's merge (ActiveConfigurationImpl::continueUserMerge).
class UserFileMergeEventImpl : public MessageEventImpl {
public:
    void run() override;
};
