#include "app/network_worker.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace orvane {

struct NetworkWorker::Task {
    explicit Task(Job job) : work(std::move(job)) {}

    Job work;
    http::CancelToken cancel;
    std::atomic<bool> done{false};
};

struct NetworkWorker::Waiting {
    const Task *task;
    QEventLoop *loop;
    Waiting *outer;
};

// Serves its own queue rather than an event loop: the local loops that jobs
// run (to connect, or in the probe) must not start the next job inside them.
class NetworkWorker::Thread final : public QThread {
public:
    Thread(http::HttpSettings settings, NetworkWorker &owner)
        : m_settings(std::move(settings)), m_owner(owner)
    {
    }

    void post(std::shared_ptr<Task> task)
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(task));
        m_wake.notify_one();
    }

    void stop()
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        if (m_running)
            m_running->cancel.cancel();
        m_queue.clear();
        m_wake.notify_one();
    }

protected:
    void run() override
    {
        http::HttpClient client(m_settings);
        for (;;) {
            std::shared_ptr<Task> task;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
                if (m_stopping)
                    break;
                task = std::move(m_queue.front());
                m_queue.pop_front();
                m_running = task;
            }
            task->work(client, task->cancel);
            // What the job's own event loops left for later, such as deferred deletes.
            QCoreApplication::sendPostedEvents();
            {
                const std::lock_guard lock(m_mutex);
                m_running.reset();
            }
            task->done.store(true, std::memory_order_release);
            NetworkWorker *owner = &m_owner;
            QMetaObject::invokeMethod(
                owner->m_receiver.get(), [owner, task] { owner->finished(task.get()); },
                Qt::QueuedConnection);
        }
    }

private:
    const http::HttpSettings m_settings;
    NetworkWorker &m_owner;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<Task>> m_queue;
    std::shared_ptr<Task> m_running;
    bool m_stopping = false;
};

NetworkWorker::NetworkWorker(http::HttpSettings settings)
    : m_receiver(std::make_unique<QObject>()),
      m_thread(std::make_unique<Thread>(std::move(settings), *this))
{
    m_thread->setObjectName(QStringLiteral("orvane network"));
    m_thread->start();
}

NetworkWorker::~NetworkWorker()
{
    m_thread->stop();
    m_thread->wait();
    // Only now: the thread posts to the receiver until it has finished, and
    // deleting it discards what is still queued for it.
    m_receiver.reset();
}

bool NetworkWorker::run(Job job, QEventLoop::ProcessEventsFlags flags)
{
    const auto task = std::make_shared<Task>(std::move(job));
    QEventLoop loop;
    Waiting waiting{task.get(), &loop, m_waiting};
    m_waiting = &waiting;
    m_thread->post(task);
    loop.exec(flags);
    m_waiting = waiting.outer;
    if (task->done.load(std::memory_order_acquire))
        return true;
    task->cancel.cancel();
    return false;
}

void NetworkWorker::abandon()
{
    for (Waiting *waiting = m_waiting; waiting; waiting = waiting->outer)
        waiting->loop->quit();
}

void NetworkWorker::finished(const Task *task)
{
    for (Waiting *waiting = m_waiting; waiting; waiting = waiting->outer) {
        if (waiting->task == task)
            waiting->loop->quit();
    }
}

} // namespace orvane
