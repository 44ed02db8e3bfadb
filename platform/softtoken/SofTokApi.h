#pragma once
// The software-token library "SoftAPI-II.dll" (libSoftAPI-II.so here): it reads a user's token data,
// turns the token PIN into a one-time passcode and writes the advanced token back. The service
// looks each entry point up by name, so their types are declared beside them.
//
// 0 is success for initialisation and the token-data and passcode calls.

extern "C" {

// Token data holds one token of this type; the service takes no other.
constexpr int SOFTOK_TOKEN_TYPE_DES_SILVER = 8;
// A passcode is 16 characters and its terminator.
constexpr int SOFTOK_PASSCODE_SIZE = 17;
// GetDESSilverPasswordSofTokLib: the PIN is not the token's.
constexpr int SOFTOK_ERROR_INCORRECT_PIN = -13;
// GetDESSilverPasswordSofTokLib: the PIN has expired (HasPinExpiredSofTokLib then answers 1).
constexpr int SOFTOK_ERROR_PIN_EXPIRED = -14;
// ReadTokenDataSofTokLib, WriteTokenDataSofTokLib: the token data could not be read or written.
constexpr int SOFTOK_ERROR_IO = -20;
// GetDESSilverPasswordSofTokLib and the others: no token data read, or a buffer too small.
constexpr int SOFTOK_ERROR_NO_TOKEN = -21;
constexpr int SOFTOK_ERROR_BUFFER = -22;

int InitializeSofTokLib();
// Reads the token data of the user; after a failure GetLastIOErrorSofTokLib tells why.
int ReadTokenDataSofTokLib(const char* user);
int WriteTokenDataSofTokLib(const char* user);
// The type of the token last read.
int GetTokenTypeSofTokLib();
// The next passcode of the token last read, for its PIN, into a buffer of size bytes.
int GetDESSilverPasswordSofTokLib(char* passcode, int size, const char* pin);
// The last token-data error: its code, and its text into a buffer of size bytes.
int GetLastIOErrorSofTokLib(char* text, int size);
// Non-zero when the last passcode failed because the PIN has expired.
int HasPinExpiredSofTokLib();

using InitializeSofTokLibFunction = int (*)();
using ReadTokenDataSofTokLibFunction = int (*)(const char*);
using WriteTokenDataSofTokLibFunction = int (*)(const char*);
using GetTokenTypeSofTokLibFunction = int (*)();
using GetDESSilverPasswordSofTokLibFunction = int (*)(char*, int, const char*);
using GetLastIOErrorSofTokLibFunction = int (*)(char*, int);
using HasPinExpiredSofTokLibFunction = int (*)();
}
