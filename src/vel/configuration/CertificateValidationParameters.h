#pragma once
// How a network checks its authentication server's certificate: any server name or a list of
// name rules, and any CA of the operating system or a list of specific CA certificates.
#include <cstdint>

#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

// One server name rule: the match kind (0 subject, 1 subject alternative name), how the name
// matches (1 exactly, 2 ends with) and the name.
class TrustedServerRuleImpl : public ReferenceImpl {
public:
    TrustedServerRuleImpl(std::int32_t matchKind, std::int32_t howMatch, const Ascii& name)
        : m_matchKind(matchKind), m_howMatch(howMatch), m_name(name) {}

    std::int32_t m_matchKind;
    std::int32_t m_howMatch;
    Ascii m_name;
};

class TrustedServerRule : public Reference {
public:
    TrustedServerRule() = default;
    static TrustedServerRule create(std::int32_t matchKind, std::int32_t howMatch, const Ascii& name) {
        return TrustedServerRule(new TrustedServerRuleImpl(matchKind, howMatch, name));
    }

    std::int32_t matchKind() const { return impl()->m_matchKind; }
    std::int32_t howMatch() const { return impl()->m_howMatch; }
    Ascii name() const { return impl()->m_name; }

    TrustedServerRuleImpl* impl() const {
        return static_cast<TrustedServerRuleImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit TrustedServerRule(TrustedServerRuleImpl* created) : Reference(created, Reference::TAKE_OVER) {}
};

// One trusted CA: the kind of reference (1 certificate, 2 certificate identifier) and its text.
class TrustedCaCertImpl : public ReferenceImpl {
public:
    TrustedCaCertImpl(std::int32_t kind, const Ascii& reference) : m_kind(kind), m_reference(reference) {}

    std::int32_t m_kind;
    Ascii m_reference;
};

class TrustedCaCert : public Reference {
public:
    TrustedCaCert() = default;
    static TrustedCaCert create(std::int32_t kind, const Ascii& reference) {
        return TrustedCaCert(new TrustedCaCertImpl(kind, reference));
    }

    std::int32_t kind() const { return impl()->m_kind; }
    Ascii certificateReference() const { return impl()->m_reference; }

    TrustedCaCertImpl* impl() const {
        return static_cast<TrustedCaCertImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit TrustedCaCert(TrustedCaCertImpl* created) : Reference(created, Reference::TAKE_OVER) {}
};

class CertificateValidationParametersImpl : public ReferenceImpl {
public:
    CertificateValidationParametersImpl() = default;
    CertificateValidationParametersImpl(bool anyServerName, const ElementVector& serverRules,
                                        bool anyCaFromOs, const ElementVector& trustedCas)
        : m_anyServerName(anyServerName),
          m_serverRules(serverRules),
          m_anyCaFromOs(anyCaFromOs),
          m_trustedCas(trustedCas) {}

    std::uint8_t m_anyServerName = 1;
    // TrustedServerRule entries.
    ElementVector m_serverRules = ElementVector::create();
    std::uint8_t m_anyCaFromOs = 1;
    // TrustedCaCert entries.
    ElementVector m_trustedCas = ElementVector::create();
};

class CertificateValidationParameters : public Reference {
public:
    CertificateValidationParameters() = default;
    static CertificateValidationParameters create() {
        return CertificateValidationParameters(new CertificateValidationParametersImpl);
    }
    static CertificateValidationParameters create(bool anyServerName, const ElementVector& serverRules,
                                                  bool anyCaFromOs, const ElementVector& trustedCas) {
        return CertificateValidationParameters(
            new CertificateValidationParametersImpl(anyServerName, serverRules, anyCaFromOs, trustedCas));
    }

    bool anyServerName() const { return impl()->m_anyServerName != 0; }
    ElementVector serverRules() const { return impl()->m_serverRules; }
    bool anyCaFromOs() const { return impl()->m_anyCaFromOs != 0; }
    ElementVector trustedCas() const { return impl()->m_trustedCas; }

    CertificateValidationParametersImpl* impl() const {
        return static_cast<CertificateValidationParametersImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit CertificateValidationParameters(CertificateValidationParametersImpl* created)
        : Reference(created, Reference::TAKE_OVER) {}
};
