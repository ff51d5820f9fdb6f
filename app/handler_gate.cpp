#include "app/handler_gate.h"

#include <QMetaObject>
#include <QObject>
#include <utility>

namespace orvane {

HandlerGate::HandlerGate(QObject *context, std::function<void()> closeWindow,
                         std::function<void()> abandonCall)
    : m_context(context), m_closeWindow(std::move(closeWindow)),
      m_abandonCall(std::move(abandonCall))
{
}

HandlerGate::Running::Running(HandlerGate &gate, std::function<void()> handler) : m_gate(gate)
{
    if (gate.m_loopDepth > 0) {
        gate.m_deferred.append(std::move(handler));
        return;
    }
    m_entered = true;
    ++gate.m_handlerDepth;
}

HandlerGate::Running::~Running()
{
    if (m_entered && --m_gate.m_handlerDepth == 0)
        m_gate.handlersReturned();
}

HandlerGate::Waiting::Waiting(HandlerGate &gate, Wait kind) : m_gate(gate), m_kind(kind)
{
    ++gate.m_loopDepth;
    if (kind == Wait::Network)
        ++gate.m_networkDepth;
}

HandlerGate::Waiting::~Waiting()
{
    --m_gate.m_loopDepth;
    if (m_kind == Wait::Network)
        --m_gate.m_networkDepth;
}

bool HandlerGate::allowClose()
{
    if (m_networkDepth > 0) {
        // Closing never waits for the network: the handler gives the call up.
        m_abandoned = true;
        if (m_abandonCall)
            m_abandonCall();
        return true;
    }
    if (m_handlerDepth > 0) {
        m_closePending = true;
        return false;
    }
    return true;
}

void HandlerGate::handlersReturned()
{
    if (std::exchange(m_abandoned, false)) {
        // Already closed.
        m_closePending = false;
        m_deferred.clear();
        return;
    }
    if (m_closePending) {
        // The window is going: what was clicked before the close no longer matters.
        m_closePending = false;
        m_deferred.clear();
        if (m_closeWindow)
            m_closeWindow();
        return;
    }
    for (std::function<void()> &handler : std::exchange(m_deferred, {})) {
        if (m_context)
            QMetaObject::invokeMethod(m_context, std::move(handler), Qt::QueuedConnection);
    }
}

} // namespace orvane
