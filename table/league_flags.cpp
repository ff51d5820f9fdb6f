#include "table/league_flags.h"

#include <QPixmap>
#include <QString>
#include <algorithm>

// Outside any namespace: the resource initialiser is declared at global scope.
static void initFlagResources()
{
    Q_INIT_RESOURCE(orvane_flags);
}

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

constexpr bool nameIndicesValid()
{
    std::array<int, kFlagCount> uses{};
    for (const LeagueFlagName &entry : kLeagueFlagNames) {
        if (entry.index < 1 || entry.index >= kFlagCount || entry.name.empty() ||
            entry.name.find('.') != std::string_view::npos)
            return false;
        ++uses[size_t(entry.index)];
    }
    for (int i = 1; i < kFlagCount; ++i) {
        if ((i == 49) != (uses[size_t(i)] == 0))
            return false;
    }
    return uses[15] == 2 && uses[25] == 6;
}
static_assert(nameIndicesValid(), "every picture but 0 and 49 needs a name, 49 none");

constexpr bool namesUnique()
{
    for (size_t i = 0; i < kLeagueFlagNames.size(); ++i)
        for (size_t j = i + 1; j < kLeagueFlagNames.size(); ++j)
            if (kLeagueFlagNames[i].name == kLeagueFlagNames[j].name)
                return false;
    return true;
}
static_assert(namesUnique());

QImage loadPicture(const QString &path)
{
    static const bool registered = (initFlagResources(), true);
    Q_UNUSED(registered);
    return QImage(path);
}

} // namespace

int LeagueFlagIndex(QByteArrayView liga)
{
    const qsizetype dot = liga.indexOf('.');
    if (dot <= 0)
        return 0;
    const std::string_view key(liga.data(), size_t(dot));
    const auto *match =
        std::find_if(kLeagueFlagNames.begin(), kLeagueFlagNames.end(),
                     [key](const LeagueFlagName &entry) { return entry.name == key; });
    return match == kLeagueFlagNames.end() ? 0 : match->index;
}

QImage flagImage(int index, int scale)
{
    if (index < 0 || index >= kFlagCount || (scale != 1 && scale != 2))
        return {};
    return loadPicture(u":/orvane/flags/flag_%1%2.png"_s.arg(index, 3, 10, QLatin1Char('0'))
                           .arg(scale == 2 ? u"@2x"_s : QString()));
}

QImage headerFlagImage(int scale)
{
    if (scale != 1 && scale != 2)
        return {};
    return loadPicture(scale == 2 ? u":/orvane/flags/header_flag@2x.png"_s
                                  : u":/orvane/flags/header_flag.png"_s);
}

namespace {

QIcon twoScales(const QImage &normal, const QImage &dense)
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(normal));
    QPixmap large = QPixmap::fromImage(dense);
    large.setDevicePixelRatio(2);
    icon.addPixmap(large);
    return icon;
}

} // namespace

// Each picture is made on its first use; the last entry is the header's.
struct FlagImages::Store {
    std::array<QIcon, kFlagCount + 1> icons;
};

FlagImages FlagImages::bundled()
{
    FlagImages images;
    images.m_store = std::make_shared<Store>();
    return images;
}

QIcon FlagImages::icon(int index) const
{
    if (!m_store || index < 0 || index >= kFlagCount)
        return {};
    QIcon &icon = m_store->icons[size_t(index)];
    if (icon.isNull())
        icon = twoScales(flagImage(index, 1), flagImage(index, 2));
    return icon;
}

QIcon FlagImages::headerIcon() const
{
    if (!m_store)
        return {};
    QIcon &icon = m_store->icons[kFlagCount];
    if (icon.isNull())
        icon = twoScales(headerFlagImage(1), headerFlagImage(2));
    return icon;
}

} // namespace orvane
