#include "tools/make_art/emoji_library.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

bool EmojiLibrary::load(const QStringList &files)
{
    for (const QString &file : files) {
        const QString path = m_package.filePath(u"icons/"_s + file);
        auto renderer = std::make_unique<QSvgRenderer>(path);
        if (!renderer->isValid()) {
            m_error = u"cannot read "_s + path;
            return false;
        }
        m_renderers[file] = std::move(renderer);
    }
    return true;
}

QString EmojiLibrary::packageVersion() const
{
    QFile manifest(m_package.filePath(u"package.json"_s));
    if (!manifest.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(manifest.readAll()).object().value(u"version"_s).toString();
}

QStringList EmojiLibrary::files() const
{
    QStringList names;
    for (const auto &entry : m_renderers)
        names << entry.first;
    return names;
}

void EmojiLibrary::draw(QPainter &painter, const QString &file, const QRectF &rect,
                        bool mirrored) const
{
    const auto found = m_renderers.find(file);
    Q_ASSERT(found != m_renderers.end());
    painter.save();
    if (mirrored) {
        painter.translate(rect.left() + rect.right(), 0);
        painter.scale(-1, 1);
    }
    found->second->render(&painter, rect);
    painter.restore();
}
