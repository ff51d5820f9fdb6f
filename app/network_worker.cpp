#include "network_worker.h"

#include <QEventLoop>
#include <QSemaphore>

namespace orvane {

class NetworkWorker::Thread final : public QThread {
public:
    explicit Thread(http::HttpSettings settings) : m_settings(std::move(settings)) {}

    // Only jobs running on this thread touch it.
    http::HttpClient &client() { return *m_client; }

protected:
    void run() override
    {
        m_client = std::make_unique<http::HttpClient>(m_settings);
        exec();
        m_client.reset();
    }

private:
    http::HttpSettings m_settings;
    std::unique_ptr<http::HttpClient> m_client;
};

NetworkWorker::NetworkWorker(http::HttpSettings settings)
    : m_thread(std::make_unique<Thread>(std::move(settings))),
      m_context(std::make_unique<QObject>())
{
    m_thread->setObjectName(QStringLiteral("orvane network"));
    m_context->moveToThread(m_thread.get());
    m_thread->start();
}

NetworkWorker::~NetworkWorker()
{
    m_thread->quit();
    m_thread->wait();
    m_context.reset(); // its thread has finished: nothing can deliver to it any more
}

void NetworkWorker::run(const std::function<void(http::HttpClient &Id)> &job,
                        QEventLoop::ProcessEventsFlags flags)
{
    QEventLoop loop;
    QSemaphore finished;
    QMetaObject::invokeMethod(
        m_context.get(),
        [this, &job, &loop, &finished] {
            job(m_thread->client());
            // Post the quit before releasing: `loop` lives until the release.
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            finished.release();
        },
        Qt::QueuedConnection);
    loop.exec(flags);
    // The loop also ends early when the application is told to quit; the job
    // still holds references into this frame, so wait for it regardless.
    finished.acquire();
}

} // namespace orvane
