#include "tools/screenshots/demo_service_process.h"

#include <QDeadlineTimer>

using namespace Qt::Literals::StringLiterals;

namespace orvane::shots {

DemoServiceProcess::~DemoServiceProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool DemoServiceProcess::start(const QString &program)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, {u"--listen"_s, u"127.0.0.1:0"_s});
    if (!m_process.waitForStarted()) {
        m_error = u"cannot start %1: %2"_s.arg(program, m_process.errorString());
        return false;
    }
    constexpr QByteArrayView kListening = "listening on ";
    const QDeadlineTimer deadline(10'000);
    while (!deadline.hasExpired()) {
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith(kListening)) {
                m_authority = line.mid(kListening.size());
                return true;
            }
        }
        if (m_process.state() == QProcess::NotRunning)
            break;
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    m_error = m_process.state() == QProcess::NotRunning
                  ? u"the demo service %1 ended before it listened"_s.arg(program)
                  : u"the demo service %1 did not say where it listens"_s.arg(program);
    return false;
}

} // namespace orvane::shots
