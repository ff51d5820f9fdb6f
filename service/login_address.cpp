#include "service/login_address.h"

namespace orvane {

QByteArray loginAddress(const Credentials &credentials, QByteArrayView serviceHost)
{
    QByteArray url;
    url.reserve(40 + serviceHost.size() + credentials.login.size() + credentials.password.size());
    url.append("http://").append(serviceHost).append("/login/orvane.php?login=");
    url.append(credentials.login).append("&pass=").append(credentials.password);
    return url;
}

QByteArray versionFileAddress(QByteArrayView serviceHost)
{
    return QByteArray("http://").append(serviceHost).append("/refresh/orvane5.txt");
}

} // namespace orvane
