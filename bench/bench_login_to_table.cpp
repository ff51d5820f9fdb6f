// LOGIN to a painted table: the real window, on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise, logs in to the real demo service over
// loopback. Timed from the LOGIN click to the first paint after the count label
// is set; each run is a fresh process, so its peak RSS is its own. The floor of
// the time is curl moving the same bytes from the same service (the version
// file and the forecast reply twice, as LOGIN does), interleaved with the
// runs; the floor of the memory is the same window idle before the click.
#include "app/main_window.h"
#include "bench/figure_row.h"
#include "controls/password_box.h"
#include "service/credentials.h"
#include "service/login_address.h"
#include "skin/bundled_fonts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <orvane/build_config.h>

using namespace Qt::Literals::StringLiterals;
using orvane::bench::format;
using orvane::bench::median;

namespace {

constexpr char kChildMode[] = "--login-child";
constexpr char kLogin[] = "demo";
constexpr char kPassword[] = "demo";

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "bench_login_to_table: %s\n", qPrintable(why));
    std::exit(1);
}

template <class W> W *widget(const QWidget &form, const char *name)
{
    W *found = form.findChild<W *>(QString::fromLatin1(name));
    if (!found)
        fail(u"the window has no "_s + QString::fromLatin1(name));
    return found;
}

// Stops the clock once the label says `expected` and a paint has followed:
// the call is queued behind the paint, so the drawing and the flush count.
class PaintAfterCount : public QObject {
public:
    PaintAfterCount(QLabel *count, QString expected, std::function<void()> done)
        : m_count(count), m_expected(std::move(expected)), m_done(std::move(done))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_done && m_count->text() == m_expected)
            QMetaObject::invokeMethod(this, std::exchange(m_done, {}), Qt::QueuedConnection);
        return false;
    }

private:
    QLabel *m_count;
    QString m_expected;
    std::function<void()> m_done;
};

int runChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4)
        fail(u"child: host and count wanted"_s);
    const QByteArray host = argv[2];
    const int forecasts = std::atoi(argv[3]);
    if (!orvane::installBundledFonts())
        fail(u"the bundled fonts could not be installed"_s);

    QString said;
    orvane::PlatformHooks hooks;
    hooks.showMessage = [&said](const QString &text) {
        said = text;
    };
    hooks.showError = hooks.showMessage;
    hooks.openUrl = [](const QUrl &) {
    };
    hooks.savedLoginFolder = [] {
        return QDir::currentPath();
    };
    orvane::TForm1 form({host, QString::fromUtf8(orvane::build::kMakerSite)}, hooks);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        fail(u"the window was not shown"_s);
    QTest::qWait(300); // painted and idle
    const long idleKb = orvane::bench::statusKb("self", "VmRSS");

    widget<QLineEdit>(form, "loginedit")->setText(QString::fromLatin1(kLogin));
    widget<orvane::PasswordBox>(form, "passedit")->setText(QByteArray(kPassword));
    QLabel *count = widget<QLabel>(form, "pr2");
    QEventLoop painted;
    QElapsedTimer clock;
    qint64 elapsedNs = -1;
    PaintAfterCount watcher(count, u"Count: "_s + QString::number(forecasts), [&] {
        elapsedNs = clock.nsecsElapsed();
        painted.quit();
    });
    // The label and the grid are painted in the same pass as the rest.
    count->installEventFilter(&watcher);
    widget<QWidget>(form, "NG")->installEventFilter(&watcher);

    QAbstractButton *login = widget<QAbstractButton>(form, "spSkinXFormButton1");
    clock.start();
    QTest::mouseClick(login, Qt::LeftButton);
    if (elapsedNs < 0) {
        QTimer::singleShot(120'000, &painted, &QEventLoop::quit);
        painted.exec();
    }
    if (elapsedNs < 0)
        fail(u"no table was painted; the window said: "_s + said);
    const long peakKb = orvane::bench::statusKb("self", "VmHWM");
    std::printf("RESULT %.3f %ld %ld\n", double(elapsedNs) / 1e6, idleKb, peakKb);
    std::fflush(stdout);
    // Leaves at once: tearing down 100,000 rows is not part of any figure.
    std::_Exit(0);
}

// The demo service on a free loopback port, told how many forecasts to send.
class DemoService {
public:
    explicit DemoService(int forecasts)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(
            QStringLiteral(DEMO_SERVICE_PATH),
            {u"--listen"_s, u"127.0.0.1:0"_s, u"--forecasts"_s, QString::number(forecasts)});
        if (!m_process.waitForStarted())
            fail(u"cannot start the demo service"_s);
        constexpr QByteArrayView kListening = "listening on ";
        const QDeadlineTimer deadline(60'000);
        while (m_authority.isEmpty() && !deadline.hasExpired()) {
            if (!m_process.canReadLine() && !m_process.waitForReadyRead(1000))
                continue;
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith(kListening))
                m_authority = line.mid(kListening.size());
        }
        if (m_authority.isEmpty())
            fail(u"the demo service did not say where it listens"_s);
    }
    ~DemoService()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    QByteArray authority() const { return m_authority; }

private:
    QProcess m_process;
    QByteArray m_authority;
};

struct ChildRun {
    double ms = 0;
    double idleMb = 0;
    double peakMb = 0;
};

ChildRun runChildProcess(const QByteArray &host, int forecasts, const QString &folder)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(u"QT_QPA_PLATFORM"_s))
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(folder);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(
        QCoreApplication::applicationFilePath(),
        {QString::fromLatin1(kChildMode), QString::fromLatin1(host), QString::number(forecasts)});
    if (!child.waitForFinished(300'000) || child.exitCode() != 0)
        fail(u"a LOGIN run failed"_s);
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 4 || words[0] != "RESULT")
        fail(u"a LOGIN run said nothing"_s);
    return {words[1].toDouble(), words[2].toDouble() / 1024, words[3].toDouble() / 1024};
}

// curl moving what LOGIN moves, on one connection: its own time, without
// starting the process.
double curlMs(const QByteArray &host)
{
    const QString version = QString::fromLatin1(orvane::versionFileAddress(host));
    const QString login = QString::fromLatin1(orvane::loginAddress({kLogin, kPassword}, host));
    QProcess curl;
    curl.start(u"curl"_s,
               {u"-s"_s, u"-w"_s, u"%{time_total}\\n"_s, u"-o"_s, u"/dev/null"_s, version, u"-o"_s,
                u"/dev/null"_s, login, u"-o"_s, u"/dev/null"_s, login});
    if (!curl.waitForFinished(120'000) || curl.exitCode() != 0)
        fail(u"curl failed; is it installed?"_s);
    double seconds = 0;
    for (const QByteArray &line : curl.readAllStandardOutput().trimmed().split('\n'))
        seconds += line.toDouble();
    return seconds * 1000;
}

struct Size {
    int forecasts;
    double goalMs;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], kChildMode) == 0)
        return runChild(argc, argv);

    QCoreApplication app(argc, argv);
    int runs = 5;
    QList<Size> sizes{{50, 30}, {10'000, 150}, {100'000, 1500}};
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--forecasts") == 0) {
            const int only = std::atoi(argv[i + 1]);
            sizes.removeIf([only](const Size &s) { return s.forecasts != only; });
        }
    }
    QTemporaryDir folder; // the saved-login file of the runs
    if (!folder.isValid())
        fail(u"no temporary folder"_s);

    for (const Size &size : sizes) {
        const DemoService service(size.forecasts);
        std::vector<double> ms, floorMs, idleMb, peakMb;
        curlMs(service.authority()); // builds and caches the reply in the service
        for (int run = 0; run < runs; ++run) {
            const ChildRun child =
                runChildProcess(service.authority(), size.forecasts, folder.path());
            ms.push_back(child.ms);
            idleMb.push_back(child.idleMb);
            peakMb.push_back(child.peakMb);
            floorMs.push_back(curlMs(service.authority()));
        }
        const double time = median(ms);
        const double floorTime = median(floorMs);
        const double peak = median(peakMb);
        const double idle = median(idleMb);
        const std::string what = QLocale::c().toString(size.forecasts).toStdString() +
                                 " forecasts (median of " + std::to_string(runs) + ")";
        orvane::bench::printRow({"LOGIN to painted table, " + what, format("%.1f ms", time),
                                 format("curl of the same bodies %.1f ms", floorTime),
                                 time / floorTime, format("<= %.0f ms", size.goalMs),
                                 time <= size.goalMs});
        std::string goal = "-";
        bool met = true;
        if (size.forecasts == 100'000) {
            goal = "<= 150 MB";
            met = peak <= 150;
        } else if (size.forecasts == 10'000) {
            goal = "<= 1.3x";
            met = peak / idle <= 1.3;
        }
        orvane::bench::printRow({"peak RSS, " + what, format("%.1f MB", peak),
                                 format("idle window %.1f MB", idle), peak / idle, goal, met});
    }
    return 0;
}
