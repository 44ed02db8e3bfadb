#pragma once

#include <string>

#include "vel/configuration/Configuration.h"
#include "vel/multithread/MessageEvent.h"

// Reads every configuration file on the event-queue thread (ActiveConfiguration::readAll).
class ReadConfigurationEventImpl : public MessageEventImpl {
public:
    void run() override;
};

// A dropped user file read and built on a worker thread, then handed to the engine.
class UserFileReadJobImpl : public MessageEventImpl {
public:
    UserFileReadJobImpl(const char* folder, const char* storedAs) : m_folder(folder), m_storedAs(storedAs) {}
    void run() override;

private:
    const char* m_folder;
    // The private name the drop was moved to, copied: the engine may forget its own meanwhile.
    std::string m_storedAs;
};

// The user file the worker built, on the engine's thread (ActiveConfigurationImpl::userFileRead).
class UserFileReadEventImpl : public MessageEventImpl {
public:
    explicit UserFileReadEventImpl(const Configuration& user) : m_user(user) {}
    // Never run (the engine stopped first): the file's configuration is let go of here.
    ~UserFileReadEventImpl() override;
    void run() override;

private:
    Configuration m_user;
    bool m_ran = false;
};

// The next step of a dropped user file's merge (ActiveConfigurationImpl::continueUserMerge).
class UserFileMergeEventImpl : public MessageEventImpl {
public:
    void run() override;
};
