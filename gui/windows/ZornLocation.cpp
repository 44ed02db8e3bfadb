#include "gui/windows/ZornLocation.h"

#include <QDateTime>

#include "gui/client/SoapRequest.h"
#include "gui/windows/ZornLocationForm.h"
#include "platform/qtsoap/QtSoapMessage.h"

namespace {
// Shown data is cut to this many characters, then "...".
constexpr int DATA_PREVIEW = 6;
}  // namespace

ZornLocation::ZornLocation(QWidget* parent)
    : QWidget(parent), m_form(std::make_unique<Ui::ZornLocationClass>()) {
    m_form->setupUi(this);
    connect(m_form->closeBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(m_form->getLocationBtn, &QPushButton::clicked, this, &ZornLocation::sendLocationRequest);
}

ZornLocation::~ZornLocation() = default;

bool ZornLocation::readCapabilities(const QByteArray& message) {
    LocationCapabilities capabilities;
    if (!CEButtons::parse(message, capabilities)) return false;
    setCapabilities(capabilities);
    return true;
}

void ZornLocation::setCapabilities(const LocationCapabilities& capabilities) {
    clearCapabilities();
    m_capabilities = capabilities;
    m_form->formatBox->addItems(capabilities.formats);
    m_form->resolutionBox->addItems(capabilities.resolutions);
    m_form->encodingBox->addItems(capabilities.encodings);
}

void ZornLocation::clearCapabilities() {
    m_capabilities.formats.clear();
    m_capabilities.resolutions.clear();
    m_capabilities.encodings.clear();
    m_form->formatBox->clear();
    m_form->resolutionBox->clear();
    m_form->encodingBox->clear();
}

void ZornLocation::showWindow() {
    m_form->Status->setText(tr("Choose Settings and click GetLocation"));
    for (QLabel* value : {m_form->Format, m_form->SigType, m_form->Data, m_form->DigitalSignature,
                          m_form->Accuracy, m_form->LocationId}) {
        value->clear();
    }
    show();
    raise();
    activateWindow();
}

void ZornLocation::sendLocationRequest() {
    m_form->Status->setText(tr("Waiting for Data..."));
    SoapRequest request(QStringLiteral("getLocationRequest"));
    request.addRequestParam(QStringLiteral("locationFormat"), m_form->formatBox->currentText());
    request.addRequestParam(QStringLiteral("requestSecureResponseOnly"), QStringLiteral("false"));
    request.addRequestParam(QStringLiteral("locationEncoding"), m_form->encodingBox->currentText());
    request.addRequestParam(QStringLiteral("requestDigitalSignature"), QStringLiteral("false"));
    request.addRequestParam(QStringLiteral("requestLocationId"), QStringLiteral("true"));
    request.addRequestParam(QStringLiteral("locationResolution"), m_form->resolutionBox->currentText());
    request.endRequest();
    request.sendRequest();
}

void ZornLocation::showLocationResponse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return;
    m_form->Status->setText(
        tr("Current data recieved. %1").arg(QDateTime::currentDateTime().toString(Qt::TextDate)));
    const QtSoapElement body = soap.method();
    m_form->Format->setText(body[QStringLiteral("locationFormat")].text());
    m_form->Data->setText(body[QStringLiteral("locationData")].text().left(DATA_PREVIEW) +
                          QStringLiteral("..."));
    m_form->Accuracy->setText(body[QStringLiteral("locationAccuracy")].text());
    m_form->SigType->setText(body[QStringLiteral("signatureType")].text());
    m_form->DigitalSignature->setText(body[QStringLiteral("digitalSignature")].text());
    m_form->LocationId->setText(body[QStringLiteral("locationId")].text());
}
