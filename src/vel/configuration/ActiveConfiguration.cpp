#include "vel/configuration/ActiveConfiguration.h"

#include <cstring>
#include <functional>
#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LogConstants.h"
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
#include "vel/network/LogonStatus.h"
#include "vel/os/FileUtil.h"
#include "vel/reference/HandleOf.h"
#include "vel/reference/Singleton.h"
#include "vel/string/AsciiVector.h"
#include "vel/string/FormatBuffer.h"
#include "vel/timer/TimerList.h"
#include "vel/xml/UserFileReadBack.h"
#include "vel/xml/XmlMessages.h"
#include "vel/xml/XmlMaskedText.h"
#include "vel/xml/XmlSchema.h"
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

// Read whole, logged, parsed from memory. The debug log shows the document with its secrets
// masked, and only once it is one.
void parseFile(XmlDocument& document, const char* folder, const char* file, const ByteArray& bytes) {
    std::string text = textOf(bytes);
    logInfo(0, "Opening file %s/%s ...", folder, file);
    document.parseFile(text.data(), static_cast<int>(text.size()));
    if (logEnabled(LogConstants::LEVEL_DEBUG)) logDebug("%s", vel::xmlMaskedText(text).c_str());
}

// "<file>.<pid>.<n>.tmp": a name privateNameFor gave for the file.
bool isPrivateNameOf(const Ascii& name, const char* file) {
    std::size_t length = std::strlen(file);
    return std::strncmp(name.text(), file, length) == 0 && name.text()[length] == '.';
}

void logMoveFailure(const char* from, const char* to, const char* folder) {
    logError(0, "Failed to move %s file to %s file in directory %s", from, to, folder);
}

// The rejected file under its "_bad" name in the folder it was read from, over an older one.
void setAside(const char* folder, const char* file, const char* badFile) {
    if (replaceFile(pathOf(folder, file), pathOf(folder, badFile)) != 0)
        logMoveFailure(file, badFile, folder);
}

// A name for a refused user file beside the ones kept before: "_bad", then "_bad2", "_bad3", ...
std::string keptUserFileName() {
    std::string name = C::USER_CONFIGURATION_BAD_FILE;
    const std::string stem = name.substr(0, name.size() - 4);
    for (int i = 2; exists(C::SYSTEM_FOLDER, name.c_str()); ++i) name = stem + std::to_string(i) + ".xml";
    return name;
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
    resumeInterruptedDrop();
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
        activate(configuration);
    } else if (exists(folder, C::CONFIGURATION_FILE)) {
        setAside(folder, C::CONFIGURATION_FILE, C::CONFIGURATION_BAD_FILE);
    }
    stopCheckTimer();
    startCheckTimer();
    m_busy = false;
    return taken;
}

void ActiveConfigurationImpl::activate(const Configuration& configuration) {
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
}

Configuration ActiveConfigurationImpl::readConfigurationFile(const char* folder) {
    const char* file = C::CONFIGURATION_FILE;
    ByteArrayProxy read = readProgramDataFile(Unicode(folder), Unicode(file));
    if (!read.exists()) {
        FormatBuffer1024 error("Administrator Configuration (%s/%s) file not found.", folder, file);
        logError(0, INVALID, error.text());
        return {};
    }
    return readConfigurationText(folder, read.value());
}

Configuration ActiveConfigurationImpl::readConfigurationText(const char* folder, const ByteArray& bytes) {
    const char* file = C::CONFIGURATION_FILE;
    try {
        XmlDocument document;
        parseFile(document, folder, file, bytes);
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
    bool unreadable = false;
    Configuration user = readUserFile(folder, &unreadable);
    if (unreadable && std::strcmp(folder, C::SYSTEM_FOLDER) == 0) keepRefusedUserFile();
    return takeUserConfiguration(user, folder, merge);
}

Configuration ActiveConfigurationImpl::readUserFile(const char* folder, bool* unreadable, const char* storedAs) {
    const char* file = C::USER_CONFIGURATION_FILE;
    ByteArrayProxy read = readProgramDataFile(Unicode(folder), Unicode(storedAs != nullptr ? storedAs : file));
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
    if (unreadable != nullptr) *unreadable = true;
    return {};
}

ElementVector ActiveConfigurationImpl::takeUserConfiguration(Configuration user, const char* folder,
                                                             UserFileMerge& merge) {
    ElementVector contributed = ElementVector::create();
    if (user.isNull()) return contributed;
    Configuration active = held();
    bool refused = false;
    try {
        ElementVector groups = user.groups();
        if (!active.validateNames(groups))
            XmlException::raise(__FILE__, __LINE__, "Invalid user configuration due to policy.");

        // Nothing is taken over when one network is there already. The user's global networks
        // join the administrator's global group; there is no other to take them.
        for (const Reference& element : groups.snapshot()) {
            NetworkGroup userGroup = handleOf<NetworkGroup>(element.m);
            if (userGroup.isGlobal() && !active.globalGroup().exists())
                vel::xmlError(XmlMessages::NO_GLOBAL_NETWORKS, "globalNetworks");
            NetworkGroupProxy found =
                userGroup.isGlobal() ? active.globalGroup() : active.findGroup(userGroup.name());
            if (!found.exists()) continue;
            const NetworkNameIndex present(found.networkGroup());
            for (const Reference& network : userGroup.networkVector().snapshot()) {
                Ascii name = handleOf<Network>(network.m).name();
                if (!present.contains(name)) continue;
                logInfo(0, "Cannot add network \"%s\" in group \"%s\". The network already exists.",
                        name.text(), userGroup.name().text());
                user.impl()->clearReferences();
                if (std::strcmp(folder, C::SYSTEM_FOLDER) == 0) keepRefusedUserFile();
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
        refused = true;
    } catch (const ConversionException& e) {
        logError(0, INVALID, e.function().text());
        contributed.clear();
        refused = true;
    }
    // The user file's own configuration is only a carrier; its groups now live in the active one.
    if (!user.isNull()) user.impl()->clearReferences();
    if (refused && std::strcmp(folder, C::SYSTEM_FOLDER) == 0) keepRefusedUserFile();
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
        XmlCredentialsEntries entries = Xml_InternalConfiguration::Read(document.rootElement());
        InternalConfigurationCredentials::restore(held(), entries);
        // The file's own decision: the user's session outlives a restart of the service.
        if (entries.userSessionReference != 0)
            LogonStatus::restoreUserSessionReference(entries.userSessionReference);
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
    if (m_userFileHeld) {
        logError(0, "The user configuration is not saved: the refused %s/%s could not be set aside",
                 C::SYSTEM_FOLDER, C::USER_CONFIGURATION_FILE);
        FileIOException::raise(__FILE__, __LINE__, FileIOException::WRITE, Unicode("writeUserConfiguration"));
    }
    ElementVector groups = ElementVector::create();
    NetworkGroupMerge merge(groups);
    for (const Reference& element : active.groups().snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(element.m);
        // The user's global networks go into a global group of their own; the administrator's
        // global group is not the user's to keep.
        if (group.isGlobal()) {
            NetworkGroup global = NetworkGroup::create(group.name());
            global.setGlobal(true);
            for (const Reference& network : group.networkVector().snapshot())
                if (handleOf<Network>(network.m).getOrigin() == NetworkImpl::ORIGIN_USER)
                    global.addNetwork(handleOf<Network>(network.m));
            // First, as the writer writes it.
            if (global.networkVector().length() > 0) groups.insertIfAbsent(global.m, 0);
            continue;
        }
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
    // Not cleared: its groups hold the running networks of the configuration in force.
    const XmlUserFileRecord written = Xml_DistributionPackage::recordOf(user);
    XmlDocument document;
    std::string refusal;
    try {
        Xml_DistributionPackage::Write(document, written, C::USER_CONFIGURATION_NAME);
        // Replaced only by a file that the next start reads back as it was meant.
        refusal = UserFileReadBack::difference(written, document.dump());
    } catch (const XmlException& e) {
        refusal = e.function().text();
    } catch (const ConversionException& e) {
        refusal = e.function().text();
    }
    if (!refusal.empty()) {
        logError(0, "The user configuration is not saved, %s/%s is kept as it was: %s", C::SYSTEM_FOLDER,
                 C::USER_CONFIGURATION_FILE, refusal.c_str());
        FileIOException::raise(__FILE__, __LINE__, FileIOException::WRITE, Unicode("writeUserConfiguration"));
    }
    writeXmlFile(document, C::SYSTEM_FOLDER, C::USER_CONFIGURATION_FILE);
}

void ActiveConfigurationImpl::keepRefusedUserFile() {
    const std::string kept = keptUserFileName();
    if (replaceFile(pathOf(C::SYSTEM_FOLDER, C::USER_CONFIGURATION_FILE),
                    pathOf(C::SYSTEM_FOLDER, kept.c_str())) != 0) {
        logMoveFailure(C::USER_CONFIGURATION_FILE, kept.c_str(), C::SYSTEM_FOLDER);
        // Saving now would overwrite the only copy of the user's networks.
        m_userFileHeld = true;
        return;
    }
    logWarning(0, "The refused user configuration %s/%s is kept as %s/%s", C::SYSTEM_FOLDER,
               C::USER_CONFIGURATION_FILE, C::SYSTEM_FOLDER, kept.c_str());
}

void ActiveConfigurationImpl::writeInternalConfiguration() {
    if (!m_configurationProxy.exists()) return;
    XmlDocument document;
    XmlCredentialsEntries entries = InternalConfigurationCredentials::collect(held());
    entries.userSessionReference = LogonStatus::userSessionReference();
    Xml_InternalConfiguration::Write(document, entries);
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
            if (!isPrivateNameOf(name, file)) continue;
            logInfo(0, "Removing %s/%s left by an interrupted save", C::SYSTEM_FOLDER, name.text());
            deleteFile(folder + Unicode(name));
        }
    }
}

void ActiveConfigurationImpl::resumeInterruptedDrop() {
    const char* drop = C::DROP_FOLDER;
    AsciiVector names = listFolder(programDataFolder() + Unicode(drop) + Unicode("/*.tmp"));
    for (std::int32_t i = 0; i < names.length(); ++i) {
        Ascii name = names.get(i);
        for (const char* file : {C::CONFIGURATION_FILE, C::USER_CONFIGURATION_FILE}) {
            if (!isPrivateNameOf(name, file)) continue;
            // Back under the drop name, to be checked again from the start; a file dropped since
            // replaces it.
            if (moveFile(pathOf(drop, name.text()), pathOf(drop, file)) == 0) {
                logInfo(0, "Taking up %s/%s again, left by an interrupted check", drop, file);
            } else {
                deleteFile(pathOf(drop, name.text()));
            }
        }
    }
}

// --- The drop folder ---

std::function<void()> ActiveConfigurationImpl::DropVerifiedHook;

bool ActiveConfigurationImpl::takeDroppedConfiguration() {
    const char* drop = C::DROP_FOLDER;
    // Taken away from the drop name first: whatever is written there from now on is the next
    // drop, and what is verified below is what goes into "system".
    Ascii staged = privateNameFor(C::CONFIGURATION_FILE);
    if (moveFile(pathOf(drop, C::CONFIGURATION_FILE), pathOf(drop, staged.text())) != 0) {
        logMoveFailure(C::CONFIGURATION_FILE, staged.text(), drop);
        return false;
    }
    m_busy = true;
    ByteArrayProxy read = readProgramDataFile(Unicode(drop), Unicode(staged));
    Configuration configuration;
    if (read.exists()) configuration = readConfigurationText(drop, read.value());
    bool taken = !configuration.isNull();
    if (taken) {
        if (DropVerifiedHook) DropVerifiedHook();
        activate(configuration);
        // The verified bytes themselves, in one rename: the file in force is the old one or this
        // one, whole, and "system" is made when it is missing.
        if (writeProgramDataFile(Unicode(C::SYSTEM_FOLDER), Unicode(C::CONFIGURATION_FILE), read.value())) {
            deleteFile(pathOf(drop, staged.text()));
        } else {
            logError(0, "Failed to move %s file from directory %s to directory %s", C::CONFIGURATION_FILE,
                     drop, C::SYSTEM_FOLDER);
        }
    } else {
        if (replaceFile(pathOf(drop, staged.text()), pathOf(drop, C::CONFIGURATION_BAD_FILE)) != 0)
            logMoveFailure(C::CONFIGURATION_FILE, C::CONFIGURATION_BAD_FILE, drop);
    }
    stopCheckTimer();
    startCheckTimer();
    m_busy = false;
    return taken;
}

void ActiveConfigurationImpl::checkForNewConfiguration() {
    // A dropped user file being merged is finished before anything else is taken.
    if (m_userMerge) return;
    if (!ConfigurationMatchmaker::isClientEnabled()) {
        logInfo(0, "Ignore new configuration checking for disabled client");
        return;
    }
    logDebug("Checking for new configuration");
    const char* drop = C::DROP_FOLDER;
    if (exists(drop, C::CONFIGURATION_FILE) && takeDroppedConfiguration()) {
        // As at start, so that the saved credentials reach the new configuration's networks and
        // stay in the file.
        readInternalConfiguration();
        writeInternalConfigurationLogged();
    }
    if (m_configurationProxy.exists() && exists(drop, C::USER_CONFIGURATION_FILE)) takeDroppedUserFile();
}

void ActiveConfigurationImpl::takeDroppedUserFile() {
    const char* drop = C::DROP_FOLDER;
    // As the administrator's drop: a file written at the drop name during the merge is the next
    // drop, not lost with this one when the merge is done.
    Ascii staged = privateNameFor(C::USER_CONFIGURATION_FILE);
    if (moveFile(pathOf(drop, C::USER_CONFIGURATION_FILE), pathOf(drop, staged.text())) != 0) {
        logMoveFailure(C::USER_CONFIGURATION_FILE, staged.text(), drop);
        return;
    }
    m_userMerge.emplace();
    m_stagedUserFile = staged;
    // Reading and building a large file takes a while: a worker does it where there is one, and
    // the engine answers its clients meanwhile.
    if (WorkerQueueImpl::Singleton.load() != nullptr) {
        WorkerQueue::Instance().post(MessageEvent(new UserFileReadJobImpl(drop, staged.text())));
        return;
    }
    userFileRead(readUserFile(drop, nullptr, staged.text()));
}

void ActiveConfigurationImpl::userFileRead(const Configuration& user) {
    if (!m_userMerge || !m_configurationProxy.exists()) {
        // Stopped meanwhile: the drop stays under its private name for the next start.
        if (!user.isNull()) user.impl()->clearReferences();
        return;
    }
    const char* drop = C::DROP_FOLDER;
    if (takeUserConfiguration(user, drop, *m_userMerge).length() == 0) {
        m_userMerge.reset();
        setAside(drop, m_stagedUserFile.text(), C::USER_CONFIGURATION_BAD_FILE);
        m_stagedUserFile = Ascii();
        return;
    }
    if (DropVerifiedHook) DropVerifiedHook();
    continueUserMerge();
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
    const Ascii staged = m_stagedUserFile;
    m_stagedUserFile = Ascii();
    try {
        writeUserConfiguration();
        deleteFile(pathOf(C::DROP_FOLDER, staged.text()));
    } catch (const FileIOException& e) {
        // Not saved: the dropped file is all that holds its networks after the next start.
        e.report();
        setAside(C::DROP_FOLDER, staged.text(), C::USER_CONFIGURATION_BAD_FILE);
    }
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
    // Cut short, the drop stays in the folder under its private name and is taken up again at the
    // next start.
    cancelUserMerge();
    m_stagedUserFile = Ascii();
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
