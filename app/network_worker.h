#pragma once

#include "http_client.h"

#include <QEventLoop>
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

namespace orvane {

// The thread that owns the window's HTTP client for the window's life: the
// client's connection and cookies must stay on one thread, and the user
// interface must not block while a call is under way.
class NetworkWorker {
public:
    explicit NetworkWorker(http::HttpSettings settings = {});
    ~NetworkWorker(); // stops the thread; the client is destroyed on it
    NetworkWorker(const NetworkWorker &) = delete;
    NetworkWorker &operator=(const NetworkWorker &) = delete;

    // Runs `job` on the worker thread and returns once it has finished. The
    // calling thread meanwhile runs a local event loop with `flags`, so it keeps
    // repainting. Calls from the same thread run one after another.
    void run(const std::function<void(http::HttpClient &Id)> &job,
             QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeUserInputEvents);

private:
    class Thread;
    std::unique_ptr<Thread> m_thread;
    std::unique_ptr<QObject> m_context; // lives on the worker thread: jobs are posted to it
};

} // namespace orvane
