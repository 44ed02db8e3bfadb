#pragma once
// The software tokens behind libSoftAPI-II: one token per user, read before use, giving its
// passcode for the right PIN and written back afterwards.
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace softtoken {

struct Token {
    std::string user;
    std::string pin;
    // At most 16 characters.
    std::string passcode = "0000000000000000";
    int type = 8;
    bool pinExpired = false;
};

class TokenLibrary {
public:
    static TokenLibrary& instance();

    void setTokens(std::vector<Token> tokens);
    // Forgets the token read and the last error.
    void reset();

    int initialize();
    int readTokenData(const char* user);
    int writeTokenData(const char* user);
    int tokenType();
    int passcode(char* out, int size, const char* pin);
    int lastIoError(char* text, int size);
    int hasPinExpired();

private:
    int ioError(int code, const std::string& text);

    std::mutex m_mutex;
    std::vector<Token> m_tokens;
    std::optional<Token> m_read;
    bool m_expired = false;
    int m_ioError = 0;
    std::string m_ioText;
};

}  // namespace softtoken
