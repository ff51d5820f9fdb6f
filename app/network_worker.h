#pragma once

#include "service/http_cancel.h"
#include "service/http_client.h"

#include <QEventLoop>
#include <QObject>
#include <functional>
#include <memory>

namespace orvane {

// The thread that owns the window's HTTP client for the window's life: the
// client's connection and cookies must stay on one thread, and the user
// interface must not block while a call is under way. Jobs run there one
// after another, never inside each other.
class NetworkWorker {
public:
    // A job gets the client and the token that tells it to stop; it must
    // pass the token to every call that waits.
    using Job = std::function<void(http::HttpClient &Id, const http::CancelToken &cancel)>;

    explicit NetworkWorker(http::HttpSettings settings = {});
    // Cancels the running job, drops queued ones and waits for the thread,
    // which the cancel ends promptly. Not while run() waits.
    ~NetworkWorker();
    NetworkWorker(const NetworkWorker &) = delete;
    NetworkWorker &operator=(const NetworkWorker &) = delete;

    // Runs `job` on the worker thread. The calling thread meanwhile runs a
    // local event loop with `flags`, so it keeps repainting. True once the job
    // has finished. False when the wait was abandoned (abandon(), or the
    // application quitting): the job is then cancelled and runs to its end on
    // its own, so it must own everything it writes.
    [[nodiscard]] bool
    run(Job job, QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeUserInputEvents);

    // Ends every wait of run() at once. From the thread that calls run(), for
    // instance from an event its local loop delivers.
    void abandon();

private:
    struct Task;
    struct Waiting;
    class Thread;

    void finished(const Task *task);

    std::unique_ptr<QObject> m_receiver; // on the calling thread: told when a job has finished
    std::unique_ptr<Thread> m_thread;
    Waiting *m_waiting = nullptr; // the innermost run() under way
};

} // namespace orvane
