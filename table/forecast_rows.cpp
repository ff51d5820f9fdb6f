#include "table/forecast_rows.h"

#include "service/read_profit.h"
#include "table/league_flags.h"

using namespace Qt::StringLiterals;

namespace orvane {

void AddForecastRow(ForecastGrid &NG, const MatchRecord &record)
{
    using enum ForecastGridModel::Column;
    using Field = MatchRecord::Field;

    // The row is filled first and joins the table whole. Its cells keep
    // ranges of the record's text, decoded when shown, so a large reply costs
    // no string per cell. "." to "," in the odds is the same before and after
    // decoding: both are ASCII.
    ForecastGridModel::NewRow row;
    const auto text = [&](int column, Field field, bool decimalComma = false) {
        row.setEncodedText(column, record.text(), record.range(field), decimalComma);
    };

    text(Id, Field::Id);
    row.setImageIndex(LeagueFlagIndex(record.liga()));
    row.setEncodedHint(Flag, record.text(), record.range(Field::Liga));
    text(Time, Field::Time);
    text(Home, Field::Home);
    text(Away, Field::Away);
    text(Bet, Field::Bet);
    text(Odd, Field::Kf, true);
    text(Orvane, Field::Orvane);
    text(Score, Field::Score);

    const QByteArrayView itog = record.itog();
    QColor outcome;
    if (itog == "+")
        outcome = QColor(0, 255, 0);
    else if (itog == "-")
        outcome = QColor(255, 0, 0);
    else if (itog == "=")
        outcome = QColor(0, 0, 255);
    if (outcome.isValid()) {
        row.setBackground(Rez, outcome);
        row.setBackground(Score, QColor(255, 128, 192));
        row.setHint(Score, u"Завершен"_s);
    }

    const qint32 p = readProfit(record.musum());
    text(Rez, Field::Itog);
    if (p > 0) {
        row.setText(Profit, QString::number(p));
        row.setBackground(Profit, QColor(0, 64, 0));
    } else if (p < 0) {
        row.setText(Profit, QString::number(p));
        row.setBackground(Profit, QColor(128, 0, 0));
    }
    NG.gridModel()->appendRow(std::move(row));
}

} // namespace orvane
