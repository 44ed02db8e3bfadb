#include "vel/ipcmsghandlers/SoapDispatcher.h"

#include "runtime/lum/Log.h"
#include "vel/libxml2/XmlChildIterator.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

void SoapDispatcher::dispatch(const DatagramContext& context) const {
    SharedXmlNode body = context.message.root().findChild(ConnApiConstants::BODY_ELEMENT);
    if (body.isNull()) {
        logDebug("Invalid SOAP message format - Body missing");
        return;
    }
    for (XmlChildIterator child(body); !child.atEnd(); child.next()) {
        if (!child.current().isElement()) continue;
        if (context.connection.isFinished()) return;
        SoapBodyHandler handler =
            m_table.create(context.connection, SoapBodyContext::fromElement(child.current()));
        if (!handler.isNull()) handler.process();
    }
}
