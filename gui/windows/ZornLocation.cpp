#include "gui/windows/ZornLocation.h"

#include <QDateTime>

#include "gui/client/SoapRequest.h"
#include "gui/windows/ZornLocationForm.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

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
    SoapRequest request(QLatin1String(ConnApiMessages::name(ConnApiMessages::GET_LOCATION_REQUEST)));
    request.addRequestParam(QLatin1String(ConnApiElements::LOCATION_FORMAT),
                            m_form->formatBox->currentText());
    request.addRequestParam(QLatin1String(ConnApiElements::REQUEST_SECURE_RESPONSE_ONLY),
                            QStringLiteral("false"));
    request.addRequestParam(QLatin1String(ConnApiElements::LOCATION_ENCODING),
                            m_form->encodingBox->currentText());
    request.addRequestParam(QLatin1String(ConnApiElements::REQUEST_DIGITAL_SIGNATURE),
                            QStringLiteral("false"));
    request.addRequestParam(QLatin1String(ConnApiElements::REQUEST_LOCATION_ID), QStringLiteral("true"));
    request.addRequestParam(QLatin1String(ConnApiElements::LOCATION_RESOLUTION),
                            m_form->resolutionBox->currentText());
    request.endRequest();
    request.sendRequest();
}

void ZornLocation::showLocationResponse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return;
    m_form->Status->setText(
        tr("Current data recieved. %1").arg(QDateTime::currentDateTime().toString(Qt::TextDate)));
    const QtSoapElement body = soap.method();
    m_form->Format->setText(body[QLatin1String(ConnApiElements::LOCATION_FORMAT)].text());
    m_form->Data->setText(body[QLatin1String(ConnApiElements::LOCATION_DATA)].text().left(DATA_PREVIEW) +
                          QStringLiteral("..."));
    m_form->Accuracy->setText(body[QLatin1String(ConnApiElements::LOCATION_ACCURACY)].text());
    m_form->SigType->setText(body[QLatin1String(ConnApiElements::SIGNATURE_TYPE)].text());
    m_form->DigitalSignature->setText(body[QLatin1String(ConnApiElements::DIGITAL_SIGNATURE)].text());
    m_form->LocationId->setText(body[QLatin1String(ConnApiElements::LOCATION_ID)].text());
}
