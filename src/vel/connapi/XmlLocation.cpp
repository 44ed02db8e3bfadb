#include "vel/connapi/XmlLocation.h"

#include "runtime/lum/Log.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/location/LocationConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

namespace {

// An array of the slots that hold a value, only when one does.
template <std::size_t N>
void writeSlots(XmlParentNode& parent, const char* arrayName, const char* itemName,
                const std::array<std::int32_t, N>& slots, const char* (*toText)(std::int32_t)) {
    bool any = false;
    for (std::int32_t value : slots) any = any || value != 0;
    if (!any) return;
    XmlParentNode array = ConnApiWriter::array(parent, arrayName);
    for (std::int32_t value : slots) {
        if (value != 0) ConnApiWriter::text(array, itemName, toText(value));
    }
}

}  // namespace

LocationRecord LocationRecord::from(const LocationResponse& response) {
    LocationRecord record;
    record.format = response.getLocationFormat();
    record.data = response.getLocationData();
    record.accuracy = response.getLocationAccuracy();
    record.signatureType = response.getSignatureType();
    record.signature = response.getDigitalSignature();
    const ByteArray id = response.getLocationId();
    record.locationId = Ascii(id.text(), id.length());
    return record;
}

LocationRequestRecord Xml_Location::ReadRequest(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    LocationRequestRecord record;
    record.format = TextToLocationFormat(reader.requiredText(ConnApiElements::LOCATION_FORMAT).text());
    record.secureResponseOnly =
        TextToBool(reader.requiredText(ConnApiElements::REQUEST_SECURE_RESPONSE_ONLY).text()) != 0;
    record.encoding = TextToLocationEncoding(reader.requiredText(ConnApiElements::LOCATION_ENCODING).text());
    record.digitalSignature =
        TextToBool(reader.requiredText(ConnApiElements::REQUEST_DIGITAL_SIGNATURE).text()) != 0;
    record.locationId = TextToBool(reader.requiredText(ConnApiElements::REQUEST_LOCATION_ID).text()) != 0;
    // A request without a resolution leaves the choice to the access point.
    const Ascii resolution = reader.optionalText(ConnApiElements::LOCATION_RESOLUTION);
    if (resolution.length() > 0) record.resolution = TextToLocationResolution(resolution.text());
    return record;
}

void Xml_Location::WriteCapabilities(const SoapBodyContext& context,
                                     const LocationCapabilitiesRecord& record) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::boolean(message, ConnApiElements::IS_LOCATION_SERVICE_AVAILABLE, record.available);
    if (!record.available) return;
    writeSlots(message, ConnApiElements::SUPPORTED_SERVICES, ConnApiElements::SERVICE_TYPE, record.services,
               LocationServiceToText);
    writeSlots(message, ConnApiElements::SUPPORTED_FORMATS, ConnApiElements::LOCATION_FORMAT, record.formats,
               LocationFormatToText);
    writeSlots(message, ConnApiElements::SUPPORTED_RESOLUTIONS, ConnApiElements::LOCATION_RESOLUTION,
               record.resolutions, LocationResolutionToText);
    writeSlots(message, ConnApiElements::SUPPORTED_ENCODINGS, ConnApiElements::LOCATION_ENCODING,
               record.encodings, LocationEncodingToText);
}

void Xml_Location::CreateXmlResponseEvent(const SoapBodyContext& context, const LocationRecord& record) {
    logDebug("In Xml_Location::CreateXmlResponseEvent");
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::LOCATION_FORMAT, LocationFormatToText(record.format));
    ConnApiWriter::text(message, ConnApiElements::LOCATION_DATA, record.data.toBase64());
    ConnApiWriter::integer(message, ConnApiElements::LOCATION_ACCURACY, record.accuracy);
    if (record.signature.length() > 0) {
        if (record.signatureType == LocationConstants::SIGNATURE_TYPE_NONE)
            logDebug("Location signature without type");
        ConnApiWriter::text(message, ConnApiElements::SIGNATURE_TYPE,
                            LocationSignTypeToText(record.signatureType));
        ConnApiWriter::text(message, ConnApiElements::DIGITAL_SIGNATURE, record.signature.toBase64());
    }
    ConnApiWriter::text(message, ConnApiElements::LOCATION_ID, record.locationId);
}

void Xml_Location::CreateXmlErrorEvent(const SoapBodyContext& context, std::int32_t error) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::integer(message, ConnApiElements::ERROR, error);
}
