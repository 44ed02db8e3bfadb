#pragma once

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

// A piece of work handed from one thread to another: posted to a queue and run once on that
// queue's thread. Each event keeps the data it needs as members.
class MessageEventImpl : public ReferenceImpl {
public:
    virtual void run() = 0;
};

// Holds a newly built event for posting: its first reference moves into the handle.
class MessageEvent : public Reference {
public:
    explicit MessageEvent(MessageEventImpl* p) : Reference(p, Reference::TAKE_OVER) {}

    MessageEventImpl* event() const { return static_cast<MessageEventImpl*>(static_cast<ReferenceImpl*>(m)); }
};
