#pragma once
// One secret or identity handed to the authentication library. It lives only as its protected
// stored text; the plain value is decrypted on demand, the library handle made on first use. The
// base answers every kind-specific operation with a logged internal error and an empty result.
#include <cstdint>

#include "platform/qxauth/qxAuth.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"
#include "vel/string/ByteArrayVector.h"

class CredentialProxy;

// The PAC-Lifetime in seconds since 1970 (0: none), then a second int that is 0 for PACs from the
// library or a file.
struct PacLifetime {
    std::int32_t first = 0;
    std::int32_t second = 0;
};

class CredentialImpl : public ReferenceImpl {
public:
    // Marks the constructor of a kind that keeps an existing stored text unchanged.
    enum StoredText { STORED_TEXT };

    // Reads the type from the text's own vector; an unreadable text gives TYPE_INVALID.
    explicit CredentialImpl(const ByteArray& storedText);

    std::int32_t type() const { return m_type; }
    const ByteArray& storedText() const { return m_storedText; }

    // In this order after the reference operations.
    virtual QX_HANDLE volatileH();
    virtual CredentialProxy expand(const Ascii& pattern);
    virtual void setWepValue(std::int32_t value);
    virtual std::int32_t wepValue() const;
    virtual ByteArray psk() const;
    virtual void setSsid(const ByteArray& ssid);
    virtual std::int32_t length() const;
    virtual bool expired() const;
    virtual ByteArray aid() const;
    virtual Ascii aidInfo() const;
    virtual Ascii iid() const;
    virtual PacLifetime lifetime() const;
    virtual std::int32_t pacType() const;
    virtual ByteArray certificateHash() const;
    virtual Ascii identity() const;
    virtual Ascii password() const;
    virtual Ascii pin() const;

protected:
    // A kind built on a stored text it keeps unchanged.
    CredentialImpl(std::int32_t type, const ByteArray& storedText) : m_type(type), m_storedText(storedText) {}

    // One way a read can fail: the internal error number and the line, with "[%s:%d]" for the
    // source position.
    struct Failure {
        int number;
        const char* format;
    };
    static void logFailure(const Failure& failure, const char* file, int line);

    // The serialized vector of this kind: its type text, the tag and the values.
    ByteArray vectorOf(const char* tag, const ByteArray& value) const;
    ByteArray vectorOf(const char* tag, const ByteArray& first, const ByteArray& second) const;
    // Protects a serialized vector into the stored text; a failure leaves it empty and logs.
    void protect(bool aes, const ByteArray& serialized, const Failure& failure, const char* file, int line);
    // Element `index` of the stored vector, which must have `count` elements; the failure of each
    // step is logged as given and leaves nothing.
    ByteArrayProxy readElement(std::int32_t count, std::int32_t index, const Failure& decryptFailure,
                               const Failure& invalidFailure, const char* file, int line) const;

    const std::int32_t m_type;
    ByteArray m_storedText;
};
