#include "tools/demo_service/demo_reply.h"

#include <QString>
#include <QStringEncoder>
#include <cmath>
#include <iterator>
#include <map>

namespace orvane::demo {

namespace {

enum class Outcome { Win, HalfWin, Refund, HalfLoss, Loss, Running, Upcoming };

struct Forecast {
    const char *date;
    const char *time;
    const char *liga;
    const char *home;
    const char *away;
    const char *bet;
    const char *kf;
    const char *tipster;
    const char *score;
    Outcome outcome;
};

constexpr int kStake = 100;

// clang-format off
// UTF-8 here; the reply goes out in Windows-1251. Scores agree with the bets,
// settled on ninety minutes.
constexpr Forecast kForecasts[] = {
    {"12.03.2026", "18:30", "Russia. Premier League", "Звезда Приозёрск", "Металлург Каменск", "П1", "1.85", "Сергей В.", "2:0", Outcome::Win},
    {"12.03.2026", "19:00", "Ukraine. Premier League", "Ворскла Степове", "Колос Підгірне", "ТБ 2.5", "1.92", "Игорь Л.", "1:1", Outcome::Loss},
    {"12.03.2026", "19:45", "England. Premier League", "Kingsbridge City", "Northfield United", "1X", "1.40", "Orvane Pro", "3:1", Outcome::Win},
    {"12.03.2026", "20:00", "Czech Rep. 1. Liga", "FK Vltavin", "Slavoj Brezno", "ТМ 2.5", "1.75", "Jens T.", "0:0", Outcome::Win},
    {"12.03.2026", "20:45", "Italy. Serie A", "AC Valdoro", "US Castelmonte", "Х", "3.20", "Mark S.", "1:2", Outcome::Loss},
    {"12.03.2026", "21:00", "Spain. Primera Division", "Real Montalban", "CD Albarrosa", "Ф1(-1.5)", "2.05", "Анна К.", "3:0", Outcome::Win},
    {"12.03.2026", "21:00", "Germany. Bundesliga", "FC Rheinfeld", "SV Altenburg 04", "ОЗ", "1.70", "Orvane Pro", "2:2", Outcome::Win},
    {"12.03.2026", "22:00", "Portugal. Primeira Liga", "Sporting Alvorada", "FC Ribeira", "П2", "3.60", "Jens T.", "1:0", Outcome::Loss},
    {"13.03.2026", "13:00", "Japan. J1 League", "Kisarazu Blaze", "Hakone Vortex", "ТБ 2.25", "1.88", "Mark S.", "1:1", Outcome::HalfLoss},
    {"13.03.2026", "15:00", "Kazakhstan. Premier League", "Жетысу Алатау", "Кайрат Степной", "Ф1(0)", "1.95", "Сергей В.", "0:0", Outcome::Refund},
    {"13.03.2026", "16:00", "Belarus. Vysshaya Liga", "Луч Палессе", "Граніт Заўгор'е", "П1", "2.30", "Игорь Л.", "2:1", Outcome::Win},
    {"13.03.2026", "17:00", "Turkey. Super Lig", "Karadeniz SK", "Anadolu Gencler", "12", "1.33", "Анна К.", "0:0", Outcome::Loss},
    {"13.03.2026", "18:00", "Holland. Eredivisie", "Sparta Zeewolde", "VV Polderland", "ТБ 3", "1.80", "Jens T.", "2:1", Outcome::Refund},
    {"13.03.2026", "19:00", "Poland. Ekstraklasa", "Wisla Sandomierz", "Odra Brzeg", "X2", "1.55", "Mark S.", "0:1", Outcome::Win},
    {"13.03.2026", "19:30", "Scotland. Premiership", "Glenross Thistle", "Inverbay FC", "ТБ 1.5", "1.45", "Orvane Pro", "2:0", Outcome::Win},
    {"13.03.2026", "19:45", "England. Championship", "Millbrook Wanderers", "Castleton FC", "П1", "2.10", "Сергей В.", "0:2", Outcome::Loss},
    {"13.03.2026", "20:30", "France. Ligue 1", "Olympique Sainte-Claire", "AS Belleville", "Ф2(+0.25)", "1.90", "Анна К.", "1:1", Outcome::HalfWin},
    {"13.03.2026", "20:45", "Croatia. HNL", "NK Sokol Zadar", "HNK Drava", "ИТБ1(1.5)", "2.15", "Игорь Л.", "2:2", Outcome::Win},
    {"13.03.2026", "21:00", "Macedonia FYR. First League", "Езерани Струга", "Козјак Кратово", "П1", "1.65", "Сергей В.", "1:0", Outcome::Win},
    {"13.03.2026", "21:00", "Luxemburg. National Division", "Union Mosel", "Jeunesse Kayl", "ТМ 3.5", "1.50", "Jens T.", "3:2", Outcome::Loss},
    {"14.03.2026", "00:30", "Brazil. Serie A", "EC Serrano", "Uniao Cerrado", "Х", "3.10", "Mark S.", "1:1", Outcome::Win},
    {"14.03.2026", "02:00", "Argentina. Primera Division", "Club Atletico Pampas", "Estrella del Sur", "П1", "1.95", "Анна К.", "2:1", Outcome::Win},
    {"14.03.2026", "03:30", "United States. MLS", "Cascade FC", "Lakeshore SC", "ТБ 2.5", "1.72", "Orvane Pro", "3:3", Outcome::Win},
    {"14.03.2026", "14:00", "Serbia. Cup", "Слога Краљево", "Јединство Ужице", "Х", "3.05", "Игорь Л.", "1:1 (пен. 3:4)", Outcome::Win},
    {"14.03.2026", "15:00", "Sweden. Allsvenskan", "IFK Fjallby", "Malarens BK", "ОЗ", "1.83", "Jens T.", "2:1", Outcome::Win},
    {"14.03.2026", "16:00", "Wales. Premier League", "Llanferrin Town", "Aberwern FC", "П2", "2.60", "Mark S.", "1:1", Outcome::Loss},
    {"14.03.2026", "16:30", "Russia. Premier League", "Динамо Верхнеречье", "Торпедо Ясногорск", "ТМ 2.5", "1.68", "Сергей В.", "1:0", Outcome::Win},
    {"14.03.2026", "17:00", "Norway. Eliteserien", "Fjordane IL", "Tromsdalen Nord", "Ф1(-1)", "2.25", "Jens T.", "2:1", Outcome::Refund},
    {"14.03.2026", "17:30", "Ukraine. Premier League", "Дніпро-Лиман", "Буковина Яремче", "X2", "1.60", "Игорь Л.", "1:2", Outcome::Win},
    {"14.03.2026", "18:30", "England. Premier League", "Stoke & Trent Albion", "Westmoor Town", "П1", "1.90", "Orvane Pro", "2:0", Outcome::Win},
    {"14.03.2026", "19:00", "Ecuador. Serie A", "Club Andino", "Deportivo Costa", "ТБ 2.5", "2.00", "Анна К.", "1:0", Outcome::Loss},
    {"14.03.2026", "20:00", "Europe. Club Friendlies", "Сокол Ладожск", "FC Rheinfeld", "П2", "1.75", "Сергей В.", "0:3", Outcome::Win},
    {"14.03.2026", "20:45", "Spain. Primera Division", "Atletico Sierra", "UD Costa Brava", "ТМ 2.5", "1.62", "Анна К.", "1:1", Outcome::Win},
    {"14.03.2026", "21:00", "Faroe Islands. Premier League", "Streymur IF", "Nordoy FC", "П1", "2.40", "Mark S.", "0:0", Outcome::Loss},
    {"15.03.2026", "14:00", "Italy. Serie A", "FC Portofino", "Sporting Lucerna", "ТБ 2.5", "1.95", "Mark S.", "3:1", Outcome::Win},
    {"15.03.2026", "16:30", "Germany. Bundesliga", "Borussia Talheim", "TSV Grunwald", "П1", "1.57", "Orvane Pro", "1:1", Outcome::Loss},
    {"15.03.2026", "19:00", "Russia. Premier League", "Сокол Ладожск", "Энергия Белогорье", "П1", "2.20", "Сергей В.", "", Outcome::Running},
    {"15.03.2026", "21:00", "Turkey. Super Lig", "Anadolu Gencler", "Bosphorus Yildiz", "ТБ 2.5", "1.85", "Анна К.", "", Outcome::Running},
    {"16.03.2026", "20:00", "Czech Rep. 1. Liga", "Slavoj Brezno", "Dukla Horice", "П1", "2.05", "Jens T.", "", Outcome::Upcoming},
    {"16.03.2026", "22:00", "Portugal. Primeira Liga", "FC Ribeira", "Maritimo Lagos", "X2", "1.48", "Mark S.", "", Outcome::Upcoming},
    {"17.03.2026", "19:45", "UEFA. Champions League", "Kingsbridge City", "Звезда Приозёрск", "П1", "1.62", "Orvane Pro", "", Outcome::Upcoming},
    {"17.03.2026", "22:00", "UEFA. Champions League", "FC Rheinfeld", "Real Montalban", "ОЗ", "1.66", "Mark S.", "", Outcome::Upcoming},
    {"18.03.2026", "19:45", "UEFA. Champions League", "AC Valdoro", "Olympique Sainte-Claire", "ТМ 2.5", "1.80", "Jens T.", "", Outcome::Upcoming},
    {"19.03.2026", "20:00", "UEFA. Europa League", "Ворскла Степове", "Sporting Alvorada", "X2", "1.70", "Игорь Л.", "", Outcome::Upcoming},
    {"19.03.2026", "22:00", "UEFA. Europa League", "Glenross Thistle", "Atletico Sierra", "Ф2(-1)", "2.35", "Анна К.", "", Outcome::Upcoming},
    {"21.03.2026", "14:00", "Kazakhstan. Premier League", "Кайрат Степной", "Тобол Ертіс", "П1", "1.90", "Сергей В.", "", Outcome::Upcoming},
    {"21.03.2026", "16:00", "England. Premier League", "Ashford Rovers", "Harlow Athletic", "ТБ 2.5", "1.75", "Orvane Pro", "", Outcome::Upcoming},
    {"21.03.2026", "18:30", "Spain. Primera Division", "CD Albarrosa", "Racing Almendral", "Х", "3.40", "Анна К.", "", Outcome::Upcoming},
    {"22.03.2026", "16:00", "Russia. Premier League", "Металлург Каменск", "Динамо Верхнеречье", "ТМ 2.5", "1.70", "Сергей В.", "", Outcome::Upcoming},
    {"22.03.2026", "18:00", "Holland. Eredivisie", "VV Polderland", "FC Dijkstad", "П2", "2.50", "Jens T.", "", Outcome::Upcoming},
};
// clang-format on

QString mark(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Win:
    case Outcome::HalfWin:
        return QStringLiteral("+");
    case Outcome::Refund:
        return QStringLiteral("=");
    case Outcome::HalfLoss:
    case Outcome::Loss:
        return QStringLiteral("-");
    case Outcome::Running:
    case Outcome::Upcoming:
        break;
    }
    return {};
}

// Whole units on a stake of 100; a half result (quarter lines) wins or loses half of it.
int profitOf(const Forecast &forecast)
{
    const int net = int(std::lround(QByteArray(forecast.kf).toDouble() * kStake)) - kStake;
    switch (forecast.outcome) {
    case Outcome::Win:
        return net;
    case Outcome::HalfWin:
        return net / 2;
    case Outcome::HalfLoss:
        return -kStake / 2;
    case Outcome::Loss:
        return -kStake;
    case Outcome::Refund:
    case Outcome::Running:
    case Outcome::Upcoming:
        break;
    }
    return 0;
}

void appendElement(QString &out, const char *name, const QString &value)
{
    const QString tag = QString::fromLatin1(name);
    out += u'<' + tag + u'>' + value + QStringLiteral("</") + tag + u'>';
}

QString buildText(int count)
{
    QString matches;
    int total = 0;
    for (int index = 1; index <= count; ++index) {
        const Forecast &f = kForecasts[(index - 1) % std::size(kForecasts)];
        const int profit = profitOf(f);
        total += profit;
        QString musum; // a forecast still to be played has no profit yet
        if (f.outcome != Outcome::Upcoming)
            musum = QString::number(profit);

        matches += QStringLiteral("<match n=\"%1\">").arg(index);
        appendElement(matches, "id", QString::number(2603000 + index));
        appendElement(matches, "date", QString::fromUtf8(f.date));
        appendElement(matches, "time", QString::fromUtf8(f.time));
        appendElement(matches, "home", QString::fromUtf8(f.home));
        appendElement(matches, "away", QString::fromUtf8(f.away));
        appendElement(matches, "kf", QString::fromUtf8(f.kf));
        appendElement(matches, "itog", mark(f.outcome));
        appendElement(matches, "bet", QString::fromUtf8(f.bet));
        appendElement(matches, "score", QString::fromUtf8(f.score));
        appendElement(matches, "liga", QString::fromUtf8(f.liga));
        appendElement(matches, "orvane", QString::fromUtf8(f.tipster));
        appendElement(matches, "musum", musum);
        matches += QStringLiteral("</match>\n");
    }

    QString text;
    appendElement(text, "PODPISKA", QStringLiteral("VIP до 31.12.2026"));
    text += u'\n';
    appendElement(text, "profit", QString::number(total));
    text += u'\n';
    return text + matches;
}

} // namespace

QByteArray forecastReply(int count)
{
    // Large replies take a while to build: each count is built once.
    static std::map<int, QByteArray> built;
    if (count < 0)
        return {};
    if (const auto found = built.find(count); found != built.end())
        return found->second;
    QStringEncoder encoder("windows-1251");
    if (!encoder.isValid())
        return {};
    QByteArray bytes = encoder.encode(buildText(count));
    if (encoder.hasError())
        return {};
    built.emplace(count, bytes);
    return bytes;
}

QByteArray refusalReply()
{
    return QByteArray("Login Failed");
}

} // namespace orvane::demo
