#include "vel/configuration/ActiveConfiguration.h"

#include <cstring>
#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/configuration/ActiveConfigurationConstants.h"
#include "vel/configuration/ConfigurationMatchmaker.h"
#include "vel/configuration/InternalConfigurationCredentials.h"
#include "vel/configuration/NetworkGroup.h"
#include "vel/configuration/NetworkNameIndex.h"
#include "vel/configuration/ReadConfigurationEvent.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/FileIOException.h"
#include "vel/exception/XmlException.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/WorkerQueue.h"
#include "vel/os/FileUtil.h"
#include "vel/reference/HandleOf.h"
#include "vel/reference/Singleton.h"
#include "vel/string/AsciiVector.h"
#include "vel/string/FormatBuffer.h"
#include "vel/timer/TimerList.h"
#include "vel/xml/Xml_Configuration.h"
#include "vel/xml/Xml_DistributionPackage.h"
#include "vel/xml/Xml_InternalConfiguration.h"

using C = ActiveConfigurationConstants;

std::atomic<ActiveConfigurationImpl*> ActiveConfigurationImpl::Singleton{nullptr};

namespace {

constexpr const char* INVALID = "The configuration is invalid and will be ignored. Error: %s";

Unicode pathOf(const char* folder, const char* file) {
    return programDataFolder() + Unicode(folder) + Unicode("/") + Unicode(file);
}

bool exists(const char* folder, const char* file) {
    return fileExists(pathOf(folder, file));
}

// The file's text up to its first NUL: a file saved with its buffer's terminating byte reads the
// same as one saved without it.
std::string textOf(const ByteArray& bytes) {
    const char* text = bytes.text();
    return std::string(text, strnlen(text, static_cast<std::size_t>(bytes.length())));
}

// Read whole, logged, parsed from memory.
void parseFile(XmlDocument& document, const char* folder, const char* file, const ByteArray& bytes) {
    std::string text = textOf(bytes);
    logInfo(0, "Opening file %s/%s ...", folder, file);
    logDebug("%s", text.c_str());
    document.parse(text.data(), static_cast<int>(text.size()));
}

void logMoveFailure(const char* from, const char* to, const char* folder) {
    logError(0, "Failed to move %s file to %s file in directory %s", from, to, folder);
}

// The rejected file under its "_bad" name in the folder it was read from, over an older one.
void setAside(const char* folder, const char* file, const char* badFile) {
    if (replaceFile(pathOf(folder, file), pathOf(folder, badFile)) != 0)
        logMoveFailure(file, badFile, folder);
}

}  // namespace

ActiveConfigurationImpl::~ActiveConfigurationImpl() {
    forgetSingleton(Singleton, this);
}

ActiveConfigurationImpl* ActiveConfigurationImpl::Create() {
    return createSingleton(Singleton);
}

ActiveConfigurationImpl* ActiveConfigurationImpl::Instance() {
    return bindSingleton(Singleton);
}

Configuration ActiveConfigurationImpl::held() {
    if (!LUM_ASSERT_TEXT(m_configurationProxy.exists(), "m_configurationProxy.exists()")) return {};
    return m_configurationProxy.configuration();
}

// --- Reading ---

void ActiveConfigurationImpl::readAll() {
    removeLeftTemporaries();
    readConfiguration();
    readInternalConfiguration();
    writeInternalConfigurationLogged();
}

void ActiveConfigurationImpl::readConfiguration() {
    readConfigurationDirectory(C::SYSTEM_FOLDER);
}

bool ActiveConfigurationImpl::readConfigurationDirectory(const char* folder) {
    m_busy = true;
    Configuration configuration = readConfigurationFile(folder);
    bool taken = !configuration.isNull();
    if (taken) {
        if (m_configurationProxy.exists()) {
            Configuration previous = m_configurationProxy.configuration();
            previous.unsubscribe(this);
            previous.stop();
            // Its networks and VPN machines let go of it, so nothing keeps it alive.
            previous.impl()->clearReferences();
        }
        m_configurationProxy.setConfiguration(configuration);
        readUserConfiguration(C::SYSTEM_FOLDER);
        notifyConfigurationChanged();
        configuration.subscribe(this);
        configuration.start();
    } else if (exists(folder, C::CONFIGURATION_FILE)) {
        setAside(folder, C::CONFIGURATION_FILE, C::CONFIGURATION_BAD_FILE);
    }
    stopCheckTimer();
    startCheckTimer();
    m_busy = false;
    return taken;
}

Configuration ActiveConfigurationImpl::readConfigurationFile(const char* folder) {
    const char* file = C::CONFIGURATION_FILE;
    ByteArrayProxy read = readProgramDataFile(Unicode(folder), Unicode(file));
    if (!read.exists()) {
        FormatBuffer1024 error("Administrator Configuration (%s/%s) file not found.", folder, file);
        logError(0, INVALID, error.text());
        return {};
    }
    try {
        XmlDocument document;
        parseFile(document, folder, file, read.value());
        if (!document.verifySignature())
            XmlException::raise(__FILE__, __LINE__, "Unable to verify signature.");
        return Xml_Configuration::readAdministratorFile(document.rootElement());
    } catch (const XmlException& e) {
        logError(0, INVALID, e.function().text());
    } catch (const ConversionException& e) {
        logError(0, INVALID, e.function().text());
    }
    return {};
}

ElementVector ActiveConfigurationImpl::readUserConfiguration(const char* folder) {
    UserFileMerge merge;
    ElementVector contributed = readUserConfiguration(folder, merge);
    if (merge.accepted()) {
        merge.run(held());
        merge.finish(held());
    }
    return contributed;
}

ElementVector ActiveConfigurationImpl::readUserConfiguration(const char* folder, UserFileMerge& merge) {
    if (held().isNull()) return ElementVector::create();
    return takeUserConfiguration(readUserFile(folder), folder, merge);
}

Configuration ActiveConfigurationImpl::readUserFile(const char* folder) {
    const char* file = C::USER_CONFIGURATION_FILE;
    ByteArrayProxy read = readProgramDataFile(Unicode(folder), Unicode(file));
    if (!read.exists()) {
        FormatBuffer1024 error(
            "User Configuration (%s/%s) file not found - only user configuration will be ignored.", folder,
            file);
        logWarning(0, INVALID, error.text());
        return {};
    }
    try {
        XmlDocument document;
        parseFile(document, folder, file, read.value());
        return Xml_DistributionPackage::readUserFile(document.rootElement());
    } catch (const XmlException& e) {
        logError(0, INVALID, e.function().text());
    } catch (const ConversionException& e) {
        logError(0, INVALID, e.function().text());
    }
    return {};
}

ElementVector ActiveConfigurationImpl::takeUserConfiguration(Configuration user, const char* folder,
                                                             UserFileMerge& merge) {
    ElementVector contributed = ElementVector::create();
    if (user.isNull()) return contributed;
    Configuration active = held();
    try {
        ElementVector groups = user.groups();
        if (!active.validateNames(groups))
            XmlException::raise(__FILE__, __LINE__, "Invalid user configuration due to policy.");

        // Nothing is taken over when one network is there already.
        for (const Reference& element : groups.snapshot()) {
            NetworkGroup userGroup = handleOf<NetworkGroup>(element.m);
            NetworkGroupProxy found = active.findGroup(userGroup.name());
            if (!found.exists()) continue;
            const NetworkNameIndex present(found.networkGroup());
            for (const Reference& network : userGroup.networkVector().snapshot()) {
                Ascii name = handleOf<Network>(network.m).name();
                if (!present.contains(name)) continue;
                logInfo(0, "Cannot add network \"%s\" in group \"%s\". The network already exists.",
                        name.text(), userGroup.name().text());
                user.impl()->clearReferences();
                return contributed;
            }
        }
        // A dropped file without groups changes nothing, its VPN entries included: it is set aside
        // as refused, and what it held must not stay in force.
        if (groups.length() == 0 && std::strcmp(folder, C::SYSTEM_FOLDER) != 0) {
            user.impl()->clearReferences();
            return contributed;
        }

        for (const Reference& element : groups.snapshot()) {
            merge.addGroup(handleOf<NetworkGroup>(element.m));
            contributed.add(element.m);
        }
        merge.setMetaConnections(user.vpnManager().metaConnections());
    } catch (const XmlException& e) {
        logError(0, INVALID, e.function().text());
        contributed.clear();
    } catch (const ConversionException& e) {
        logError(0, INVALID, e.function().text());
        contributed.clear();
    }
    // The user file's own configuration is only a carrier; its groups now live in the active one.
    if (!user.isNull()) user.impl()->clearReferences();
    return contributed;
}

void ActiveConfigurationImpl::readInternalConfiguration() {
    if (!m_configurationProxy.exists()) return;
    const char* folder = C::SYSTEM_FOLDER;
    const char* file = C::INTERNAL_CONFIGURATION_FILE;
    ByteArrayProxy read = readProgramDataFile(Unicode(folder), Unicode(file));
    if (!read.exists()) {
        logWarning(0,
                   "Internal Configuration (%s/%s) file not found - you might need to re-enter credentials "
                   "if required.",
                   folder, file);
        return;
    }
    try {
        XmlDocument document;
        parseFile(document, folder, file, read.value());
        InternalConfigurationCredentials::restore(held(),
                                                  Xml_InternalConfiguration::Read(document.rootElement()));
    } catch (const XmlException& e) {
        logError(0, INVALID, e.function().text());
    } catch (const ConversionException& e) {
        logError(0, INVALID, e.function().text());
    }
}

// --- Writing ---

void ActiveConfigurationImpl::writeUserConfiguration() {
    Configuration active = held();
    if (active.isNull()) return;
    ElementVector groups = ElementVector::create();
    NetworkGroupMerge merge(groups);
    for (const Reference& element : active.groups().snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(element.m);
        // A group the user made and left empty survives; administrator networks are never written.
        if (group.networkVector().length() == 0) {
            groups.add(group.m);
            continue;
        }
        for (const Reference& network : group.networkVector().snapshot()) {
            Network candidate = handleOf<Network>(network.m);
            if (candidate.getOrigin() == NetworkImpl::ORIGIN_USER)
                merge.add(group.name(), candidate);
        }
    }
    Configuration user = Configuration::create(C::USER_CONFIGURATION_NAME);
    user.setGroups(groups);
    user.vpnManager().setMetaConnections(active.metaConnections());
    XmlDocument document;
    Xml_DistributionPackage::Write(document, Xml_DistributionPackage::recordOf(user),
                                   C::USER_CONFIGURATION_NAME);
    // Not cleared: its groups hold the running networks of the configuration in force.
    writeXmlFile(document, C::SYSTEM_FOLDER, C::USER_CONFIGURATION_FILE);
}

void ActiveConfigurationImpl::writeInternalConfiguration() {
    if (!m_configurationProxy.exists()) return;
    XmlDocument document;
    Xml_InternalConfiguration::Write(document, InternalConfigurationCredentials::collect(held()));
    writeXmlFile(document, C::SYSTEM_FOLDER, C::INTERNAL_CONFIGURATION_FILE);
}

void ActiveConfigurationImpl::writeXmlFile(const XmlDocument& document, const char* folder,
                                           const char* file) {
    // Written without a terminating NUL; a reader takes a file with or without one.
    if (writeProgramDataFile(Unicode(folder), Unicode(file), document.dump())) return;
    logError(0, INVALID, "Failed to write file");
    logError(0, "Failed to write file: %s/%s", folder, file);
    FileIOException::raise(__FILE__, __LINE__, FileIOException::WRITE, Unicode("writeXmlFile"));
}

void ActiveConfigurationImpl::writeUserConfigurationLogged() {
    try {
        writeUserConfiguration();
    } catch (const FileIOException& e) {
        e.report();
    }
}

void ActiveConfigurationImpl::writeInternalConfigurationLogged() {
    try {
        writeInternalConfiguration();
    } catch (const FileIOException& e) {
        e.report();
    }
}

void ActiveConfigurationImpl::removeLeftTemporaries() {
    Unicode folder = programDataFolder() + Unicode(C::SYSTEM_FOLDER) + Unicode("/");
    AsciiVector names = listFolder(folder + Unicode("*.tmp"));
    for (std::int32_t i = 0; i < names.length(); ++i) {
        Ascii name = names.get(i);
        for (const char* file :
             {C::CONFIGURATION_FILE, C::USER_CONFIGURATION_FILE, C::INTERNAL_CONFIGURATION_FILE}) {
            std::size_t length = std::strlen(file);
            if (std::strncmp(name.text(), file, length) != 0 || name.text()[length] != '.') continue;
            logInfo(0, "Removing %s/%s left by an interrupted save", C::SYSTEM_FOLDER, name.text());
            deleteFile(folder + Unicode(name));
        }
    }
}

// --- The drop folder ---

void ActiveConfigurationImpl::checkForNewConfiguration() {
    // A dropped user file being merged is finished before anything else is taken.
    if (m_userMerge) return;
    if (!ConfigurationMatchmaker::isClientEnabled()) {
        logInfo(0, "Ignore new configuration checking for disabled client");
        return;
    }
    logDebug("Checking for new configuration");
    const char* drop = C::DROP_FOLDER;
    if (exists(drop, C::CONFIGURATION_FILE) && readConfigurationDirectory(drop)) {
        // One rename: the file in force is the old one or the new one, whole, whatever happens.
        if (replaceFile(pathOf(drop, C::CONFIGURATION_FILE),
                        pathOf(C::SYSTEM_FOLDER, C::CONFIGURATION_FILE)) != 0) {
            logError(0, "Failed to move %s file from directory %s to directory %s", C::CONFIGURATION_FILE,
                     drop, C::SYSTEM_FOLDER);
        }
        // As at start, so that the saved credentials reach the new configuration's networks and
        // stay in the file.
        readInternalConfiguration();
        writeInternalConfigurationLogged();
    }
    if (m_configurationProxy.exists() && exists(drop, C::USER_CONFIGURATION_FILE)) {
        m_userMerge.emplace();
        // Reading and building a large file takes a while: a worker does it where there is one, and
        // the engine answers its clients meanwhile.
        if (WorkerQueueImpl::Singleton.load() != nullptr) {
            WorkerQueue::Instance().post(MessageEvent(new UserFileReadJobImpl(drop)));
            return;
        }
        userFileRead(readUserFile(drop));
    }
}

void ActiveConfigurationImpl::userFileRead(const Configuration& user) {
    if (!m_userMerge || !m_configurationProxy.exists()) {
        // Stopped meanwhile: the drop stays for the next start.
        if (!user.isNull()) user.impl()->clearReferences();
        return;
    }
    const char* drop = C::DROP_FOLDER;
    if (takeUserConfiguration(user, drop, *m_userMerge).length() == 0) {
        m_userMerge.reset();
        setAside(drop, C::USER_CONFIGURATION_FILE, C::USER_CONFIGURATION_BAD_FILE);
    } else {
        continueUserMerge();
    }
}

void ActiveConfigurationImpl::continueUserMerge() {
    if (!m_userMerge) return;
    if (!m_configurationProxy.exists()) {
        cancelUserMerge();
        return;
    }
    Configuration active = held();
    if (m_userMerge->pending()) {
        const bool first = m_userMerge->atStart();
        // The next step waits behind whatever came meanwhile: clients' requests, a stop. A file
        // merged in several steps is saved in a step of its own.
        if (!m_userMerge->step(active) || !first) {
            EventQueue::Instance().post(MessageEvent(new UserFileMergeEventImpl));
            return;
        }
    }
    m_userMerge->finish(active);
    m_userMerge.reset();
    writeUserConfigurationLogged();
    deleteFile(pathOf(C::DROP_FOLDER, C::USER_CONFIGURATION_FILE));
    notifyUserConfigurationChanged();
}

void ActiveConfigurationImpl::cancelUserMerge() {
    // Cut short, the drop stays in the folder and is taken at the next start.
    if (m_userMerge) m_userMerge->cancel();
    m_userMerge.reset();
}

void ActiveConfigurationImpl::startCheckTimer() {
    LUM_ASSERT_TEXT(!m_configCheckTimerProxy.exists(), "!m_configCheckTimerProxy.exists()");
    m_configCheckTimerProxy = TimerList::Instance().startTimer(C::CHECK_TIMER_SECONDS, this);
}

void ActiveConfigurationImpl::stopCheckTimer() {
    if (!m_configCheckTimerProxy.exists()) return;
    TimerList::Instance().cancelTimer(m_configCheckTimerProxy.threadSafeTimer());
    m_configCheckTimerProxy.clear();
}

void ActiveConfigurationImpl::configCheckTimerExpired(const ThreadSafeTimer& timer) {
    if (!LUM_ASSERT_TEXT(m_configCheckTimerProxy.exists(), "m_configCheckTimerProxy.exists()")) return;
    LUM_ASSERT_TEXT(timer == m_configCheckTimerProxy.threadSafeTimer(),
                    "timer == m_configCheckTimerProxy.threadSafeTimer()");
    checkForNewConfiguration();
    stopCheckTimer();
    startCheckTimer();
}

void ActiveConfigurationImpl::configurationEvent(std::int32_t state) {
    if (m_busy) return;
    if (state == Configuration::CONNECTED) {
        stopCheckTimer();
        return;
    }
    checkForNewConfiguration();
    if (!m_configCheckTimerProxy.exists()) startCheckTimer();
}

// --- Followers ---

void ActiveConfigurationImpl::notifyConfigurationChanged() {
    for (const Reference& subscriber : m_subscribers.snapshot())
        static_cast<ActiveConfigurationSubscriberInterface*>(subscriber.m)->activeConfigurationChanged();
}

void ActiveConfigurationImpl::notifyUserConfigurationChanged() {
    for (const Reference& subscriber : m_subscribers.snapshot())
        static_cast<ActiveConfigurationSubscriberInterface*>(subscriber.m)->userConfigurationChanged();
}

void ActiveConfigurationImpl::stop() {
    stopCheckTimer();
    cancelUserMerge();
    if (m_configurationProxy.exists()) {
        Configuration configuration = m_configurationProxy.configuration();
        configuration.unsubscribe(this);
        configuration.stop();
        configuration.impl()->clearReferences();
    }
    m_subscribers.clear();
    m_configurationProxy.clear();
}

// --- Handle ---

ActiveConfiguration ActiveConfiguration::create() {
    ActiveConfiguration created(ActiveConfigurationImpl::Create());
    if (!created.isNull()) EventQueue::Instance().post(MessageEvent(new ReadConfigurationEventImpl));
    return created;
}

ActiveConfiguration::ActiveConfiguration() : ActiveConfiguration(ActiveConfigurationImpl::Instance()) {}

ActiveConfiguration::ActiveConfiguration(ActiveConfigurationImpl* p) {
    if (p != nullptr) m = static_cast<ReferenceImpl*>(p);
}

Configuration ActiveConfiguration::configuration() const {
    ConfigurationProxy proxy = impl()->m_configurationProxy;
    if (!LUM_ASSERT_TEXT(proxy.exists(), "m_usable")) return {};
    return proxy.configuration();
}

bool ActiveConfiguration::exists() const {
    return impl()->m_configurationProxy.exists();
}

void ActiveConfiguration::postReadConfiguration() const {
    EventQueue::Instance().post(MessageEvent(new ReadConfigurationEventImpl));
}

void ActiveConfiguration::addSubscriber(ActiveConfigurationSubscriberInterface* subscriber) const {
    impl()->m_subscribers.add(subscriber);
}

void ActiveConfiguration::removeSubscriber(ActiveConfigurationSubscriberInterface* subscriber) const {
    impl()->m_subscribers.remove(subscriber);
}
