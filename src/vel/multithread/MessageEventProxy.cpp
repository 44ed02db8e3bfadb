#include "vel/multithread/MessageEventProxy.h"

MessageEventImpl* MessageEventProxy::event() const {
    ElementInterface* p = element();
    return p == nullptr ? nullptr : static_cast<MessageEventImpl*>(static_cast<ReferenceImpl*>(p));
}
