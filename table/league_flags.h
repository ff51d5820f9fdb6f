#pragma once

#include <QByteArrayView>
#include <QIcon>
#include <QImage>
#include <array>
#include <memory>
#include <string_view>

namespace orvane {

// The flag pictures of the forecast table: index 0 is a football, 1..102 the
// flags of the countries and bodies named in kLeagueFlagNames.
inline constexpr int kFlagCount = 103;
inline constexpr int kFlagSize = 16;

struct LeagueFlagName {
    std::string_view name;
    int index;
};

// Country text (before the first "." of a league) and its picture. Several
// names may share a picture; picture 49 has no name.
inline constexpr std::array<LeagueFlagName, 107> kLeagueFlagNames = {{
    {"Argentina", 1},      {"Armenia", 2},       {"Australia", 3},     {"Austria", 4},
    {"Bahrain", 5},        {"Belarus", 6},       {"Belgium", 7},       {"Bosnia", 8},
    {"Brazil", 9},         {"Bulgaria", 10},     {"Cameroon", 11},     {"Canada", 12},
    {"Chile", 13},         {"China", 14},        {"Colombia", 15},     {"Ecuador", 15},
    {"Costa Rica", 16},    {"Croatia", 17},      {"Cyprus", 18},       {"Czech Rep", 19},
    {"Denmark", 20},       {"Egypt", 21},        {"El Salvador", 22},  {"England", 23},
    {"Estonia", 24},       {"UEFA", 25},         {"AFC", 25},          {"CAF", 25},
    {"CONCACAF", 25},      {"CONMEBOL", 25},     {"FIFA", 25},         {"Finland", 26},
    {"France", 27},        {"Georgia", 28},      {"Germany", 29},      {"Greece", 30},
    {"Guatemala", 31},     {"Honduras", 32},     {"Hong Kong", 33},    {"Hungary", 34},
    {"Iceland", 35},       {"India", 36},        {"Indonesia", 37},    {"Iran", 38},
    {"Iraq", 39},          {"Ireland", 40},      {"Israel", 41},       {"Italy", 42},
    {"Japan", 43},         {"Jordan", 44},       {"Kazakhstan", 45},   {"Kuwait", 46},
    {"Lebanon", 47},       {"Lithuania", 48},    {"Malaysia", 50},     {"Mexico", 51},
    {"Moldova", 52},       {"Montenegro", 53},   {"Morocco", 54},      {"Holland", 55},
    {"New Zealand", 56},   {"Norway", 57},       {"Paraguay", 58},     {"Peru", 59},
    {"Philippines", 60},   {"Poland", 61},       {"Portugal", 62},     {"Qatar", 63},
    {"Romania", 64},       {"Russia", 65},       {"Saudi Arabia", 66}, {"Scotland", 67},
    {"Senegal", 68},       {"Serbia", 69},       {"Singapoure", 70},   {"Slovakia", 71},
    {"Slovenia", 72},      {"South Africa", 73}, {"South Korea", 74},  {"Spain", 75},
    {"Sweden", 76},        {"Switzerland", 77},  {"Thailand", 78},     {"Tunisia", 79},
    {"Turkey", 80},        {"Ukraine", 81},      {"UAE", 82},          {"United States", 83},
    {"Uruguay", 84},       {"Uzbekistan", 85},   {"Venezuela", 86},    {"Vietnam", 87},
    {"Wales", 88},         {"Yemen", 89},        {"Andorra", 90},      {"Nigeria", 91},
    {"Swaziland", 92},     {"Algeria", 93},      {"Syria", 94},        {"Malta", 95},
    {"Macedonia FYR", 96}, {"Albania", 97},      {"Kosovo", 98},       {"Azerbaijan", 99},
    {"Uganda", 100},       {"Latvia", 101},      {"Luxemburg", 102},
}};

// Picture index for a league text such as "England. Premier League": the
// text before the first "." looked up exactly (case and blanks count); 0 when
// there is no ".", the key is empty, or no name matches.
int LeagueFlagIndex(QByteArrayView liga);

// Picture `index` at scale 1 (16x16) or 2 (32x32); a null image for an index
// outside 0..102. Needs no QGuiApplication.
QImage flagImage(int index, int scale = 1);

// The small red waving flag of the flag column's header, 16x16 or 32x32.
QImage headerFlagImage(int scale = 1);

// The flag pictures for painting, each at 16x16 and 32x32 (for screens whose
// ratio is above 1). A value: copies share the pictures. A default-made set
// is empty and gives null icons. The bundled set decodes a picture when it is
// first asked for: no flag shows before the first forecasts arrive, and most
// replies name few countries.
class FlagImages {
public:
    FlagImages() = default;
    // Needs the QGuiApplication.
    static FlagImages bundled();

    int count() const { return m_store ? kFlagCount : 0; }
    bool isEmpty() const { return !m_store; }

    // Null outside 0..count() - 1. Call on the GUI thread only.
    QIcon icon(int index) const;
    QIcon headerIcon() const;

private:
    struct Store;
    std::shared_ptr<Store> m_store;
};

} // namespace orvane
