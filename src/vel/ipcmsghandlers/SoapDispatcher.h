#pragma once
// Walks the body of a received envelope and hands each message element to its handler, one after
// another, each answered on its own.
#include "vel/ipcmsghandlers/DatagramContext.h"
#include "vel/ipcmsghandlers/HandlerTable.h"

class SoapDispatcher {
public:
    explicit SoapDispatcher(const HandlerTable& table) : m_table(table) {}

    // An envelope without a Body is logged at debug level and nothing of it handled. The walk
    // stops when the asking connection has gone: nobody would read the answers.
    void dispatch(const DatagramContext& context) const;

private:
    const HandlerTable& m_table;
};
