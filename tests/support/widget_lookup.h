#pragma once

#include <QObject>
#include <QString>

namespace orvane::test {

// The child of `form` with the object name `name`; a missing one ends the test
// run, since every later step would only fail for the same reason.
template <class W> W *widget(const QObject &form, const char *name)
{
    W *found = form.findChild<W *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

} // namespace orvane::test
