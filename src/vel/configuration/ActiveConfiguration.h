#pragma once
// The configuration in force and its files. At start it reads the administrator's signed file,
// merges the user's own networks into it and restores the saved credentials; it writes the user
// and internal files back when they change, and every 2 seconds while the configuration is not
// connected it looks for replacement files in the drop folder. Everything runs on the event-queue
// thread: the read event, the timer's expiry and the connection-API handlers.
#include <atomic>
#include <cstdint>
#include <optional>
#include <functional>

#include "vel/configuration/ActiveConfigurationSubscriberInterface.h"
#include "vel/configuration/Configuration.h"
#include "vel/configuration/ConfigurationProxy.h"
#include "vel/configuration/ConfigurationSubscriberInterface.h"
#include "vel/configuration/UserFileMerge.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"
#include "vel/timer/ThreadSafeTimerProxy.h"
#include "vel/timer/TimerSubscriber.h"

class ActiveConfigurationImpl : public ReferenceImpl,
                                public ConfigurationSubscriberInterface,
                                public TimerSubscriberInterface {
public:
    ActiveConfigurationImpl() = default;
    ~ActiveConfigurationImpl() override;

    REFERENCE_IMPL_FORWARDS

    // Makes the singleton ("Singleton == null"); the creator holds its first reference.
    static ActiveConfigurationImpl* Create();
    // The singleton with a reference for the caller ("Singleton != null").
    static ActiveConfigurationImpl* Instance();

    // Start: the files of "system", then the saved credentials, written back at once.
    void readAll();
    // The administrator file of "system" and what follows it.
    void readConfiguration();
    // True when the folder's administrator file became the configuration in force. A refused one
    // becomes "configuration_bad.xml" there. Restarts the check timer either way.
    bool readConfigurationDirectory(const char* folder);
    // The folder's administrator file checked and read, or an empty handle (logged).
    Configuration readConfigurationFile(const char* folder);
    // The same for the file's bytes, read already.
    Configuration readConfigurationText(const char* folder, const ByteArray& bytes);
    // The configuration, checked and built, is the one in force: the one before is stopped, the
    // user's networks are merged in, the subscribers told and the new one started.
    void activate(const Configuration& configuration);
    // The dropped administrator file, moved to a name of its own first and then read, checked,
    // put in force and written to "system" from those very bytes; a refused one is set aside.
    // True when it is in force. Restarts the check timer either way.
    bool takeDroppedConfiguration();
    // The folder's user file merged into the configuration in force: the groups it contributed,
    // empty when it was refused or contributed none.
    ElementVector readUserConfiguration(const char* folder);
    // The same, checked only: the merge is prepared in `merge` for its caller to run.
    ElementVector readUserConfiguration(const char* folder, UserFileMerge& merge);
    // The folder's user file read and built, on whatever thread; an empty handle when it is missing
    // or unreadable (logged), and then `unreadable` says which. `storedAs` names the file actually
    // read when the user file was moved to a private name.
    static Configuration readUserFile(const char* folder, bool* unreadable = nullptr,
                                      const char* storedAs = nullptr);
    // A user file read checked against the configuration in force and its merge prepared; the
    // file's own configuration is cleared.
    ElementVector takeUserConfiguration(Configuration user, const char* folder, UserFileMerge& merge);
    // A dropped user file read by the worker: checked, then merged, or set aside.
    void userFileRead(const Configuration& user);
    void readInternalConfiguration();
    // FileIOException when the file could not be written, or would not be read back as it is
    // meant; the file is then left as it was.
    void writeUserConfiguration();
    void writeInternalConfiguration();
    void writeXmlFile(const XmlDocument& document, const char* folder, const char* file);
    void checkForNewConfiguration();
    // The next step of a dropped user file's merge; after the last, the file is saved and the
    // drop removed.
    void continueUserMerge();
    void startCheckTimer();
    void stopCheckTimer();
    void configCheckTimerExpired(const ThreadSafeTimer& timer);
    void notifyConfigurationChanged();
    void notifyUserConfigurationChanged();
    // Shut-down: no timer, no configuration and no subscriber is left.
    void stop();

    // As a follower of the configuration in force: only its top state counts.
    void configurationEvent(std::int32_t state) override;
    void networkStateChanged(std::int32_t, const VelAdapter&, const Network&) override {}
    void configurationCredentialRequest(const Network&, const ElementVector&, std::int32_t, std::int32_t,
                                        std::int32_t, const Ascii&) override {}
    void changePasswordResult(std::int32_t, std::int32_t) override {}

    void timerExpired(const ThreadSafeTimer& timer) override { configCheckTimerExpired(timer); }

    ConfigurationProxy m_configurationProxy;
    ThreadSafeTimerProxy m_configCheckTimerProxy;
    ElementVector m_subscribers = ElementVector::create();
    // Set while a folder is read: the configuration's own state changes meanwhile are not news.
    bool m_busy = false;
    // A dropped user file merged in steps, and the private name it is read from and kept under
    // until the merge is saved.
    std::optional<UserFileMerge> m_userMerge;
    Ascii m_stagedUserFile;
    // Set when a refused user file of "system" could not be set aside: no save may replace it.
    bool m_userFileHeld = false;

    static std::atomic<ActiveConfigurationImpl*> Singleton;
    // Tests only: run when a dropped file has been checked, before it is put in force.
    static std::function<void()> DropVerifiedHook;

private:
    // The configuration held; asserts that there is one.
    Configuration held();
    // The start-up and drop paths go on after a failed save: its lines are in the log already.
    void writeInternalConfigurationLogged();
    // A user file of "system" that contributed nothing moves aside before a save can replace it.
    void keepRefusedUserFile();
    void cancelUserMerge();
    // Temporaries that a save killed half-way left in "system".
    void removeLeftTemporaries();
    // A dropped file that a stop caught under its private name goes back under the drop name.
    void resumeInterruptedDrop();
    // The dropped user file, moved to a private name, checked and merged from there in steps; a
    // refused one is set aside.
    void takeDroppedUserFile();
};

class ActiveConfiguration : public Reference {
public:
    // Makes the singleton and posts the first read to the event queue; once, at service start.
    static ActiveConfiguration create();
    static ActiveConfiguration Instance() { return ActiveConfiguration(); }
    // Binds to the singleton ("Singleton != null"); empty when there is none.
    ActiveConfiguration();

    // The configuration in force; asserts "m_usable" when there is none.
    Configuration configuration() const;
    // True when a configuration is in force.
    bool exists() const;
    void postReadConfiguration() const;
    void readAll() const { impl()->readAll(); }
    // FileIOException when the file could not be written (its lines are logged).
    void writeUserConfiguration() const { impl()->writeUserConfiguration(); }
    void writeInternalConfiguration() const { impl()->writeInternalConfiguration(); }
    void addSubscriber(ActiveConfigurationSubscriberInterface* subscriber) const;
    void removeSubscriber(ActiveConfigurationSubscriberInterface* subscriber) const;
    void stop() const { impl()->stop(); }

    ActiveConfigurationImpl* impl() const {
        return static_cast<ActiveConfigurationImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    // Takes over the reference p carries; null leaves the handle empty.
    explicit ActiveConfiguration(ActiveConfigurationImpl* p);
};
