#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

namespace orvane::shots {

// The demo forecast service, run as a child process on a free loopback port
// for as long as this object lives.
class DemoServiceProcess {
public:
    DemoServiceProcess() = default;
    ~DemoServiceProcess();

    DemoServiceProcess(const DemoServiceProcess &) = delete;
    DemoServiceProcess &operator=(const DemoServiceProcess &) = delete;

    // Starts `program` and waits until it says where it listens; false with
    // the reason in error() when it does not.
    bool start(const QString &program);
    QByteArray authority() const { return m_authority; } // "127.0.0.1:<port>"
    QString error() const { return m_error; }

private:
    QProcess m_process;
    QByteArray m_authority;
    QString m_error;
};

} // namespace orvane::shots
