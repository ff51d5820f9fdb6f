#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <mutex>

namespace orvane::test {

// Records every message logged, from any thread, while it lives; one at a time.
class LogCapture {
public:
    struct Entry {
        QtMsgType type;
        QByteArray category;
        QString text;
    };

    LogCapture()
    {
        {
            const std::lock_guard lock(s_mutex);
            s_entries.clear();
        }
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QList<Entry> entries() const
    {
        const std::lock_guard lock(s_mutex);
        return s_entries;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        const std::lock_guard lock(s_mutex);
        s_entries.append({type, QByteArray(context.category), text});
    }

    QtMessageHandler m_previous = nullptr;
    static inline std::mutex s_mutex;
    static inline QList<Entry> s_entries;
};

} // namespace orvane::test
