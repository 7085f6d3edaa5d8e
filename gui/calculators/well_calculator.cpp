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
        line->Color = 0;
        line->AddPoint(l.from);
        line->AddPoint(l.to);
        graphics.AddSymbol(line, MapGraphics::Lifetime::LastResult);
    }
}

} // namespace

bool WellCalculations::AddTheme(const std::shared_ptr<MapLayer> &mTheme, bool restyle)
{
    if (!mTheme || mTheme->layerType() != MapLayer::LayerType::Vector)
        return false;
    prepareNamedPlssFields(static_cast<VectorLayer &>(*mTheme)); // a theme in BLM's schema
    const bool restyled = restyle && recognisePlssSectionTheme(*mTheme);
    // A name already listed finds the same theme: listing it twice would offer nothing new.
    if ((restyled || isPlssSectionTheme(*mTheme)) &&
        PLSS_Combo->findText(mTheme->name(), Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0) {
        PLSS_Combo->addItem(mTheme->name());
        RevPLSS_Combo->addItem(mTheme->name());
    }
    if (PLSS_Combo->count() >= 1) {
        PLSS_Combo->setCurrentIndex(0);
        RevPLSS_Combo->setCurrentIndex(0);
    }
    return restyled;
}

std::shared_ptr<VectorLayer> WellCalculations::listedTheme(const QComboBox *list)
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
    RemoveMissingThemes();
    return nullptr;
}

void WellCalculations::SetLLSensitivity()
{
    const int mode = cmbLatLonMode->currentIndex();
    for (QLineEdit *minutes : {txtConvLatMin, txtConvLongMin})
        minutes->setEnabled(mode != 0);
    for (QLineEdit *seconds : {txtConvLatSec, txtConvLongSec})
        seconds->setEnabled(mode != 0 && mode != 1);
}

void WellCalculations::refreshMap()
{
    if (m_view && m_view->map())
        m_view->map()->refresh();
}

void WellCalculations::clearMarks()
{
    if (!m_view)
        return;
    m_view->graphics().RemoveAll();
    refreshMap();
}

void WellCalculations::clearForwardResult()
{
    Output_Easting_Text->clear();
    Output_Northing_Text->clear();
    m_precision->clear();
    if (m_view) {
        // Redrawn at once: a calculation that ends early must not leave the last answer's
        // quarter lines on the map as if they were its own.
        m_view->graphics().removeLastResult();
        refreshMap();
    }
}

void WellCalculations::clearReverseResult()
{
    for (QLineEdit *box : reverseResultBoxes())
        box->clear();
    if (m_view) {
        m_view->graphics().removeLastResult();
        refreshMap();
    }
}

QList<QLineEdit *> WellCalculations::reverseResultBoxes() const
{
    return {RevSectionText, RevTownshipText, RevRangeText,       m_reverseMeridian,
            RevQ160Text,    RevQ40Text,      RevQ10Text,         RevQ2_5Text,
            RevFCXText,     RevFCYText,      RevDescriptionText, m_reverseDivision};
}

QList<QLineEdit *> WellCalculations::geographicBoxes() const
{
    return {txtConvLat, txtConvLatMin, txtConvLatSec, txtConvLong, txtConvLongMin, txtConvLongSec};
}

void WellCalculations::clearResults()
{
    clearForwardResult();
    clearReverseResult();
    for (QLineEdit *box : {txtOutZoneX, txtOutZoneY})
        box->clear();
}

void WellCalculations::reset()
{
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->clear();
    for (QComboBox *list : {Q160_Combo, Q40_Combo, Q10_Combo, Q25_Combo})
        list->setCurrentIndex(0);
    // The wells' marks belong to the map they were located on; the wells stay listed for
    // export.
    clearMarks();
}

QString WellCalculations::meridianEntry() const
{
    // "26 Salt Lake" as shown is read as 26; anything else typed goes to the lookup as it is.
    QString text = Meridian_Text->text().trimmed();
    QString first = text.section(u' ', 0, 0);
    bool isNumber = false;
    const int code = first.toInt(&isNumber);
    if (isNumber && text.size() > first.size() && text == meridianLabel(code))
        return first;
    return text;
}

void WellCalculations::showMeridian(const QString &entry)
{
    bool isNumber = false;
    const int code = entry.trimmed().toInt(&isNumber);
    Meridian_Text->setText(isNumber && meridianByCode(code) ? meridianLabel(code) : entry);
}

void WellCalculations::RemoveMissingThemes()
{
    const LayerList themes = m_view ? m_view->themes() : LayerList();
    for (QComboBox *combo : {PLSS_Combo, RevPLSS_Combo}) {
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

void WellCalculations::writeUtmResult(QLineEdit *eastingBox, QLineEdit *northingBox,
                                      const QString &easting, const QString &northing)
{
    // Every UTM result also goes to the reverse tab, ready for locating it in the PLSS.
    eastingBox->setText(easting);
    northingBox->setText(northing);
    RevEasting_Text->setText(easting);
    RevNorthing_Text->setText(northing);
}

const QStringList WellCalculations::LocatedWellsHeader = {
    u"located_by"_s, u"section"_s, u"township"_s, u"range"_s,     u"meridian"_s,
    u"q160"_s,       u"q40"_s,     u"q10"_s,      u"q2_5"_s,      u"fc_x"_s,
    u"fc_y"_s,       u"easting"_s, u"northing"_s, u"radius_ft"_s, u"method"_s};

void WellCalculations::recordWell(const QString &how, const MapPoint &point, const WellLocation *w)
{
    QStringList row{how, Section_Text->text().trimmed(), Township_Text->text().trimmed(),
                    Range_Text->text().trimmed(), meridianEntry()};
    for (const QComboBox *list : {Q160_Combo, Q40_Combo, Q10_Combo, Q25_Combo})
        row.append(list->currentIndex() > 0 ? list->currentText() : QString());
    row << FC_X_Text->text().trimmed() << FC_Y_Text->text().trimmed()
        << QString::number(point.X, 'f', 2) << QString::number(point.Y, 'f', 2)
        << (w ? formatNumber(roundTo(w->radiusFeet, 0)) : QString()) << (w ? w->method : QString());
    m_locatedRows.append(row);
    m_locatedPoints.append(point);
    auto mark = std::make_shared<WellMarkSymbol>();
    mark->center = point;
    mark->number = int(m_locatedPoints.size());
    m_view->graphics().AddSymbol(mark);
}

void WellCalculations::CalculatePLSS_Command_Click()
{
    if (!m_view)
        return;
    BusyCursor busy(m_view->form());
    FC_X_Text->clear();
    FC_Y_Text->clear();
    clearForwardResult();
    const auto theme = listedTheme(PLSS_Combo);
    if (!theme)
        return;
    WellDescription well;
    well.entries = {Section_Text->text(), Township_Text->text(), Range_Text->text(),
                    meridianEntry()};
    well.calls = {Q160_Combo->currentText(), Q40_Combo->currentText(), Q10_Combo->currentText(),
                  Q25_Combo->currentText()};
    const WellLocation w = locateWell(*theme, well, locateOptions(), m_view->messages());
    if (w.sectionFound && chkZoomToLocation->isChecked())
        m_view->map()->setExtent(w.sectionExtent);
    if (w.located)
        showForwardResult(w, u"quarter calls"_s);
    // Show the marks now rather than at the next redraw the user happens to cause.
    refreshMap();
}

LocateOptions WellCalculations::locateOptions()
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

void WellCalculations::showForwardResult(const WellLocation &w, const QString &how)
{
    writeUtmResult(Output_Easting_Text, Output_Northing_Text, w.easting, w.northing);
    QString precision =
        u"\u00B1 "_s + formatNumber(roundTo(w.radiusFeet, 0)) + u" ft \u00B7 "_s + w.method;
    if (w.footage && w.method.startsWith(u"corner tie"_s)) {
        precision += u"; "_s + formatNumber(roundTo(w.footage->eastWestFeet, 2)) +
                     u" ft from the "_s + w.footage->eastWest + u" line, "_s +
                     formatNumber(roundTo(w.footage->northSouthFeet, 2)) + u" ft from the "_s +
                     w.footage->northSouth + u" line"_s;
    }
    m_precision->setText(precision);
    addQuarterLines(m_view->graphics(), w.lines);
    if (!w.parcel.isEmpty()) {
        auto parcel = std::make_shared<ParcelSymbol>();
        parcel->parcel = w.parcel;
        m_view->graphics().AddSymbol(parcel, MapGraphics::Lifetime::LastResult);
    }
    recordWell(how, w.location, &w);
}

void WellCalculations::CalculateFC_Command_Click()
{
    if (!m_view)
        return;
    BusyCursor busy(m_view->form());
    for (QComboBox *list : {Q160_Combo, Q40_Combo, Q10_Combo, Q25_Combo})
        list->setCurrentIndex(0);
    clearForwardResult();
    const auto theme = listedTheme(PLSS_Combo);
    if (!theme)
        return;
    const WellLocation w = locateByFootageCalls(
        *theme, {Section_Text->text(), Township_Text->text(), Range_Text->text(), meridianEntry()},
        FC_X_Text->text(), FC_Y_Text->text(), m_view->messages());
    if (w.sectionFound && chkZoomToLocation->isChecked())
        m_view->map()->setExtent(w.sectionExtent);
    if (w.located) {
        showForwardResult(w, u"footage calls"_s);
        refreshMap();
    }
}

void WellCalculations::cmdErase_Click()
{
    clearForwardResult(); // its description is gone
    FC_X_Text->clear();
    FC_Y_Text->clear();
    for (QComboBox *list : {Q160_Combo, Q40_Combo, Q10_Combo, Q25_Combo})
        list->setCurrentIndex(0);
    Township_Text->clear();
    Range_Text->clear();
    Section_Text->clear();
    Meridian_Text->clear();
}

void WellCalculations::cmdReadDescription_Click()
{
    fillFromDescription();
}

std::optional<DescriptionFields> WellCalculations::fillFromDescription()
{
    QString error;
    std::optional<DescriptionFields> d = readLegalDescription(Description_Text->text(), &error);
    if (!d) {
        if (m_view)
            m_view->messages().show(error, MessageIcon::Exclamation);
        return d;
    }
    // The boxes now describe another well: the last one's result is not its own.
    clearForwardResult();
    Section_Text->setText(d->section);
    Township_Text->setText(d->township);
    Range_Text->setText(d->range);
    showMeridian(d->meridian);
    QComboBox *lists[] = {Q160_Combo, Q40_Combo, Q10_Combo, Q25_Combo};
    for (std::size_t i = 0; i < 4; ++i)
        lists[i]->setCurrentIndex(std::max(0, lists[i]->findText(d->quarters[i])));
    FC_X_Text->setText(d->fcX);
    FC_Y_Text->setText(d->fcY);
    return d;
}

void WellCalculations::locateDescription()
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
        BusyCursor busy(m_view->form());
        clearForwardResult();
        const auto theme = listedTheme(PLSS_Combo);
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
        if (w.sectionFound && chkZoomToLocation->isChecked())
            m_view->map()->setExtent(w.sectionExtent);
        if (w.located)
            showForwardResult(w, d->tieCorner.isEmpty() ? u"lot"_s : u"corner tie"_s);
        refreshMap();
    } else if (footage) {
        CalculateFC_Command_Click();
    } else if (quarters || d->wholeSection) {
        CalculatePLSS_Command_Click();
    }
}

void WellCalculations::RevGPSCommand_Click()
{
    if (!m_view)
        return;
    clearReverseResult();
    const auto theme = listedTheme(RevPLSS_Combo);
    if (!theme)
        return;
    BusyCursor busy(m_view->form());
    const ReverseLocation r = reverseLocate(*theme, RevEasting_Text->text(),
                                            RevNorthing_Text->text(), m_view->messages());
    if (r.sectionFound && chkRevZoomToLocation->isChecked())
        m_view->map()->setExtent(r.sectionExtent);
    if (!r.section.isEmpty()) {
        // The description in the first tab is this point's now, not that of its easting and
        // northing from before.
        Output_Easting_Text->clear();
        Output_Northing_Text->clear();
        RevSectionText->setText(r.section);
        Section_Text->setText(r.section);
        RevTownshipText->setText(r.township);
        Township_Text->setText(r.township);
        RevRangeText->setText(r.range);
        Range_Text->setText(r.range);
        // The meridian as the theme gives it; where it gives none, the box says nothing of it.
        const QString meridian = r.meridian ? meridianLabel(r.meridian) : QString();
        m_reverseMeridian->setText(meridian);
        Meridian_Text->setText(meridian);
    }
    if (!r.located)
        return;
    RevFCXText->setText(r.fcX);
    FC_X_Text->setText(r.fcX);
    RevFCYText->setText(r.fcY);
    FC_Y_Text->setText(r.fcY);
    QLineEdit *boxes[] = {RevQ160Text, RevQ40Text, RevQ10Text, RevQ2_5Text};
    QComboBox *lists[] = {Q160_Combo, Q40_Combo, Q10_Combo, Q25_Combo};
    for (std::size_t i = 0; i < 4; ++i) {
        boxes[i]->setText(r.quarters[i]);
        lists[i]->setCurrentIndex(lists[i]->findText(r.quarters[i]));
    }
    RevDescriptionText->setText(legalDescription(r, r.meridian));
    RevDescriptionText->setCursorPosition(0);
    if (const LocateOptions options = locateOptions(); options.divisions)
        m_reverseDivision->setText(options.divisions->labelAt(r.searchPoint));
    addQuarterLines(m_view->graphics(), r.lines);
    recordWell(u"reverse"_s, r.searchPoint);
    refreshMap();
}

void WellCalculations::RevSetPoint(const MapPoint &mousept)
{
    const QString x = formatNumber(roundTo(mousept.X, 0));
    const QString y = formatNumber(roundTo(mousept.Y, 0));
    for (QLineEdit *e : {RevEasting_Text, txtZoneX, txtConvEasting})
        e->setText(x);
    for (QLineEdit *n : {RevNorthing_Text, txtZoneY, txtConvNorthing})
        n->setText(y);
    for (QLineEdit *result : geographicBoxes() + QList<QLineEdit *>{txtOutZoneX, txtOutZoneY})
        result->clear();
    if (!m_view)
        return;
    // The point is in the map's coordinates: the zone and Lat-Long tabs name the map's zone.
    if (const auto zone = commonUtmZone(m_view->themes())) {
        const QString text = QString::number(*zone);
        for (QComboBox *list : {cmbLLZone, cmbStartZone}) {
            const int listed = list->findText(text);
            if (listed >= 0)
                list->setCurrentIndex(listed);
            else
                list->setCurrentText(text);
        }
    }
}

void WellCalculations::locatePickedPoint(const MapPoint &point)
{
    RevSetPoint(point);
    NorvaneTab->setCurrentIndex(1);
    RevGPSCommand_Click();
}

void WellCalculations::convertInto(
    QLineEdit *eastingBox, QLineEdit *northingBox,
    const std::function<std::optional<UtmTexts>(MessageService &)> &convert)
{
    if (!m_view)
        return;
    BusyCursor busy(m_view->form());
    eastingBox->clear();
    northingBox->clear();
    if (const auto r = convert(m_view->messages()))
        writeUtmResult(eastingBox, northingBox, r->easting, r->northing);
}

void WellCalculations::cmdCalculateZoneUTM_Click()
{
    convertInto(txtOutZoneX, txtOutZoneY, [this](MessageService &messages) {
        return convertZone(txtZoneX->text(), txtZoneY->text(), cmbStartZone->currentText(),
                           cmbEndZone->currentText(), messages);
    });
}

void WellCalculations::cmdLatLong2UTM_Click()
{
    convertInto(txtConvEasting, txtConvNorthing, [this](MessageService &messages) {
        return latLongToUtm({txtConvLat->text(), txtConvLatMin->text(), txtConvLatSec->text(),
                             txtConvLong->text(), txtConvLongMin->text(), txtConvLongSec->text()},
                            cmbLLZone->currentText(), messages);
    });
}

void WellCalculations::cmdUTM2LatLong_Click()
{
    if (!m_view)
        return;
    BusyCursor busy(m_view->form());
    for (QLineEdit *result : geographicBoxes())
        result->clear();
    const auto r =
        utmToLatLong(txtConvEasting->text(), txtConvNorthing->text(), cmbLLZone->currentText(),
                     cmbLatLonMode->currentIndex(), m_view->messages());
    if (!r)
        return;
    txtConvLat->setText(r->lat);
    txtConvLatMin->setText(r->latMin);
    txtConvLatSec->setText(r->latSec);
    txtConvLong->setText(r->lon);
    txtConvLongMin->setText(r->lonMin);
    txtConvLongSec->setText(r->lonSec);
}

bool WellCalculations::eventFilter(QObject *watched, QEvent *event)
{
    // Entering the reverse boxes selects their whole text, so typing replaces it. Deferred, as a
    // click that gives the focus would otherwise place the caret over the selection.
    if (event->type() == QEvent::FocusIn &&
        (watched == RevEasting_Text || watched == RevNorthing_Text)) {
        auto *edit = static_cast<QLineEdit *>(watched);
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
    return QWidget::eventFilter(watched, event);
}
