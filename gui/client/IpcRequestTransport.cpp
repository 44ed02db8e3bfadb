#include "gui/client/IpcRequestTransport.h"

#include "vel/exception/CanceledException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/exception/NvoException.h"

RequestTransport::Result IpcRequestTransport::sendFrame(const QByteArray& frame) {
    if (frame.isEmpty()) return Result::Failed;
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        m_ipc.send(reinterpret_cast<const std::uint8_t*>(frame.constData()), static_cast<int>(frame.size()));
        return Result::Sent;
    } catch (const CanceledException&) {
        return Result::Canceled;
    } catch (const NoConnectionException&) {
        return Result::NoConnection;
    } catch (const NvoException&) {
        return Result::Failed;
    }
}
