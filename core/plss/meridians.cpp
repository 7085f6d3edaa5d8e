#include "core/plss/meridians.h"

#include <algorithm>

using namespace Qt::StringLiterals;

const QList<PrincipalMeridian> &principalMeridians()
{
    static const QList<PrincipalMeridian> table = {
        {1, u"First Principal Meridian"_s},
        {2, u"Second Principal Meridian"_s},
        {3, u"Third Principal Meridian"_s},
        {4, u"Fourth Principal Meridian"_s},
        {5, u"Fifth Principal Meridian"_s},
        {6, u"Sixth Principal Meridian"_s},
        {7, u"Black Hills Meridian"_s},
        {8, u"Boise Meridian"_s},
        {9, u"Chickasaw Meridian"_s},
        {10, u"Choctaw Meridian"_s},
        {11, u"Cimarron Meridian"_s},
        {12, u"Copper River Meridian"_s},
        {13, u"Fairbanks Meridian"_s},
        {14, u"Gila and Salt River Meridian"_s},
        {15, u"Humboldt Meridian"_s},
        {16, u"Huntsville Meridian"_s},
        {17, u"Indian Meridian"_s},
        {18, u"Louisiana Meridian"_s},
        {19, u"Michigan Meridian"_s},
        {20, u"Principal Meridian Montana"_s},
        {21, u"Mount Diablo Meridian"_s},
        {22, u"Navajo Meridian"_s},
        {23, u"New Mexico Principal Meridian"_s},
        {24, u"St. Helena Meridian"_s},
        {25, u"St. Stephens Meridian"_s},
        {26, u"Salt Lake Meridian"_s},
        {27, u"San Bernardino Meridian"_s},
        {28, u"Seward Meridian"_s},
        {29, u"Tallahassee Meridian"_s},
        {30, u"Uintah Special Meridian"_s},
        {31, u"Ute Meridian"_s},
        {32, u"Washington Meridian"_s},
        {33, u"Willamette Meridian"_s},
        {34, u"Wind River Meridian"_s},
        {35, u"Ohio River Survey"_s},
        {36, u"Between the Miamis"_s},
        {37, u"Muskingum River Survey"_s},
        {38, u"Ohio River Base"_s},
        {39, u"First Scioto River Base"_s},
        {40, u"Second Scioto River Base"_s},
        {41, u"Third Scioto River Base"_s},
        {42, u"Ellicott's Line"_s},
        {43, u"Twelve-Mile Square"_s},
        {44, u"Kateel River Meridian"_s},
        {45, u"Umiat Meridian"_s},
        {46, u"Fourth Principal Meridian Extended"_s},
        {47, u"West of the Great Miami"_s},
        {48, u"U.S. Military Survey"_s},
    };
    return table;
}

const PrincipalMeridian *meridianByCode(int code)
{
    const auto &table = principalMeridians();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [code](const PrincipalMeridian &m) { return m.code == code; });
    return it == table.end() ? nullptr : &*it;
}

QStringList meridianAbbreviations(int code)
{
    static const QList<std::pair<int, QStringList>> table = {
        {8, {u"BM"_s}},
        {14, {u"GSRM"_s, u"GSRBM"_s}},
        {15, {u"HM"_s}},
        {21, {u"MDM"_s, u"MDBM"_s}},
        {23, {u"NMPM"_s}},
        {26, {u"SLM"_s, u"SLBM"_s}},
        {27, {u"SBM"_s, u"SBBM"_s}},
        {31, {u"UM"_s}},
        {33, {u"WM"_s}},
    };
    for (const auto &[c, abbreviations] : table) {
        if (c == code)
            return abbreviations;
    }
    return {};
}

QString meridianShortName(int code)
{
    static const QString ordinals[] = {u"1st"_s, u"2nd"_s, u"3rd"_s, u"4th"_s, u"5th"_s, u"6th"_s};
    if (code >= 1 && code <= 6)
        return ordinals[code - 1] + u" PM"_s;
    const QStringList abbreviations = meridianAbbreviations(code);
    return abbreviations.isEmpty() ? u"meridian "_s + QString::number(code) : abbreviations.first();
}
