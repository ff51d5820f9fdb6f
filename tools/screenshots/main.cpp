// Renders the window's pages to PNG files on the offscreen platform, with the
// same platform, style, fonts and scale as the GUI tests, so the pictures are
// the same on every machine.
#include "tests/support/gui_test_main.h"
#include "tools/screenshots/demo_service_process.h"
#include "tools/screenshots/window_shots.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <cstdio>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

// The device pixel ratio is fixed when the application object is made, so each
// ratio is rendered by a process of its own: "--render RATIO SERVICE FOLDER".
constexpr char kRenderMode[] = "--render";
constexpr int kRatios[] = {1, 2};

int fail(const QString &message)
{
    std::fprintf(stderr, "orvane-screenshots: %s\n", qPrintable(message));
    return 1;
}

int render(int argc, char *argv[])
{
    const QByteArray ratio = argv[2];
    const QByteArray service = argv[3];
    const QString folder = QString::fromLocal8Bit(argv[4]);
    orvane::test::prepareGuiTestEnvironment();
    qputenv("QT_SCALE_FACTOR", ratio);
    // The version probe follows the system's proxy; the demo service is on loopback.
    for (const char *name :
         {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        qunsetenv(name);
    QApplication app(argc, argv);
    orvane::test::finishGuiTestSetup();
    const QStringList problems = orvane::shots::saveWindowShots(service, QDir(folder));
    for (const QString &problem : problems)
        fail(u"at %1x: %2"_s.arg(QString::fromLatin1(ratio), problem));
    return problems.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && std::strcmp(argv[1], kRenderMode) == 0)
        return render(argc, argv);

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Renders the login and forecast pages of the window, with the skin and plainly, at "
        "device pixel ratios 1 and 2, into FOLDER: login.png, forecast.png, login-plain.png, "
        "forecast-plain.png and their @2x variants."_s);
    parser.addHelpOption();
    const QCommandLineOption demoService(u"demo-service"_s,
                                         u"The demo service to log in to (default: %1)."_s.arg(
                                             QString::fromUtf8(ORVANE_DEMO_SERVICE_PATH)),
                                         u"PATH"_s, QString::fromUtf8(ORVANE_DEMO_SERVICE_PATH));
    parser.addOption(demoService);
    parser.addPositionalArgument(u"FOLDER"_s, u"Where the pictures go; made if missing."_s);
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    const QString folder = QDir(parser.positionalArguments().constFirst()).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(u"cannot make the folder "_s + folder);
    orvane::shots::DemoServiceProcess service;
    if (!service.start(parser.value(demoService)))
        return fail(service.error());

    for (const int ratio : kRatios) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kRenderMode), QString::number(ratio),
                     QString::fromLatin1(service.authority()), folder});
        if (!child.waitForFinished(120'000) || child.exitStatus() != QProcess::NormalExit ||
            child.exitCode() != 0)
            return fail(u"the pictures at %1x were not made"_s.arg(ratio));
    }
    std::printf("pictures written to %s\n", qPrintable(folder));
    return 0;
}
