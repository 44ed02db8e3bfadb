#include "vel/multithread/QuitSignal.h"

#include "runtime/lum/Assert.h"
#include "runtime/multithread/RuntimeMutex.h"

std::atomic<QuitSignalImpl*> QuitSignalImpl::Singleton{nullptr};

QuitSignalImpl::QuitSignalImpl() {
    m_signal.open();
}

QuitSignalImpl::~QuitSignalImpl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    Singleton = nullptr;
    m_signal.close();
}

QuitSignal QuitSignal::Create() {
    if (!LUM_ASSERT_TEXT(QuitSignalImpl::Singleton == nullptr, "Singleton == null")) return Instance();
    auto* p = new QuitSignalImpl;
    QuitSignalImpl::Singleton = p;
    return QuitSignal(p, Reference::TAKE_OVER);
}

QuitSignal QuitSignal::Instance() {
    RuntimeMutexLock lock(*ReferenceMutex);
    QuitSignalImpl* p = QuitSignalImpl::Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null")) return QuitSignal();
    return QuitSignal(p, Reference::TAKE_OVER);
}

void QuitSignal::set() {
    QuitSignal signal;
    {
        RuntimeMutexLock lock(*ReferenceMutex);
        QuitSignalImpl* p = QuitSignalImpl::Singleton;
        if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton")) return;
        signal = QuitSignal(p, Reference::TAKE_OVER);
    }
    static_cast<QuitSignalImpl*>(static_cast<ReferenceImpl*>(signal.m))->set();
}

void QuitSignal::wait() {
    QuitSignal signal;
    {
        RuntimeMutexLock lock(*ReferenceMutex);
        QuitSignalImpl* p = QuitSignalImpl::Singleton;
        if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton")) return;
        signal = QuitSignal(p, Reference::TAKE_OVER);
    }
    static_cast<QuitSignalImpl*>(static_cast<ReferenceImpl*>(signal.m))->wait();
}
