#include "core/plss/plss_schema.h"

#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/second_divisions.h"

#include <QRegularExpression>
#include <QStringList>

#include <ogr_core.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Key
{
    const char16_t *name;
    QString PlssFields::*field;
};
const Key keys[] = {{u"section", &PlssFields::section},
                    {u"township", &PlssFields::township},
                    {u"township_direction", &PlssFields::townshipDirection},
                    {u"range", &PlssFields::range},
                    {u"range_direction", &PlssFields::rangeDirection},
                    {u"meridian", &PlssFields::meridian},
                    {u"township_code", &PlssFields::townshipCode},
                    {u"division_label", &PlssFields::secondLabel},
                    {u"division_type", &PlssFields::secondType},
                    {u"lot", &PlssFields::lot},
                    {u"quarter", &PlssFields::quarter},
                    {u"quarter_quarter", &PlssFields::quarterQuarter}};

// A number with an optional direction letter after it: "12N", "012", "15.5 S".
struct NumberAndLetter
{
    std::optional<double> number;
    QString letter;
};
NumberAndLetter splitNumber(const QString &text)
{
    static const QRegularExpression form(u"^\\s*(\\d+(?:\\.\\d+)?)\\s*([A-Za-z]?)\\s*$"_s);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toDouble(), m.captured(2).toUpper()};
}

AttributeIndex::Column numbers(std::size_t rows)
{
    AttributeIndex::Column c;
    c.ogrType = OFTReal;
    c.reals.assign(rows, 0);
    c.isNull.assign(rows, true);
    return c;
}

AttributeIndex::Column texts(std::size_t rows)
{
    AttributeIndex::Column c;
    c.ogrType = OFTString;
    c.texts.assign(rows, QString());
    c.isNull.assign(rows, true);
    return c;
}

void setNumber(AttributeIndex::Column &c, int row, double v)
{
    c.reals[std::size_t(row)] = v;
    c.isNull[std::size_t(row)] = false;
}

void setText(AttributeIndex::Column &c, int row, const QString &v)
{
    if (v.isEmpty())
        return;
    c.texts[std::size_t(row)] = v;
    c.isNull[std::size_t(row)] = false;
}

// Second divisions named: their label (or the quarter-quarter and quarter made one), type and
// lot as text columns the second-division reader finds.
void applyDivisionFields(VectorLayer &layer, const PlssFields &fields)
{
    const auto n = std::size_t(layer.featureCount());
    AttributeIndex::Column label = texts(n), type = texts(n), lot = texts(n);
    const auto field = [&layer](const QString &name) {
        return name.isEmpty() ? -1 : layer.fieldIndex(name);
    };
    const int fLabel = field(fields.secondLabel), fType = field(fields.secondType),
              fLot = field(fields.lot), fQuarter = field(fields.quarter),
              fQq = field(fields.quarterQuarter);
    for (int row = 0; row < int(n); ++row) {
        const auto text = [&layer, row](int f) {
            return f < 0 ? QString() : layer.value(row, f).toString().trimmed();
        };
        setText(label, row,
                fLabel >= 0 ? text(fLabel) : labelOfQuarters(text(fQuarter), text(fQq)));
        setText(type, row, text(fType));
        setText(lot, row, text(fLot));
    }
    layer.setDerivedColumn(plsscolumn::divisionLabel, std::move(label));
    layer.setDerivedColumn(plsscolumn::divisionType, std::move(type));
    layer.setDerivedColumn(plsscolumn::lot, std::move(lot));
}

} // namespace

std::optional<PlssFields> parsePlssFields(const QString &text, QString *error)
{
    PlssFields fields;
    const QStringList pairs = text.split(u',', Qt::SkipEmptyParts);
    for (const QString &pair : pairs) {
        const qsizetype eq = pair.indexOf(u'=');
        const QString key = pair.left(eq).trimmed().toLower();
        const QString value = eq < 0 ? QString() : pair.mid(eq + 1).trimmed();
        const Key *found = nullptr;
        for (const Key &k : keys) {
            if (key == QStringView(k.name))
                found = &k;
        }
        if (!found || value.isEmpty()) {
            *error = u"\""_s + pair.trimmed() +
                     u"\" is not KEY=FIELD with a key of section, township, township_direction, "
                     u"range, range_direction, meridian or township_code (or, for second "
                     u"divisions, division_label, division_type, lot, quarter or "
                     u"quarter_quarter)."_s;
            return std::nullopt;
        }
        fields.*(found->field) = value;
    }
    const bool sectionNamed =
        fields.namesSection() &&
        (!fields.townshipCode.isEmpty() || (!fields.township.isEmpty() && !fields.range.isEmpty()));
    if (fields.namesDivisions() && !fields.namesSection() && fields.township.isEmpty() &&
        fields.range.isEmpty() && fields.townshipCode.isEmpty())
        return fields;
    if (!sectionNamed) {
        *error = u"Name the section field and the township and range fields (or a township "
                 u"code field)."_s;
        return std::nullopt;
    }
    return fields;
}

QString plssFieldsText(const PlssFields &fields)
{
    QStringList pairs;
    for (const Key &k : keys) {
        if (!(fields.*(k.field)).isEmpty())
            pairs.append(QString::fromUtf16(k.name) + u'=' + fields.*(k.field));
    }
    return pairs.join(u',');
}

std::optional<PlssFields> blmSchemaFields(const VectorLayer &layer)
{
    if (layer.fieldIndex(u"PLSSID"_s) < 0 || layer.fieldIndex(u"FRSTDIVNO"_s) < 0)
        return std::nullopt;
    PlssFields f;
    f.section = u"FRSTDIVNO"_s;
    f.townshipCode = u"PLSSID"_s;
    if (layer.fieldIndex(u"FRSTDIVTYP"_s) >= 0)
        f.divisionType = u"FRSTDIVTYP"_s;
    return f;
}

std::optional<PlssId> decodePlssId(const QString &code)
{
    // SS MM TTT F D RRR F D X: state, meridian, township, fraction, direction, range, ...
    static const QRegularExpression form(
        u"^[A-Za-z]{2}(\\d{2})(\\d{3})([0-3])([NSns])(\\d{3})([0-3])([EWew])\\d?$"_s);
    const QRegularExpressionMatch m = form.match(code.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    // The fraction digit: 0 none, 1 a quarter, 2 a half, 3 three quarters.
    auto withFraction = [](const QString &number, const QString &fraction) {
        return number.toInt() + fraction.toInt() * 0.25;
    };
    PlssId id;
    id.meridian = m.captured(1).toInt();
    id.township = withFraction(m.captured(2), m.captured(3));
    id.townshipDirection = m.captured(4).toUpper();
    id.range = withFraction(m.captured(5), m.captured(6));
    id.rangeDirection = m.captured(7).toUpper();
    return id;
}

namespace {

// Whether every named field is there; the first that is not, named in `error`.
bool namedFieldsPresent(const VectorLayer &layer, const PlssFields &fields, QString *error)
{
    for (const Key &k : keys) {
        const QString &name = fields.*(k.field);
        if (!name.isEmpty() && layer.fieldIndex(name) < 0) {
            *error = u"The theme "_s + layer.name() + u" has no field "_s + name + u"."_s;
            return false;
        }
    }
    return true;
}

// The PLSS columns decoded from named fields, one value per feature.
struct SectionColumns
{
    AttributeIndex::Column section, township, tdir, range, rdir, meridian;
};

// Decodes every row's named fields into the columns. A value that must be a number and is not:
// false, with the field and the record named in `error`.
bool decodeRows(const VectorLayer &layer, const PlssFields &fields, SectionColumns &c,
                QString *error)
{
    auto field = [&layer](const QString &name) {
        return name.isEmpty() ? -1 : layer.fieldIndex(name);
    };
    const int fSection = field(fields.section), fTownship = field(fields.township),
              fTdir = field(fields.townshipDirection), fRange = field(fields.range),
              fRdir = field(fields.rangeDirection), fMeridian = field(fields.meridian),
              fCode = field(fields.townshipCode), fType = field(fields.divisionType);
    auto refuse = [&](const QString &name, int row, const QString &value) {
        *error = u"The field "_s + name + u" of the theme "_s + layer.name() + u" holds \""_s +
                 value + u"\" in record "_s + QString::number(row + 1) +
                 u", where a number is needed."_s;
        return false;
    };
    QString lastCode;
    std::optional<PlssId> lastId;
    for (int row = 0; row < layer.featureCount(); ++row) {
        auto text = [&layer, row](int f) {
            return f < 0 ? QString() : layer.value(row, f).toString().trimmed();
        };
        // Only sections are sections: protraction blocks, tracts and grants are not.
        if (fType >= 0 && text(fType).compare(u"SN"_s, Qt::CaseInsensitive) != 0)
            continue;
        const QString s = text(fSection);
        if (!s.isEmpty()) {
            const std::optional<double> v = parseNumber(s);
            if (!v && fCode < 0)
                return refuse(fields.section, row, s);
            if (v)
                setNumber(c.section, row, *v);
        }
        if (fCode >= 0) {
            // A code that does not decode leaves the row unfound; the others still work.
            // Sections of one township follow each other: each code is decoded once.
            if (const QString code = text(fCode); code != lastCode) {
                lastCode = code;
                lastId = decodePlssId(code);
            }
            if (const std::optional<PlssId> &id = lastId) {
                setNumber(c.township, row, id->township);
                setText(c.tdir, row, id->townshipDirection);
                setNumber(c.range, row, id->range);
                setText(c.rdir, row, id->rangeDirection);
                setNumber(c.meridian, row, id->meridian);
            }
            continue;
        }
        for (auto [f, dirField, name, numberCol, dirCol] :
             {std::tuple{fTownship, fTdir, fields.township, &c.township, &c.tdir},
              std::tuple{fRange, fRdir, fields.range, &c.range, &c.rdir}}) {
            const QString value = text(f);
            if (value.isEmpty())
                continue;
            const NumberAndLetter split = splitNumber(value);
            if (!split.number)
                return refuse(name, row, value);
            setNumber(*numberCol, row, *split.number);
            setText(*dirCol, row, dirField >= 0 ? text(dirField).toUpper() : split.letter);
        }
        if (const QString m = text(fMeridian); !m.isEmpty()) {
            const std::optional<double> v = parseNumber(m);
            if (!v)
                return refuse(fields.meridian, row, m);
            setNumber(c.meridian, row, *v);
        }
    }
    return true;
}

} // namespace

bool applyPlssFields(VectorLayer &layer, const PlssFields &fields, QString *error)
{
    // Every named field must be there before anything changes.
    if (!namedFieldsPresent(layer, fields, error))
        return false;
    if (fields.namesDivisions())
        applyDivisionFields(layer, fields);
    if (!fields.namesSection())
        return true;
    const auto n = std::size_t(layer.featureCount());
    // Without a meridian source the meridian column holds text: no typed meridian can be a
    // condition on it (see plssMeridianKnown).
    SectionColumns c{
        numbers(n),
        numbers(n),
        texts(n),
        numbers(n),
        texts(n),
        fields.meridian.isEmpty() && fields.townshipCode.isEmpty() ? texts(n) : numbers(n)};
    if (!decodeRows(layer, fields, c, error))
        return false;
    // A direction the table never gives is held as an empty column of numbers: no typed letter
    // can be a condition on it (see plssColumnKnown).
    for (AttributeIndex::Column *dir : {&c.tdir, &c.rdir}) {
        if (std::all_of(dir->isNull.begin(), dir->isNull.end(), [](bool b) { return b; }))
            *dir = numbers(n);
    }
    layer.setDerivedColumn(plsscolumn::section, std::move(c.section));
    layer.setDerivedColumn(plsscolumn::township, std::move(c.township));
    layer.setDerivedColumn(plsscolumn::townshipDirection, std::move(c.tdir));
    layer.setDerivedColumn(plsscolumn::range, std::move(c.range));
    layer.setDerivedColumn(plsscolumn::rangeDirection, std::move(c.rdir));
    layer.setDerivedColumn(plsscolumn::meridian, std::move(c.meridian));
    return true;
}

bool plssColumnKnown(const VectorLayer &layer, const QString &column)
{
    // Meridians are numbers, directions letters; a column of the other kind says "not given".
    return column == plsscolumn::meridian ? layer.isNumericField(column)
                                          : !layer.isNumericField(column);
}

bool hasNamedPlssFields(const VectorLayer &layer)
{
    return layer.fieldIndex(plsscolumn::section) >= 0;
}

bool prepareNamedPlssFields(VectorLayer &layer)
{
    if (hasNamedPlssFields(layer))
        return true;
    const std::optional<PlssFields> blm = blmSchemaFields(layer);
    QString error;
    return blm && applyPlssFields(layer, *blm, &error);
}
