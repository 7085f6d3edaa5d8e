#include "core/plss/plss_query.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/meridians.h"
#include "core/plss/plss_schema.h"

#include <QRegularExpression>

#include <cmath>

using namespace Qt::StringLiterals;

bool isAlphaText(const QString &text)
{
    for (const QChar c : text) {
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')))
            return false;
    }
    return true;
}

namespace {

struct NumberWithDirection
{
    QString number;
    QString direction;
    bool ok = false;
};

// "12N" -> 12 and N; "12" -> 12 and no direction.
NumberWithDirection splitEntry(const QString &entry)
{
    NumberWithDirection out;
    QString numberText = entry;
    if (!entry.isEmpty() && isAlphaText(entry.right(1))) {
        out.direction = entry.right(1);
        numberText = entry.left(entry.size() - 1);
    }
    const auto value = parseNumber(numberText);
    if (!value)
        return out;
    out.number = formatNumber(*value);
    out.ok = true;
    return out;
}

QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\'', u"''"_s);
    return u"'"_s + escaped + u"'"_s;
}

} // namespace

std::optional<SectionDescription> parseSectionEntries(const SectionEntries &entries, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    SectionDescription d;
    const auto section = parseNumber(entries.section);
    if (!section)
        return fail(u"Enter the section number in the Section box."_s);
    const auto section16 = toInt16(*section);
    if (!section16)
        return fail(u"The number in the Section box is out of range."_s);
    d.section = *section16;

    const NumberWithDirection township = splitEntry(entries.township);
    if (!township.ok)
        return fail(u"Enter the township number, such as 12N, in the Township box."_s);
    const NumberWithDirection range = splitEntry(entries.range);
    if (!range.ok)
        return fail(u"Enter the range number, such as 34W, in the Range box."_s);
    d.township = township.number;
    d.townshipDirection = township.direction;
    d.range = range.number;
    d.rangeDirection = range.direction;
    d.townshipText = entries.township;
    d.rangeText = entries.range;

    // The meridian goes into the expressions unquoted, exactly as typed (06 stays 06), so it
    // must be a plain number and nothing that could change the expression.
    if (!entries.meridian.isEmpty()) {
        static const QRegularExpression plainNumber(u"^\\s*[0-9]+(\\.[0-9]+)?\\s*$"_s);
        if (!plainNumber.match(entries.meridian).hasMatch())
            return fail(u"Enter the principal meridian number in the Meridian box."_s);
        d.meridian = entries.meridian;
    }
    return d;
}

std::array<QString, 5> buildSectionExpressions(const SectionDescription &d)
{
    const QString s = QString::number(d.section);
    const QString &t = d.township;
    const QString &r = d.range;
    std::array<QString, 5> e = {
        u"section = "_s + s + u" and township = "_s + t + u" and range = "_s + r,
        u"sect = "_s + s + u" and twp = "_s + t + u" and rng = "_s + r,
        u"section = "_s + s + u" and township = '"_s + t + u"' and range = '"_s + r + u"'"_s,
        u"section = "_s + s + u" and qrv_twp = "_s + t + u" and qrv_range = "_s + r,
        u"section = "_s + s + u" and township = "_s + quoted(d.townshipText) + u" and range = "_s +
            quoted(d.rangeText),
    };
    if (!d.townshipDirection.isEmpty()) {
        const QString td = d.townshipDirection;
        e[0] += u" and base_side = '"_s + td + u"'"_s;
        e[1] += u" and tdir = '"_s + td + u"'"_s;
        e[2] += u" and base_side = '"_s + td + u"'"_s;
        e[3] += u" and base_side = '"_s + td.toUpper() + u"'"_s;
    }
    if (!d.rangeDirection.isEmpty()) {
        const QString rd = d.rangeDirection;
        e[0] += u" and meridian_s = '"_s + rd + u"'"_s;
        e[1] += u" and rdir = '"_s + rd + u"'"_s;
        e[2] += u" and meridiansi = '"_s + rd + u"'"_s;
        e[3] += u" and meridiansi = '"_s + rd.toUpper() + u"'"_s;
    }
    if (!d.meridian.isEmpty()) {
        for (int i = 0; i < 3; ++i)
            e[std::size_t(i)] += u" and meridian = "_s + d.meridian;
        e[3] += u" and qrv_mer = "_s + d.meridian;
    }
    return e;
}

QString namedFieldsExpression(const SectionDescription &d, const VectorLayer &theme)
{
    QString e = plsscolumn::section + u" = "_s + QString::number(d.section) + u" and "_s +
                plsscolumn::township + u" = "_s + d.township + u" and "_s + plsscolumn::range +
                u" = "_s + d.range;
    // A direction or meridian not typed is no condition.
    if (!d.townshipDirection.isEmpty() && plssColumnKnown(theme, plsscolumn::townshipDirection))
        e += u" and "_s + plsscolumn::townshipDirection + u" = '"_s +
             d.townshipDirection.toUpper() + u"'"_s;
    if (!d.rangeDirection.isEmpty() && plssColumnKnown(theme, plsscolumn::rangeDirection))
        e += u" and "_s + plsscolumn::rangeDirection + u" = '"_s + d.rangeDirection.toUpper() +
             u"'"_s;
    if (!d.meridian.isEmpty() && plssColumnKnown(theme, plsscolumn::meridian))
        e += u" and "_s + plsscolumn::meridian + u" = "_s + d.meridian;
    return e;
}

namespace {

// The section looked for, as messages name it: "Section 7, T12N R67W (6th PM)".
QString sectionName(const SectionDescription &d)
{
    QString name = u"Section "_s + QString::number(d.section) + u", T"_s + d.township +
                   d.townshipDirection + u" R"_s + d.range + d.rangeDirection;
    if (d.meridian.isEmpty())
        return name;
    const double code = d.meridian.trimmed().toDouble();
    return name + u" ("_s +
           (code == std::floor(code) && code < 1000 ? meridianShortName(int(code))
                                                    : u"meridian "_s + d.meridian.trimmed()) +
           u")"_s;
}

// Whether the theme has the fields of one of the five layouts (names without regard to case).
bool hasLayoutFields(const VectorLayer &vector)
{
    auto has = [&vector](const QString &name) { return vector.fieldIndex(name) >= 0; };
    return (has(u"section"_s) && has(u"township"_s) && has(u"range"_s)) ||
           (has(u"sect"_s) && has(u"twp"_s) && has(u"rng"_s));
}

} // namespace

bool isPlssSectionTheme(const MapLayer &layer)
{
    if (layer.layerType() != MapLayer::LayerType::Vector)
        return false;
    const auto &vector = static_cast<const VectorLayer &>(layer);
    // Sections are areas: points or lines with section fields give no corners to work from.
    if (vector.shapeType() != ShapeType::Polygons)
        return false;
    return hasLayoutFields(vector) || hasNamedPlssFields(vector) ||
           blmSchemaFields(vector).has_value();
}

bool recognisePlssSectionTheme(MapLayer &layer)
{
    if (!isPlssSectionTheme(layer))
        return false;
    prepareNamedPlssFields(static_cast<VectorLayer &>(layer));
    ::Symbol &symbol = static_cast<VectorLayer &>(layer).symbol();
    symbol.setFillStyle(FillStyle::Transparent);
    symbol.outlineColor = QColor(0, 255, 0); // green
    symbol.size = 2;
    return true;
}

std::shared_ptr<VectorLayer> findThemeByName(const LayerList &layers, const QString &name)
{
    for (const auto &layer : layers) {
        if (layer && layer->name() == name) {
            if (layer->layerType() != MapLayer::LayerType::Vector)
                return nullptr;
            return std::static_pointer_cast<VectorLayer>(layer);
        }
    }
    return nullptr;
}

std::optional<MapPolygon> findSectionPolygon(const VectorLayer &theme,
                                             const SectionEntries &entries,
                                             MessageService &messages)
{
    QString error;
    const auto description = parseSectionEntries(entries, &error);
    if (!description) {
        messages.show(error, MessageIcon::Stop);
        return std::nullopt;
    }
    // The five layouts first; a theme without their fields could answer none of them.
    const bool named = hasNamedPlssFields(theme);
    if (!named || hasLayoutFields(theme)) {
        for (const QString &expression : buildSectionExpressions(*description)) {
            const RecordSet records = theme.searchExpression(expression);
            if (!records.atEnd())
                return records.shape();
        }
    }
    if (named) {
        const RecordSet records =
            theme.searchExpression(namedFieldsExpression(*description, theme));
        if (!records.atEnd())
            return records.shape();
    }
    messages.show(u"Unable to locate PLSS section. "_s + sectionName(*description) +
                      u" is not in "_s + theme.fileName() + u"."_s,
                  MessageIcon::Stop);
    return std::nullopt;
}
