#pragma once
// Where the configuration files lie below the program-data folder, and how often a dropped file
// is looked for.

class ActiveConfigurationConstants {
public:
    // The files in force.
    static constexpr const char* SYSTEM_FOLDER = "system";
    // Where an administrator or a tool drops replacement files.
    static constexpr const char* DROP_FOLDER = "newConfigFiles";

    static constexpr const char* CONFIGURATION_FILE = "configuration.xml";
    static constexpr const char* USER_CONFIGURATION_FILE = "userConfiguration.xml";
    static constexpr const char* INTERNAL_CONFIGURATION_FILE = "internalConfiguration.xml";
    static constexpr const char* CONFIGURATION_BAD_FILE = "configuration_bad.xml";
    static constexpr const char* USER_CONFIGURATION_BAD_FILE = "userConfiguration_bad.xml";

    // The name the internal file gives the global networks' credentials.
    static constexpr const char* GLOBAL_GROUP_ENTRY = "globalGroup";
    // The name of the configuration the user file is written from.
    static constexpr const char* USER_CONFIGURATION_NAME = "UserConfiguration";

    static constexpr int CHECK_TIMER_SECONDS = 2;

    // Credential storage and credential type values that make a network's credentials saved.
    static constexpr int STORAGE_FOREVER = 1;
    static constexpr int CREDENTIAL_TYPE_USER = 2;
};
