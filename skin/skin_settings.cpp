#include "skin/skin_settings.h"

namespace orvane {
namespace {

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
        --end;
    return text.sliced(begin, end - begin);
}

SkinSettingsRead failure(int line, const char *what)
{
    return {std::nullopt, QStringLiteral("line %1: %2").arg(line).arg(QLatin1StringView(what))};
}

} // namespace

QList<QByteArrayView> splitValue(QByteArrayView value, char separator)
{
    QList<QByteArrayView> parts;
    qsizetype start = 0;
    for (qsizetype at; (at = value.indexOf(separator, start)) >= 0; start = at + 1)
        parts.append(value.sliced(start, at - start));
    parts.append(value.sliced(start));
    return parts;
}

std::optional<QByteArray> SkinSection::value(QByteArrayView key) const
{
    for (const SkinSetting &setting : settings) {
        if (setting.key == key)
            return setting.value;
    }
    return std::nullopt;
}

const SkinSection *SkinSettings::section(QByteArrayView name) const
{
    for (const SkinSection &candidate : sections) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

SkinSettingsRead parseSkinSettings(QByteArrayView text)
{
    SkinSettings result;
    int number = 0;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QByteArrayView line = trimmed(text.sliced(start, end - start));
        start = end + 1;
        ++number;

        if (line.isEmpty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3)
                return failure(number, "a section header must read [NAME]");
            const QByteArrayView name = trimmed(line.sliced(1, line.size() - 2));
            if (result.section(name))
                return failure(number, "this section was given before");
            result.sections.append({name.toByteArray(), {}});
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            return failure(number, "expected key=value");
        if (result.sections.isEmpty())
            return failure(number, "a setting before the first section");
        const QByteArrayView key = trimmed(line.first(equals));
        if (key.isEmpty())
            return failure(number, "a setting without a key");
        SkinSection &section = result.sections.back();
        if (section.value(key))
            return failure(number, "this key was given before in its section");
        section.settings.append(
            {key.toByteArray(), trimmed(line.sliced(equals + 1)).toByteArray(), number});
    }
    return {std::move(result), {}};
}

} // namespace orvane
