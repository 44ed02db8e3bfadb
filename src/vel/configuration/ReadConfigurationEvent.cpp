#include "vel/configuration/ReadConfigurationEvent.h"

#include "vel/configuration/ActiveConfiguration.h"
#include "vel/multithread/EventQueue.h"

void ReadConfigurationEventImpl::run() {
    ActiveConfiguration active;
    if (!active.isNull()) active.readAll();
}

void UserFileMergeEventImpl::run() {
    if (ActiveConfigurationImpl::Singleton.load() == nullptr) return;
    ActiveConfiguration active;
    if (!active.isNull()) active.impl()->continueUserMerge();
}

void UserFileReadJobImpl::run() {
    Configuration user = ActiveConfigurationImpl::readUserFile(m_folder, nullptr, m_storedAs.c_str());
    // A stopped engine drops what is posted to it, and the built networks with it.
    if (EventQueueImpl::Singleton.load() != nullptr)
        EventQueue::Instance().post(MessageEvent(new UserFileReadEventImpl(user)));
}

UserFileReadEventImpl::~UserFileReadEventImpl() {
    if (!m_ran && !m_user.isNull()) m_user.impl()->clearReferences();
}

void UserFileReadEventImpl::run() {
    m_ran = true;
    if (ActiveConfigurationImpl::Singleton.load() == nullptr) {
        if (!m_user.isNull()) m_user.impl()->clearReferences();
        return;
    }
    ActiveConfiguration active;
    if (!active.isNull()) active.impl()->userFileRead(m_user);
}
