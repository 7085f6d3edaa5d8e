#include "gui/calculators/well_calculator.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/coords/coordinate_entry.h"
#include "core/engine/map_graphics.h"
#include "core/engine/vector_layer.h"
#include "core/plss/description_reader.h"
#include "core/plss/legal_description.h"
#include "core/plss/meridians.h"
#include "core/plss/plss_query.h"
#include "core/plss/plss_schema.h"
#include "core/plss/reverse_location.h"
#include "core/plss/second_divisions.h"
#include "core/plss/well_location.h"
#include "gui/calculators/calculator_host.h"
#include "gui/common/app_settings.h"
#include "gui/common/busy_cursor.h"
#include "gui/map/map.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

CalculatorHost::~CalculatorHost() = default;

QString noSectionThemeMessage()
{
    return u"No PLSS section theme in this map. Add one, or name the fields of this theme with "
           u"Themes > PLSS Fields..."_s;
}

void CalculatorHost::sectionThemeMissing()
{
    messages().show(noSectionThemeMessage(), MessageIcon::Exclamation);
}

namespace {

// The black quarter lines of a result; they go when the next result or a failure comes.
void addQuarterLines(MapGraphics &graphics, const QList<QuarterLine> &lines)
{
    for (const QuarterLine &l : lines) {
        auto line = std::make_shared<LineSymbol>();
        line->color = Qt::black;
        line->addPoint(l.from);
        line->addPoint(l.to);
        graphics.addSymbol(line, MapGraphics::Lifetime::LastResult);
    }
}

} // namespace

bool WellCalculator::addTheme(const std::shared_ptr<MapLayer> &mTheme, bool restyle)
{
    if (!mTheme || mTheme->layerType() != MapLayer::LayerType::Vector)
        return false;
    prepareNamedPlssFields(static_cast<VectorLayer &>(*mTheme)); // a theme in BLM's schema
    const bool restyled = restyle && recognisePlssSectionTheme(*mTheme);
    // A name already listed finds the same theme: listing it twice would offer nothing new.
    if ((restyled || isPlssSectionTheme(*mTheme)) &&
        m_sectionThemes->findText(mTheme->name(), Qt::MatchFixedString | Qt::MatchCaseSensitive) <
            0) {
        m_sectionThemes->addItem(mTheme->name());
        m_reverseThemes->addItem(mTheme->name());
    }
    if (m_sectionThemes->count() >= 1) {
        m_sectionThemes->setCurrentIndex(0);
        m_reverseThemes->setCurrentIndex(0);
    }
    return restyled;
}

std::shared_ptr<VectorLayer> WellCalculator::listedTheme(const QComboBox *list)
{
    if (list->currentIndex() < 0) {
        m_view->sectionThemeMissing();
        return nullptr;
    }
    const QString name = list->currentText();
    if (auto theme = findThemeByName(m_view->themes(), name))
        return theme;
    // The theme was deleted or replaced since it was listed: say so and list it no more.
    m_view->messages().show(u"The theme "_s + name + u" is no longer on the map."_s,
                            MessageIcon::Exclamation);
    removeMissingThemes();
    return nullptr;
}

void WellCalculator::updateGeographicInputs()
{
    const int mode = m_angleFormat->currentIndex();
    for (QLineEdit *minutes : {m_latitudeMinutes, m_longitudeMinutes})
        minutes->setEnabled(mode != 0);
    for (QLineEdit *seconds : {m_latitudeSeconds, m_longitudeSeconds})
        seconds->setEnabled(mode != 0 && mode != 1);
}

QWidget *WellCalculator::hostWidget() const
{
    return dynamic_cast<QWidget *>(m_view);
}

void WellCalculator::refreshMap()
{
    if (m_view && m_view->map())
        m_view->map()->refreshOverlays();
}

void WellCalculator::clearMarks()
{
    if (!m_view)
        return;
    m_view->map()->graphics().removeAll();
    refreshMap();
}

void WellCalculator::clearForwardResult()
{
    m_easting->clear();
    m_northing->clear();
    m_precision->clear();
    if (m_view) {
        // Redrawn at once: a calculation that ends early must not leave the last answer's
        // quarter lines on the map as if they were its own.
        m_view->map()->graphics().removeLastResult();
        refreshMap();
    }
}

void WellCalculator::clearReverseResult()
{
    for (QLineEdit *box : reverseResultBoxes())
        box->clear();
    if (m_view) {
        m_view->map()->graphics().removeLastResult();
        refreshMap();
    }
}

QList<QLineEdit *> WellCalculator::reverseResultBoxes() const
{
    return {m_reverseSection,         m_reverseTownship,
            m_reverseRange,           m_reverseMeridian,
            m_reverseCall160,         m_reverseCall40,
            m_reverseCall10,          m_reverseCall2_5,
            m_reverseFootageEastWest, m_reverseFootageNorthSouth,
            m_reverseDescription,     m_reverseDivision};
}

QList<QLineEdit *> WellCalculator::geographicBoxes() const
{
    return {m_latitude,  m_latitudeMinutes,  m_latitudeSeconds,
            m_longitude, m_longitudeMinutes, m_longitudeSeconds};
}

void WellCalculator::clearResults()
{
    clearForwardResult();
    clearReverseResult();
    for (QLineEdit *box : {m_convertedEasting, m_convertedNorthing})
        box->clear();
}

void WellCalculator::reset()
{
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->clear();
    for (QComboBox *list : {m_call160, m_call40, m_call10, m_call2_5})
        list->setCurrentIndex(0);
    // The wells' marks belong to the map they were located on; the wells stay listed for
    // export.
    clearMarks();
}

QString WellCalculator::meridianEntry() const
{
    // "26 Salt Lake" as shown is read as 26; anything else typed goes to the lookup as it is.
    QString text = m_meridian->text().trimmed();
    QString first = text.section(u' ', 0, 0);
    bool isNumber = false;
    const int code = first.toInt(&isNumber);
    if (isNumber && text.size() > first.size() && text == meridianLabel(code))
        return first;
    return text;
}

void WellCalculator::showMeridian(const QString &entry)
{
    bool isNumber = false;
    const int code = entry.trimmed().toInt(&isNumber);
    m_meridian->setText(isNumber && meridianByCode(code) ? meridianLabel(code) : entry);
}

void WellCalculator::removeMissingThemes()
{
    const LayerList themes = m_view ? m_view->themes() : LayerList();
    for (QComboBox *combo : {m_sectionThemes, m_reverseThemes}) {
        const int chosen = combo->currentIndex();
        for (int i = combo->count() - 1; i >= 0; --i) {
            if (!findThemeByName(themes, combo->itemText(i)))
                combo->removeItem(i);
        }
        // A chosen theme that went: the next listed one (the last when it was last).
        if (combo->currentIndex() < 0 && combo->count() > 0)
            combo->setCurrentIndex(std::min(chosen, combo->count() - 1));
    }
}

void WellCalculator::writeUtmResult(QLineEdit *eastingBox, QLineEdit *northingBox,
                                    const QString &easting, const QString &northing)
{
    // Every UTM result also goes to the reverse tab, ready for locating it in the PLSS.
    eastingBox->setText(easting);
    northingBox->setText(northing);
    m_reverseEasting->setText(easting);
    m_reverseNorthing->setText(northing);
}

const QStringList WellCalculator::LocatedWellsHeader = {
    u"located_by"_s, u"section"_s, u"township"_s, u"range"_s,     u"meridian"_s,
    u"q160"_s,       u"q40"_s,     u"q10"_s,      u"q2_5"_s,      u"fc_x"_s,
    u"fc_y"_s,       u"easting"_s, u"northing"_s, u"radius_ft"_s, u"method"_s};

void WellCalculator::recordWell(const QString &how, const MapPoint &point, const WellLocation *w)
{
    QStringList row{how, m_section->text().trimmed(), m_township->text().trimmed(),
                    m_range->text().trimmed(), meridianEntry()};
    for (const QComboBox *list : {m_call160, m_call40, m_call10, m_call2_5})
        row.append(list->currentIndex() > 0 ? list->currentText() : QString());
    row << m_footageEastWest->text().trimmed() << m_footageNorthSouth->text().trimmed()
        << QString::number(point.X, 'f', 2) << QString::number(point.Y, 'f', 2)
        << (w ? formatNumber(roundTo(w->radiusFeet, 0)) : QString()) << (w ? w->method : QString());
    m_locatedRows.append(row);
    m_locatedPoints.append(point);
    auto mark = std::make_shared<WellMarkSymbol>();
    mark->center = point;
    mark->number = int(m_locatedPoints.size());
    m_view->map()->graphics().addSymbol(mark);
}

void WellCalculator::locateByQuarterCalls()
{
    if (!m_view)
        return;
    BusyCursor busy(hostWidget());
    m_footageEastWest->clear();
    m_footageNorthSouth->clear();
    clearForwardResult();
    const auto theme = listedTheme(m_sectionThemes);
    if (!theme)
        return;
    WellDescription well;
    well.entries = {m_section->text(), m_township->text(), m_range->text(), meridianEntry()};
    well.calls = {m_call160->currentText(), m_call40->currentText(), m_call10->currentText(),
                  m_call2_5->currentText()};
    const WellLocation w = locateWell(*theme, well, locateOptions(), m_view->messages());
    if (w.sectionFound && m_zoomToWell->isChecked())
        m_view->map()->setExtent(w.sectionExtent);
    if (w.located)
        showForwardResult(w, u"quarter calls"_s);
    // Show the marks now rather than at the next redraw the user happens to cause.
    refreshMap();
}

LocateOptions WellCalculator::locateOptions()
{
    LocateOptions options;
    options.rule = manualSubdivisionRule() ? SubdivisionRule::Manual : SubdivisionRule::Classic;
    std::shared_ptr<MapLayer> theme;
    for (const auto &layer : m_view ? m_view->themes() : LayerList()) {
        if (layer && isSecondDivisionTheme(*layer)) {
            theme = layer;
            break;
        }
    }
    if (!theme) {
        m_divisions.reset();
        m_divisionsTheme.reset();
        return options;
    }
    if (m_divisionsTheme.lock() != theme) {
        QString error;
        m_divisions = SecondDivisions::read(std::static_pointer_cast<const VectorLayer>(theme),
                                            std::nullopt, &error);
        m_divisionsTheme = theme;
    }
    options.divisions = m_divisions.get();
    return options;
}

void WellCalculator::showForwardResult(const WellLocation &w, const QString &how)
{
    writeUtmResult(m_easting, m_northing, w.easting, w.northing);
    QString precision =
        u"\u00B1 "_s + formatNumber(roundTo(w.radiusFeet, 0)) + u" ft \u00B7 "_s + w.method;
    if (w.footage && w.method.startsWith(u"corner tie"_s)) {
        precision += u"; "_s + formatNumber(roundTo(w.footage->eastWestFeet, 2)) +
                     u" ft from the "_s + w.footage->eastWest + u" line, "_s +
                     formatNumber(roundTo(w.footage->northSouthFeet, 2)) + u" ft from the "_s +
                     w.footage->northSouth + u" line"_s;
    }
    m_precision->setText(precision);
    addQuarterLines(m_view->map()->graphics(), w.lines);
    if (!w.parcel.isEmpty()) {
        auto parcel = std::make_shared<ParcelSymbol>();
        parcel->parcel = w.parcel;
        m_view->map()->graphics().addSymbol(parcel, MapGraphics::Lifetime::LastResult);
    }
    recordWell(how, w.location, &w);
    Q_EMIT wellLocated(entryAsTyped(how));
}

WellEntry WellCalculator::entryAsTyped(const QString &how) const
{
    WellEntry e;
    e.description = m_description->text().trimmed();
    // A tie or a lot has no boxes of its own: the description says it all.
    if (how == u"lot"_s || how == u"corner tie"_s)
        return e;
    e.section = m_section->text().trimmed();
    e.township = m_township->text().trimmed();
    e.range = m_range->text().trimmed();
    e.meridian = meridianEntry();
    const QComboBox *lists[] = {m_call160, m_call40, m_call10, m_call2_5};
    for (int i = 0; i < 4; ++i)
        e.calls[i] = lists[i]->currentIndex() > 0 ? lists[i]->currentText() : QString();
    e.fcX = m_footageEastWest->text().trimmed();
    e.fcY = m_footageNorthSouth->text().trimmed();
    return e;
}

std::shared_ptr<VectorLayer> WellCalculator::sectionTheme()
{
    return m_view ? listedTheme(m_sectionThemes) : nullptr;
}

void WellCalculator::locateByFootage()
{
    if (!m_view)
        return;
    BusyCursor busy(hostWidget());
    for (QComboBox *list : {m_call160, m_call40, m_call10, m_call2_5})
        list->setCurrentIndex(0);
    clearForwardResult();
    const auto theme = listedTheme(m_sectionThemes);
    if (!theme)
        return;
    const WellLocation w = locateByFootageCalls(
        *theme, {m_section->text(), m_township->text(), m_range->text(), meridianEntry()},
        m_footageEastWest->text(), m_footageNorthSouth->text(), m_view->messages());
    if (w.sectionFound && m_zoomToWell->isChecked())
        m_view->map()->setExtent(w.sectionExtent);
    if (w.located) {
        showForwardResult(w, u"footage calls"_s);
        refreshMap();
    }
}

void WellCalculator::eraseMarks()
{
    clearForwardResult(); // its description is gone
    m_footageEastWest->clear();
    m_footageNorthSouth->clear();
    for (QComboBox *list : {m_call160, m_call40, m_call10, m_call2_5})
        list->setCurrentIndex(0);
    m_township->clear();
    m_range->clear();
    m_section->clear();
    m_meridian->clear();
}

void WellCalculator::readDescription()
{
    fillFromDescription();
}

std::optional<DescriptionFields> WellCalculator::fillFromDescription()
{
    QString error;
    std::optional<DescriptionFields> d = readLegalDescription(m_description->text(), &error);
    if (!d) {
        if (m_view)
            m_view->messages().show(error, MessageIcon::Exclamation);
        return d;
    }
    // The boxes now describe another well: the last one's result is not its own.
    clearForwardResult();
    m_section->setText(d->section);
    m_township->setText(d->township);
    m_range->setText(d->range);
    showMeridian(d->meridian);
    QComboBox *lists[] = {m_call160, m_call40, m_call10, m_call2_5};
    for (std::size_t i = 0; i < 4; ++i)
        lists[i]->setCurrentIndex(std::max(0, lists[i]->findText(d->quarters[i])));
    m_footageEastWest->setText(d->fcX);
    m_footageNorthSouth->setText(d->fcY);
    return d;
}

void WellCalculator::locateDescription()
{
    const std::optional<DescriptionFields> d = fillFromDescription();
    if (!d || d->section.isEmpty() || d->township.isEmpty() || d->range.isEmpty())
        return;
    const bool footage = !d->fcX.isEmpty() && !d->fcY.isEmpty();
    const bool quarters = std::any_of(d->quarters.begin(), d->quarters.end(),
                                      [](const QString &q) { return !q.isEmpty(); });
    if (!d->tieCorner.isEmpty() || d->lot > 0) {
        // A tie or a lot has no boxes of its own: the description is located as it stands.
        if (!m_view)
            return;
        BusyCursor busy(hostWidget());
        clearForwardResult();
        const auto theme = listedTheme(m_sectionThemes);
        if (!theme)
            return;
        WellDescription well;
        well.entries = {d->section, d->township, d->range, meridianEntry()};
        well.calls = d->quarters;
        well.lot = d->lot;
        well.tieCorner = d->tieCorner;
        well.tieNorthSouth = d->tieNorthSouth;
        well.tieEastWest = d->tieEastWest;
        const WellLocation w = locateWell(*theme, well, locateOptions(), m_view->messages());
        if (w.sectionFound && m_zoomToWell->isChecked())
            m_view->map()->setExtent(w.sectionExtent);
        if (w.located)
            showForwardResult(w, d->tieCorner.isEmpty() ? u"lot"_s : u"corner tie"_s);
        refreshMap();
    } else if (footage) {
        locateByFootage();
    } else if (quarters || d->wholeSection) {
        locateByQuarterCalls();
    }
}

void WellCalculator::locateReverse()
{
    if (!m_view)
        return;
    clearReverseResult();
    const auto theme = listedTheme(m_reverseThemes);
    if (!theme)
        return;
    BusyCursor busy(hostWidget());
    const ReverseLocation r = reverseLocate(*theme, m_reverseEasting->text(),
                                            m_reverseNorthing->text(), m_view->messages());
    if (r.sectionFound && m_reverseZoomToPoint->isChecked())
        m_view->map()->setExtent(r.sectionExtent);
    if (!r.section.isEmpty()) {
        // The description in the first tab is this point's now, not that of its easting and
        // northing from before.
        m_easting->clear();
        m_northing->clear();
        m_reverseSection->setText(r.section);
        m_section->setText(r.section);
        m_reverseTownship->setText(r.township);
        m_township->setText(r.township);
        m_reverseRange->setText(r.range);
        m_range->setText(r.range);
        // The meridian as the theme gives it; where it gives none, the box says nothing of it.
        const QString meridian = r.meridian ? meridianLabel(r.meridian) : QString();
        m_reverseMeridian->setText(meridian);
        m_meridian->setText(meridian);
    }
    if (!r.located)
        return;
    m_reverseFootageEastWest->setText(r.fcX);
    m_footageEastWest->setText(r.fcX);
    m_reverseFootageNorthSouth->setText(r.fcY);
    m_footageNorthSouth->setText(r.fcY);
    QLineEdit *boxes[] = {m_reverseCall160, m_reverseCall40, m_reverseCall10, m_reverseCall2_5};
    QComboBox *lists[] = {m_call160, m_call40, m_call10, m_call2_5};
    for (std::size_t i = 0; i < 4; ++i) {
        boxes[i]->setText(r.quarters[i]);
        lists[i]->setCurrentIndex(lists[i]->findText(r.quarters[i]));
    }
    m_reverseDescription->setText(legalDescription(r, r.meridian));
    m_reverseDescription->setCursorPosition(0);
    if (const LocateOptions options = locateOptions(); options.divisions)
        m_reverseDivision->setText(options.divisions->labelAt(r.searchPoint));
    addQuarterLines(m_view->map()->graphics(), r.lines);
    recordWell(u"reverse"_s, r.searchPoint);
    WellEntry entry;
    entry.description = m_reverseDescription->text();
    entry.section = r.section;
    entry.township = r.township;
    entry.range = r.range;
    entry.meridian = r.meridian ? QString::number(r.meridian) : QString();
    entry.calls = r.quarters;
    Q_EMIT pointDescribed(entry, r.searchPoint);
    refreshMap();
}

void WellCalculator::setReversePoint(const MapPoint &mousept)
{
    const QString x = formatNumber(roundTo(mousept.X, 0));
    const QString y = formatNumber(roundTo(mousept.Y, 0));
    for (QLineEdit *e : {m_reverseEasting, m_zoneEasting, m_geographicEasting})
        e->setText(x);
    for (QLineEdit *n : {m_reverseNorthing, m_zoneNorthing, m_geographicNorthing})
        n->setText(y);
    for (QLineEdit *result :
         geographicBoxes() + QList<QLineEdit *>{m_convertedEasting, m_convertedNorthing})
        result->clear();
    if (!m_view)
        return;
    // The point is in the map's coordinates: the zone and Lat-Long tabs name the map's zone.
    if (const auto zone = commonUtmZone(m_view->themes())) {
        const QString text = QString::number(*zone);
        for (QComboBox *list : {m_geographicZone, m_fromZone}) {
            const int listed = list->findText(text);
            if (listed >= 0)
                list->setCurrentIndex(listed);
            else
                list->setCurrentText(text);
        }
    }
}

void WellCalculator::locatePickedPoint(const MapPoint &point)
{
    setReversePoint(point);
    m_tabs->setCurrentIndex(1);
    locateReverse();
}

void WellCalculator::convertInto(
    QLineEdit *eastingBox, QLineEdit *northingBox,
    const std::function<std::optional<UtmTexts>(MessageService &)> &convert)
{
    if (!m_view)
        return;
    BusyCursor busy(hostWidget());
    eastingBox->clear();
    northingBox->clear();
    if (const auto r = convert(m_view->messages()))
        writeUtmResult(eastingBox, northingBox, r->easting, r->northing);
}

void WellCalculator::convertBetweenZones()
{
    convertInto(m_convertedEasting, m_convertedNorthing, [this](MessageService &messages) {
        return convertZone(m_zoneEasting->text(), m_zoneNorthing->text(), m_fromZone->currentText(),
                           m_toZone->currentText(), messages);
    });
}

void WellCalculator::convertToUtm()
{
    convertInto(m_geographicEasting, m_geographicNorthing, [this](MessageService &messages) {
        return latLongToUtm({m_latitude->text(), m_latitudeMinutes->text(),
                             m_latitudeSeconds->text(), m_longitude->text(),
                             m_longitudeMinutes->text(), m_longitudeSeconds->text()},
                            m_geographicZone->currentText(), messages);
    });
}

void WellCalculator::convertToGeographic()
{
    if (!m_view)
        return;
    BusyCursor busy(hostWidget());
    for (QLineEdit *result : geographicBoxes())
        result->clear();
    const auto r = utmToLatLong(m_geographicEasting->text(), m_geographicNorthing->text(),
                                m_geographicZone->currentText(), m_angleFormat->currentIndex(),
                                m_view->messages());
    if (!r)
        return;
    m_latitude->setText(r->lat);
    m_latitudeMinutes->setText(r->latMin);
    m_latitudeSeconds->setText(r->latSec);
    m_longitude->setText(r->lon);
    m_longitudeMinutes->setText(r->lonMin);
    m_longitudeSeconds->setText(r->lonSec);
}

bool WellCalculator::eventFilter(QObject *watched, QEvent *event)
{
    // Entering the reverse boxes selects their whole text, so typing replaces it. Deferred, as a
    // click that gives the focus would otherwise place the caret over the selection.
    if (event->type() == QEvent::FocusIn &&
        (watched == m_reverseEasting || watched == m_reverseNorthing)) {
        auto *edit = static_cast<QLineEdit *>(watched);
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
    return QWidget::eventFilter(watched, event);
}
