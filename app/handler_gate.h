#pragma once

#include <QList>
#include <QPointer>
#include <functional>

class QObject;

namespace orvane {

// Decides when the window's handlers run and when the window may close, while
// a handler waits in a local event loop. A handler called during such a wait
// is put off until the running one has returned, as the user input of that
// time is. A close during a network wait abandons the call and closes at once;
// a close during a message box waits until the handlers have returned.
class HandlerGate {
public:
    enum class Wait { Dialog, Network };

    // `context` receives the deferred handlers, queued; `closeWindow` closes
    // the window once a put-off close may go ahead; `abandonCall` ends the
    // network wait under way.
    HandlerGate(QObject *context, std::function<void()> closeWindow,
                std::function<void()> abandonCall);
    HandlerGate(const HandlerGate &) = delete;
    HandlerGate &operator=(const HandlerGate &) = delete;

    // Marks a handler as running for its scope. False when the handler was
    // put off instead: it must return at once and runs again later.
    class Running {
    public:
        Running(HandlerGate &gate, std::function<void()> handler);
        ~Running();
        Running(const Running &) = delete;
        Running &operator=(const Running &) = delete;
        explicit operator bool() const { return m_entered; }

    private:
        HandlerGate &m_gate;
        bool m_entered = false;
    };

    // Marks a local event loop that the running handler waits in.
    class Waiting {
    public:
        Waiting(HandlerGate &gate, Wait kind);
        ~Waiting();
        Waiting(const Waiting &) = delete;
        Waiting &operator=(const Waiting &) = delete;

    private:
        HandlerGate &m_gate;
        Wait m_kind;
    };

    // Whether a close request may close the window now; when it may not, the
    // window closes once the handlers have returned.
    [[nodiscard]] bool allowClose();

    // A close came while the running handler waited for the network: the
    // handler must stop without a word.
    bool abandoned() const { return m_abandoned; }

private:
    void handlersReturned();

    QPointer<QObject> m_context;
    std::function<void()> m_closeWindow;
    std::function<void()> m_abandonCall;
    int m_handlerDepth = 0;      // handlers on the stack
    int m_loopDepth = 0;         // local event loops those handlers wait in
    int m_networkDepth = 0;      // of them, the ones that wait for the network
    bool m_closePending = false; // a close arrived while a handler showed a message
    bool m_abandoned = false;    // a close arrived while a handler waited for the network
    QList<std::function<void()>> m_deferred; // handlers called while another one waited
};

} // namespace orvane
