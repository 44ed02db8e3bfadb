#include "platform/softtoken/TokenLibrary.h"

#include <cstring>
#include <utility>

#include "platform/softtoken/SofTokApi.h"

namespace softtoken {

TokenLibrary& TokenLibrary::instance() {
    static TokenLibrary library;
    return library;
}

void TokenLibrary::setTokens(std::vector<Token> tokens) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tokens = std::move(tokens);
}

void TokenLibrary::reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_read.reset();
    m_expired = false;
    m_ioError = 0;
    m_ioText.clear();
}

int TokenLibrary::initialize() {
    return 0;
}

int TokenLibrary::readTokenData(const char* user) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_read.reset();
    std::string name = user ? user : "";
    for (const Token& token : m_tokens) {
        if (token.user == name) {
            m_read = token;
            m_ioError = 0;
            m_ioText.clear();
            return 0;
        }
    }
    return ioError(SOFTOK_ERROR_IO, "No token data for user " + name);
}

int TokenLibrary::writeTokenData(const char* user) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string name = user ? user : "";
    if (!m_read || m_read->user != name)
        return ioError(SOFTOK_ERROR_IO, "Token data of user " + name + " was not read");
    return 0;
}

int TokenLibrary::tokenType() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_read ? m_read->type : 0;
}

int TokenLibrary::passcode(char* out, int size, const char* pin) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_expired = false;
    if (!m_read) return SOFTOK_ERROR_NO_TOKEN;
    if (out == nullptr || size < SOFTOK_PASSCODE_SIZE) return SOFTOK_ERROR_BUFFER;
    if (m_read->pinExpired) {
        m_expired = true;
        return SOFTOK_ERROR_PIN_EXPIRED;
    }
    if (pin == nullptr || m_read->pin != pin) return SOFTOK_ERROR_INCORRECT_PIN;
    std::string code = m_read->passcode.substr(0, SOFTOK_PASSCODE_SIZE - 1);
    std::memcpy(out, code.c_str(), code.size() + 1);
    return 0;
}

int TokenLibrary::lastIoError(char* text, int size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (text != nullptr && size > 0) {
        std::size_t n = std::min(m_ioText.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(text, m_ioText.data(), n);
        text[n] = 0;
    }
    return m_ioError;
}

int TokenLibrary::hasPinExpired() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_expired ? 1 : 0;
}

int TokenLibrary::ioError(int code, const std::string& text) {
    m_ioError = code;
    m_ioText = text;
    return code;
}

}  // namespace softtoken
