#include "service/version_probe.h"

#include "service/http_log.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace orvane {
namespace {

// Per manager rather than QNetworkProxyFactory::setUseSystemConfiguration(),
// which would change the whole application from whichever thread probes.
class SystemProxyFactory final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        return systemProxyForQuery(query);
    }
};

// The address is 8-bit text; bytes that cannot stand in a URL are
// percent-encoded, so the server receives the same bytes.
QUrl toUrl(QByteArrayView address)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray encoded;
    encoded.reserve(address.size());
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7f)
            encoded.append('%').append(kHex[byte >> 4]).append(kHex[byte & 0xf]);
        else
            encoded.append(c);
    }
    return QUrl::fromEncoded(encoded, QUrl::TolerantMode);
}

// The statuses Qt may follow; whether it does shows only afterwards.
bool mayBeFollowed(int status)
{
    switch (status) {
    case 301:
    case 302:
    case 303:
    case 305:
    case 307:
    case 308:
        return true;
    default:
        return false;
    }
}

constexpr qint64 kReadBuffer = 16 * 1024;

// Host, port and path of the address, never its query.
QString where(const QUrl &address)
{
    return address.host() + u':' + QString::number(address.port(80)) +
           address.path(QUrl::FullyEncoded);
}

} // namespace

QByteArray probeAddress(QByteArrayView url)
{
    if (url.toByteArray().toLower().contains("http://"))
        return url.toByteArray();
    return QByteArray("http://").append(url);
}

ProbeResult ProbeUrl(QByteArrayView url, std::chrono::milliseconds timeout,
                     const http::CancelToken *cancel)
{
    const QUrl address = toUrl(probeAddress(url));
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() ||
        (scheme != u"http" && scheme != u"https")) {
        qCWarning(lcProbe) << "cannot request the version file: not an http or https address";
        return ProbeResult::Unreachable;
    }
    if (cancel && cancel->isCancelled()) {
        qCInfo(lcProbe).noquote() << "version file at" << where(address) << "cancelled";
        return ProbeResult::Cancelled;
    }

    QNetworkRequest request(address);
    request.setRawHeader("User-Agent", "InetURL:/1.0");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kProbeRedirectLimit);

    QNetworkAccessManager manager;
    manager.setProxyFactory(new SystemProxyFactory);
    const std::unique_ptr<QNetworkReply> reply(manager.get(request));
    // The last reply's body is never read: at most this much of it comes off the wire.
    reply->setReadBufferSize(kReadBuffer);

    QEventLoop loop;
    int status = 0;       // of the latest reply headers, 0 after a redirect
    bool settled = false; // that reply is known to be the last
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (mayBeFollowed(status)) {
            // Qt follows a redirect once it has its body, which it drops as it reads.
            reply->setReadBufferSize(0);
        } else if (status > 0) {
            settled = true;
            loop.quit();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::redirected, &loop, [&] {
        status = 0;
        reply->setReadBufferSize(kReadBuffer);
    });
    // An error is always followed by finished(), which may come later: aborting
    // in between would make Qt report the reply's end twice.
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, [&] {
        settled = true;
        loop.quit();
    });
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    QTimer ticker;
    if (cancel) {
        QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
            if (cancel->isCancelled())
                loop.quit();
        });
        ticker.start(http::kCancelSlice);
    }

    if (reply->isFinished()) {
        status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        settled = true;
    } else {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // Destroying the reply stops the transfer. abort() would too, but it reports an
    // error of its own even when Qt is about to report one.
    reply->disconnect(&loop);

    if (!settled && cancel && cancel->isCancelled()) {
        qCInfo(lcProbe).noquote() << "version file at" << where(address) << "cancelled";
        return ProbeResult::Cancelled;
    }
    if (!settled) {
        qCWarning(lcProbe).noquote() << "version file at" << where(address)
                                     << "gave no answer within" << qint64(timeout.count()) << "ms";
        return ProbeResult::Unreachable;
    }
    if (status <= 0) {
        qCWarning(lcProbe).noquote()
            << "version file at" << where(address) << "unreachable:" << reply->error();
        return ProbeResult::Unreachable;
    }
    if (status == 200 || status == 302)
        return ProbeResult::Current;
    if (status >= 500 && status <= 599) {
        qCWarning(lcProbe).noquote()
            << "version file at" << where(address) << "answered with server error" << status;
        return ProbeResult::ServerError;
    }
    qCWarning(lcProbe).noquote() << "version file at" << where(address) << "answered with status"
                                 << status << "(taken as an outdated version)";
    return ProbeResult::Outdated;
}

} // namespace orvane
