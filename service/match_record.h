#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QTypeInfo>
#include <array>

namespace orvane {

// One forecast of a reply: twelve 8-bit texts, each the value of the child
// element of the same name, empty when the element is missing. The values are
// ranges of one shared, never-modified text (the whole reply, or a copy of the
// forecast's own text), so a record costs at most one allocation however many
// fields it has.
class MatchRecord {
public:
    enum class Field { Id, Date, Time, Home, Away, Kf, Itog, Bet, Score, Liga, Orvane, Musum };
    static constexpr int kFieldCount = 12;

    // 32-bit offsets keep a record small; a forecast's text is never near 2 GiB
    // (the reader gives such a forecast no fields).
    struct Range {
        qint32 begin = 0;
        qint32 size = 0;
    };
    using Ranges = std::array<Range, kFieldCount>;

    MatchRecord() = default;
    // Every range must lie inside `text`.
    MatchRecord(QByteArray text, const Ranges &ranges) : m_text(std::move(text)), m_ranges(ranges)
    {
    }
    // A record holding exactly these values, in Field order.
    static MatchRecord fromValues(const std::array<QByteArrayView, kFieldCount> &values);

    QByteArrayView value(Field field) const
    {
        const Range range = m_ranges[std::size_t(field)];
        return QByteArrayView(m_text).sliced(range.begin, range.size);
    }

    QByteArrayView id() const { return value(Field::Id); }
    QByteArrayView date() const { return value(Field::Date); }
    QByteArrayView time() const { return value(Field::Time); }
    QByteArrayView home() const { return value(Field::Home); } // trimmed
    QByteArrayView away() const { return value(Field::Away); } // trimmed
    QByteArrayView kf() const { return value(Field::Kf); }     // odds, with a decimal point
    // "+", "-", "=", or anything for an open forecast
    QByteArrayView itog() const { return value(Field::Itog); }
    QByteArrayView bet() const { return value(Field::Bet); }
    QByteArrayView score() const { return value(Field::Score); }
    QByteArrayView liga() const { return value(Field::Liga); }     // "Country. League", trimmed
    QByteArrayView orvane() const { return value(Field::Orvane); } // the tipster
    QByteArrayView musum() const { return value(Field::Musum); }   // profit, an integer as text

    // Records that share one text share its buffer too.
    const char *sharedText() const { return m_text.constData(); }
    // The text the values are ranges of, and each value's range: a view can
    // keep these instead of copies of the values.
    const QByteArray &text() const { return m_text; }
    Range range(Field field) const { return m_ranges[std::size_t(field)]; }

    friend bool operator==(const MatchRecord &a, const MatchRecord &b)
    {
        for (int f = 0; f < kFieldCount; ++f) {
            if (a.value(Field(f)) != b.value(Field(f)))
                return false;
        }
        return true;
    }

private:
    QByteArray m_text;
    Ranges m_ranges{};
};

inline MatchRecord MatchRecord::fromValues(const std::array<QByteArrayView, kFieldCount> &values)
{
    QByteArray text;
    Ranges ranges;
    for (int f = 0; f < kFieldCount; ++f) {
        ranges[f] = {qint32(text.size()), qint32(values[f].size())};
        text.append(values[f]);
    }
    return MatchRecord(std::move(text), ranges);
}

} // namespace orvane

// A shared byte array and plain offsets: moving a record is a memcpy.
Q_DECLARE_TYPEINFO(orvane::MatchRecord, Q_RELOCATABLE_TYPE);
