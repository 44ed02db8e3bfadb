#pragma once

#include "vel/credmgr/CredentialImpl.h"
#include "vel/credmgr/PacFields.h"

// An EAP-FAST Protected Access Credential, kept as its stored record.
class CredentialPacImpl : public CredentialImpl {
public:
    // Fields from the library or a file; the record is protected at once.
    explicit CredentialPacImpl(const PacFields& fields);
    // Keeps an existing stored text and reads the fields from it, its PAC type included.
    CredentialPacImpl(const ByteArray& storedText, StoredText);
    ~CredentialPacImpl() override;

    QX_HANDLE volatileH() override;
    bool expired() const override;
    ByteArray aid() const override { return m_fields.aid; }
    Ascii aidInfo() const override { return m_fields.aidInfo; }
    Ascii iid() const override { return m_fields.iid; }
    PacLifetime lifetime() const override { return m_fields.lifetime; }
    std::int32_t pacType() const override { return m_fields.pacType; }

    const PacFields& fields() const { return m_fields; }

private:
    PacFields m_fields;
    QX_HANDLE m_handle = 0;
};
