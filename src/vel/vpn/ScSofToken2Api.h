#pragma once
// The software-token library "SoftAPI-II.dll": loaded once per process, it turns a user's token PIN
// into a one-time passcode.
#include "vel/string/Ascii.h"

class ScSofToken2Api {
public:
    static constexpr const char* LIBRARY_NAME = "SoftAPI-II.dll";

    // Results of passcode().
    static constexpr int NO_LIBRARY = 0;
    static constexpr int FAILED = 2;
    static constexpr int GENERATED = 3;
    static constexpr int PIN_EXPIRED = 4;

    // The token type the service takes, a wrong PIN's code and the text buffer of an I/O error.
    static constexpr int TOKEN_TYPE = 8;
    static constexpr int INCORRECT_PIN = -13;
    static constexpr int ERROR_TEXT_SIZE = 256;

    // Loads the library, finds its entry points and initialises it; false (logged) when any step
    // fails or the library is already loaded.
    bool load();
    // Frees the library (logged).
    void unload();

    // Reads the user's token data, gets the passcode for the PIN and writes the data back.
    int passcode(const Ascii& user, const Ascii& pin, Ascii& passcode);
};
