#include "table/forecast_rows.h"

#include "service/read_profit.h"
#include "service/replace_all.h"
#include "service/text_codec.h"
#include "table/league_flags.h"

using namespace Qt::StringLiterals;

namespace orvane {

void AddForecastRow(ForecastGrid &NG, const MatchRecord &record)
{
    using enum ForecastGridModel::Column;

    NG.AddRow();
    const int r = NG.RowCount() - 1;

    NG.SetCellText(Id, r, fromCp1251(record.id()));
    NG.SetCellImageIndex(Flag, r, LeagueFlagIndex(record.liga()));
    NG.SetCellHint(Flag, r, fromCp1251(record.liga()));
    NG.SetCellText(Time, r, fromCp1251(record.time()));
    NG.SetCellText(Home, r, fromCp1251(record.home()));
    NG.SetCellText(Away, r, fromCp1251(record.away()));
    NG.SetCellText(Bet, r, fromCp1251(record.bet()));
    NG.SetCellText(Odd, r, fromCp1251(ReplaceAll(record.kf(), ".", ",")));
    NG.SetCellText(Orvane, r, fromCp1251(record.orvane()));
    NG.SetCellText(Score, r, fromCp1251(record.score()));

    const QByteArrayView itog = record.itog();
    QColor outcome;
    if (itog == "+")
        outcome = QColor(0, 255, 0);
    else if (itog == "-")
        outcome = QColor(255, 0, 0);
    else if (itog == "=")
        outcome = QColor(0, 0, 255);
    if (outcome.isValid()) {
        NG.SetCellColor(Rez, r, outcome);
        NG.SetCellColor(Score, r, QColor(255, 128, 192));
        NG.SetCellHint(Score, r, u"Завершен"_s);
    }

    const qint32 p = readProfit(record.musum());
    NG.SetCellText(Rez, r, fromCp1251(itog));
    if (p > 0) {
        NG.SetCellText(Profit, r, QString::number(p));
        NG.SetCellColor(Profit, r, QColor(0, 64, 0));
    } else if (p < 0) {
        NG.SetCellText(Profit, r, QString::number(p));
        NG.SetCellColor(Profit, r, QColor(128, 0, 0));
    }
}

} // namespace orvane
