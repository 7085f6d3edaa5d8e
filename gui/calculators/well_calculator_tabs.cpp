#include "core/plss/meridians.h"
#include "gui/calculators/well_calculator.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

// The panel's four tabs: their boxes, lists and buttons, and what the buttons run.

namespace {

template <typename W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QLineEdit *box(const QString &name, bool readOnly = false)
{
    auto *edit = named(new QLineEdit, name);
    edit->setReadOnly(readOnly);
    return edit;
}

QLabel *nad83Label()
{
    return new QLabel(u"Projection is NAD83"_s);
}

// A number box with its unit label after it.
QWidget *withUnit(QLineEdit *edit, const QString &unit)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(new QLabel(unit));
    return row;
}

// A caption and its control side by side in a grid row.
template <typename W>
W *labelled(QGridLayout *grid, int row, int column, const QString &caption, W *w)
{
    grid->addWidget(new QLabel(caption), row, column);
    grid->addWidget(w, row, column + 1);
    return w;
}

// A Copy button that puts `text()` on the clipboard; it can be pressed only while the result
// boxes hold something, so an emptied result cannot be copied.
QPushButton *copyButton(const QString &name, QObject *owner,
                        std::initializer_list<QLineEdit *> results, std::function<QString()> text)
{
    auto *button = named(new QPushButton(u"Copy"_s), name);
    button->setToolTip(u"Copy the result as one line"_s);
    QObject::connect(button, &QPushButton::clicked, owner,
                     [text = std::move(text)] { QGuiApplication::clipboard()->setText(text()); });
    const QList<QLineEdit *> boxes(results);
    auto update = [button, boxes] {
        button->setEnabled(std::any_of(boxes.begin(), boxes.end(), [](const QLineEdit *b) {
            return !b->text().trimmed().isEmpty();
        }));
    };
    for (QLineEdit *b : boxes)
        QObject::connect(b, &QLineEdit::textChanged, button, update);
    update();
    return button;
}

// Widest a box grows: the panel's room beyond that goes to the map, not into wide gaps.
namespace BoxWidth {
constexpr int Short = 90;       // section, township, range, footage
constexpr int Coordinate = 140; // an easting or northing
constexpr int Theme = 320;
constexpr int Description = 460;
} // namespace BoxWidth

// "a, b" of the boxes that hold text.
QString joined(std::initializer_list<const QLineEdit *> boxes)
{
    QStringList texts;
    for (const QLineEdit *box : boxes) {
        if (!box->text().trimmed().isEmpty())
            texts.append(box->text().trimmed());
    }
    return texts.join(u", "_s);
}

// Enter in any of the boxes presses the button.
void enterPresses(std::initializer_list<QLineEdit *> boxes, QPushButton *button)
{
    for (QLineEdit *box : boxes)
        QObject::connect(box, &QLineEdit::returnPressed, button, &QPushButton::click);
}

// The Meridian box: a list of the principal meridians by name with their codes that may still
// be typed in; choosing one puts its code in the box, which is what the lookups read.
QComboBox *meridianList(QLineEdit *&text)
{
    auto *list = named(new QComboBox, u"meridianList"_s);
    list->setMaximumWidth(BoxWidth::Theme);
    // As wide as a code and a short name; the list drops down as wide as its longest name.
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(14);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->lineEdit()->setObjectName(u"meridian"_s);
    for (const PrincipalMeridian &m : principalMeridians())
        list->addItem(QString::number(m.code) + u" - "_s + m.name, m.code);
    list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 24);
    list->setCurrentIndex(-1);
    list->setEditText(QString());
    // The box shows the code with the meridian's name ("26 Salt Lake").
    QObject::connect(list, &QComboBox::activated, list, [list](int index) {
        list->setEditText(meridianLabel(list->itemData(index).toInt()));
    });
    text = list->lineEdit();
    return list;
}

} // namespace

QString meridianLabel(int code)
{
    const PrincipalMeridian *m = meridianByCode(code);
    if (!m)
        return QString::number(code);
    QString name = m->name;
    name.remove(u" Meridian"_s);
    return QString::number(code) + u' ' + name;
}

namespace {

const QStringList quarterItems = {u"--"_s,  u"NW"_s,  u"NE"_s,  u"SE"_s, u"SW"_s,
                                  u"N/2"_s, u"S/2"_s, u"E/2"_s, u"W/2"_s};

} // namespace

WellCalculator::WellCalculator(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"wellCalculator"_s);
    m_tabs = named(new QTabWidget(this), u"NorvaneTab"_s);
    m_tabs->addTab(buildForwardTab(), u"PLSS -> UTM"_s);
    m_tabs->addTab(buildReverseTab(), u"UTM -> PLSS"_s);
    m_tabs->addTab(buildZoneTab(), u"GPS Zone Conversions"_s);
    m_tabs->addTab(buildLatLongTab(), u"Lat-Long"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    buildTabs();
}

QWidget *WellCalculator::buildForwardTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto label = [](const QString &text) { return new QLabel(text); };
    // Most users start from the permit's text: the description comes first, the boxes it fills
    // below it.
    grid->addWidget(label(u"Description:"_s), 0, 0);
    m_description = box(u"description"_s);
    m_description->setMaximumWidth(BoxWidth::Description);
    m_description->setPlaceholderText(u"NE/4 SW/4 Sec. 36, T153N, R95W, 5th P.M."_s);
    m_description->setToolTip(u"Type or paste a legal description; Enter locates it"_s);
    grid->addWidget(m_description, 0, 1, 1, 3);
    m_readDescription = named(new QPushButton(u"Read"_s), u"readDescription"_s);
    m_readDescription->setToolTip(u"Fill the boxes from the description, to check them"_s);
    m_locateDescription = named(new QPushButton(u"Locate"_s), u"locateDescription"_s);
    m_locateDescription->setToolTip(u"Fill the boxes from the description and locate the well"_s);
    grid->addWidget(m_locateDescription, 0, 4);
    grid->addWidget(m_readDescription, 1, 4);

    m_sectionThemes = named(new QComboBox, u"sectionThemes"_s);
    m_sectionThemes->setMaximumWidth(BoxWidth::Theme);
    grid->addWidget(label(u"PLSS Theme:"_s), 1, 0);
    grid->addWidget(m_sectionThemes, 1, 1, 1, 3);
    m_section = labelled(grid, 2, 0, u"Section:"_s, box(u"section"_s));
    m_township = labelled(grid, 2, 2, u"Township:"_s, box(u"township"_s));
    m_range = labelled(grid, 3, 0, u"Range:"_s, box(u"range"_s));
    for (QLineEdit *b : {m_section, m_township, m_range})
        b->setMaximumWidth(BoxWidth::Short);
    labelled(grid, 3, 2, u"Meridian:"_s, meridianList(m_meridian));

    grid->addLayout(buildQuarterLists(), 4, 0, 1, 5);
    m_footageEastWest = box(u"footageEastWest"_s);
    m_footageNorthSouth = box(u"footageNorthSouth"_s);
    m_footageEastWest->setPlaceholderText(u"660E"_s);
    m_footageNorthSouth->setPlaceholderText(u"1980S"_s);
    for (QLineEdit *b : {m_footageEastWest, m_footageNorthSouth})
        b->setMaximumWidth(BoxWidth::Short);
    labelled(grid, 5, 0, u"Footage from E/W line:"_s, withUnit(m_footageEastWest, u"ft"_s));
    labelled(grid, 5, 2, u"Footage from N/S line:"_s, withUnit(m_footageNorthSouth, u"ft"_s));
    m_calculateFootage = named(new QPushButton(u"Calculate"_s), u"calculateFootage"_s);
    m_calculateFootage->setToolTip(u"Locate the well by its footage calls"_s);
    grid->addWidget(m_calculateFootage, 5, 4);
    m_easting = labelled(grid, 6, 0, u"Easting:"_s, box(u"easting"_s));
    m_northing = labelled(grid, 6, 2, u"Northing:"_s, box(u"northing"_s));
    for (QLineEdit *b : {m_easting, m_northing})
        b->setMaximumWidth(BoxWidth::Coordinate);
    grid->addWidget(copyButton(u"copyUtm"_s, this, {m_easting, m_northing},
                               [this] {
                                   return joined({m_easting, m_northing});
                               }),
                    6, 4);
    m_zoomToWell = named(new QCheckBox(u"Zoom To Location"_s), u"zoomToWell"_s);
    m_erase = named(new QPushButton(u"Erase Fields"_s), u"erase"_s);
    grid->addWidget(m_zoomToWell, 7, 0, 1, 2);
    m_precision = named(new QLabel, u"precision"_s);
    m_precision->setWordWrap(true);
    m_precision->setToolTip(u"How far the parcel the description names reaches from the point, "
                            "and how the point was found"_s);
    grid->addWidget(m_precision, 7, 2, 1, 2);
    grid->addWidget(m_erase, 7, 4);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(5, 1); // the room left goes to the right, not into the boxes
    connectForwardTab();
    return page;
}

QGridLayout *WellCalculator::buildQuarterLists()
{
    auto *quarters = new QGridLayout;
    const std::pair<QComboBox **, QString> lists[] = {{&m_call160, u"call160"_s},
                                                      {&m_call40, u"call40"_s},
                                                      {&m_call10, u"call10"_s},
                                                      {&m_call2_5, u"call2_5"_s}};
    const QStringList captions = {u"Quarter (160 ac):"_s, u"Quarter-quarter (40 ac):"_s,
                                  u"10 acres:"_s, u"2.5 acres:"_s};
    for (int i = 0; i < 4; ++i) {
        *lists[i].first = named(new QComboBox, lists[i].second);
        labelled(quarters, i / 2, (i % 2) * 2, captions[i], *lists[i].first);
    }
    m_calculateQuarters = named(new QPushButton(u"Calculate"_s), u"calculateQuarters"_s);
    m_calculateQuarters->setToolTip(u"Locate the well by its quarter calls"_s);
    quarters->addWidget(m_calculateQuarters, 1, 4);
    quarters->setColumnStretch(5, 1);
    return quarters;
}

void WellCalculator::connectForwardTab()
{
    connect(m_readDescription, &QPushButton::clicked, this, &WellCalculator::readDescription);
    connect(m_locateDescription, &QPushButton::clicked, this, &WellCalculator::locateDescription);
    connect(m_description, &QLineEdit::returnPressed, m_locateDescription, &QPushButton::click);
    connect(m_calculateQuarters, &QPushButton::clicked, this,
            &WellCalculator::locateByQuarterCalls);
    connect(m_calculateFootage, &QPushButton::clicked, this, &WellCalculator::locateByFootage);
    connect(m_erase, &QPushButton::clicked, this, &WellCalculator::eraseMarks);
    enterPresses({m_footageEastWest, m_footageNorthSouth}, m_calculateFootage);
    // In the description's boxes Enter runs the quarter calls, or the footage calls when only
    // those are given.
    for (QLineEdit *b : {m_section, m_township, m_range, m_meridian}) {
        connect(b, &QLineEdit::returnPressed, this, [this] {
            const bool quarters = m_call160->currentIndex() > 0 || m_call40->currentIndex() > 0 ||
                                  m_call10->currentIndex() > 0 || m_call2_5->currentIndex() > 0;
            const bool footage = !m_footageEastWest->text().trimmed().isEmpty() &&
                                 !m_footageNorthSouth->text().trimmed().isEmpty();
            (footage && !quarters ? m_calculateFootage : m_calculateQuarters)->click();
        });
    }
}

QWidget *WellCalculator::buildReverseTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto label = [](const QString &text) { return new QLabel(text); };
    m_reverseThemes = named(new QComboBox, u"reverseThemes"_s);
    m_reverseThemes->setMaximumWidth(BoxWidth::Theme);
    grid->addWidget(label(u"PLSS Theme:"_s), 0, 0);
    grid->addWidget(m_reverseThemes, 0, 1, 1, 3);
    m_reverseEasting = labelled(grid, 1, 0, u"Easting:"_s, box(u"reverseEasting"_s));
    m_reverseNorthing = labelled(grid, 1, 2, u"Northing:"_s, box(u"reverseNorthing"_s));
    m_calculateReverse = named(new QPushButton(u"Calculate"_s), u"calculateReverse"_s);
    m_reverseZoomToPoint = named(new QCheckBox(u"Zoom To Location"_s), u"reverseZoomToPoint"_s);
    grid->addWidget(m_reverseZoomToPoint, 2, 0, 1, 2);
    grid->addWidget(m_calculateReverse, 2, 3);
    auto *place = new QHBoxLayout;
    place->addWidget(label(u"Section:"_s));
    place->addWidget(m_reverseSection = box(u"reverseSection"_s));
    place->addWidget(label(u"Township:"_s));
    place->addWidget(m_reverseTownship = box(u"reverseTownship"_s));
    place->addWidget(label(u"Range:"_s));
    place->addWidget(m_reverseRange = box(u"reverseRange"_s));
    place->addWidget(label(u"Meridian:"_s));
    place->addWidget(m_reverseMeridian = box(u"reverseMeridian"_s, true));
    m_reverseMeridian->setMaximumWidth(BoxWidth::Coordinate);
    place->addStretch();
    grid->addLayout(place, 3, 0, 1, 4);
    auto *sections = new QGroupBox(u"PLSS Sections"_s);
    auto *sl = new QGridLayout(sections);
    m_reverseCall160 = labelled(sl, 0, 0, u"160 ac:"_s, box(u"reverseCall160"_s));
    m_reverseCall40 = labelled(sl, 0, 2, u"40 ac:"_s, box(u"reverseCall40"_s));
    m_reverseCall10 = labelled(sl, 1, 0, u"10 ac:"_s, box(u"reverseCall10"_s));
    m_reverseCall2_5 = labelled(sl, 1, 2, u"2.5 ac:"_s, box(u"reverseCall2_5"_s));
    m_reverseDivision = labelled(sl, 2, 0, u"Surveyed:"_s, box(u"reverseDivision"_s, true));
    m_reverseDivision->setToolTip(u"The BLM second division holding the point (\"NESW\", "
                                  "\"L 3\"), where the map has second divisions"_s);
    auto *footage = new QGroupBox(u"Footage Calls (feet)"_s);
    auto *fl = new QFormLayout(footage);
    fl->addRow(u"From E/W line:"_s, m_reverseFootageEastWest = box(u"reverseFootageEastWest"_s));
    fl->addRow(u"From N/S line:"_s,
               m_reverseFootageNorthSouth = box(u"reverseFootageNorthSouth"_s));
    grid->addWidget(sections, 4, 0, 1, 2);
    grid->addWidget(footage, 4, 2, 1, 2);
    m_reverseDescription = box(u"reverseDescription"_s, true);
    auto *description = new QHBoxLayout;
    description->addWidget(label(u"Description:"_s));
    description->addWidget(m_reverseDescription, 1);
    description->addWidget(copyButton(u"copyDescription"_s, this, {m_reverseDescription},
                                      [this] { return m_reverseDescription->text(); }));
    grid->addLayout(description, 5, 0, 1, 4);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(4, 1);
    for (QLineEdit *b : {m_reverseEasting, m_reverseNorthing})
        b->setMaximumWidth(BoxWidth::Coordinate);
    for (QLineEdit *b : {m_reverseSection, m_reverseTownship, m_reverseRange})
        b->setMaximumWidth(BoxWidth::Short);
    sections->setMaximumWidth(2 * BoxWidth::Coordinate);
    footage->setMaximumWidth(2 * BoxWidth::Coordinate);
    m_reverseDescription->setMaximumWidth(BoxWidth::Description);
    enterPresses({m_reverseEasting, m_reverseNorthing}, m_calculateReverse);
    m_reverseEasting->installEventFilter(this);
    m_reverseNorthing->installEventFilter(this);
    connect(m_calculateReverse, &QPushButton::clicked, this, &WellCalculator::locateReverse);
    return page;
}

QWidget *WellCalculator::buildZoneTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(nad83Label()); // every conversion is NAD 83
    m_fromZone = named(new QComboBox, u"fromZone"_s);
    m_fromZone->setEditable(true);
    form->addRow(u"Starting Zone:"_s, m_fromZone);
    form->addRow(u"Easting:"_s, m_zoneEasting = box(u"zoneEasting"_s));
    form->addRow(u"Northing:"_s, m_zoneNorthing = box(u"zoneNorthing"_s));
    m_toZone = named(new QComboBox, u"toZone"_s);
    m_toZone->setEditable(true);
    form->addRow(u"Ending Zone:"_s, m_toZone);
    m_convertZone = named(new QPushButton(u"Calculate"_s), u"convertZone"_s);
    form->addRow(m_convertZone);
    form->addRow(u"Result Easting:"_s, m_convertedEasting = box(u"convertedEasting"_s));
    form->addRow(u"Result Northing:"_s, m_convertedNorthing = box(u"convertedNorthing"_s));
    form->addRow(copyButton(u"copyZone"_s, this, {m_convertedEasting, m_convertedNorthing}, [this] {
        return joined({m_convertedEasting, m_convertedNorthing});
    }));
    enterPresses({m_zoneEasting, m_zoneNorthing}, m_convertZone);
    connect(m_convertZone, &QPushButton::clicked, this, &WellCalculator::convertBetweenZones);
    return page;
}

QWidget *WellCalculator::buildLatLongTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(nad83Label());
    m_angleFormat = named(new QComboBox, u"angleFormat"_s);
    form->addRow(u"Mode:"_s, m_angleFormat);
    m_geographicZone = named(new QComboBox, u"geographicZone"_s);
    m_geographicZone->setEditable(true);
    form->addRow(u"Zone:"_s, m_geographicZone);
    auto dms = [](QLineEdit *deg, QLineEdit *min, QLineEdit *sec) {
        auto *row = new QWidget;
        auto *l = new QHBoxLayout(row);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(deg, 2);
        l->addWidget(new QLabel(u"Min"_s));
        l->addWidget(min, 2);
        l->addWidget(new QLabel(u"Sec"_s));
        l->addWidget(sec, 2);
        return row;
    };
    form->addRow(u"Latitude:"_s,
                 dms(m_latitude = box(u"latitude"_s), m_latitudeMinutes = box(u"latitudeMinutes"_s),
                     m_latitudeSeconds = box(u"latitudeSeconds"_s)));
    form->addRow(u"Longitude:"_s, dms(m_longitude = box(u"longitude"_s),
                                      m_longitudeMinutes = box(u"longitudeMinutes"_s),
                                      m_longitudeSeconds = box(u"longitudeSeconds"_s)));
    m_toUtm = named(new QPushButton, u"toUtm"_s);
    m_toUtm->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    m_toUtm->setToolTip(u"Latitude/longitude to UTM"_s);
    m_toGeographic = named(new QPushButton, u"toGeographic"_s);
    m_toGeographic->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    m_toGeographic->setToolTip(u"UTM to latitude/longitude"_s);
    auto *arrows = new QHBoxLayout;
    arrows->addWidget(m_toUtm);
    arrows->addWidget(m_toGeographic);
    arrows->addStretch();
    form->addRow(arrows);
    form->addRow(u"Easting:"_s, m_geographicEasting = box(u"geographicEasting"_s));
    form->addRow(u"Northing:"_s, m_geographicNorthing = box(u"geographicNorthing"_s));
    // QString, not the builder: the builder would refer to the lambda's own locals.
    form->addRow(copyButton(
        u"copyLatLong"_s, this,
        {m_latitude, m_longitude, m_geographicEasting, m_geographicNorthing}, [this]() -> QString {
            const QString latitude = joined({m_latitude, m_latitudeMinutes, m_latitudeSeconds});
            const QString longitude = joined({m_longitude, m_longitudeMinutes, m_longitudeSeconds});
            return u"Latitude "_s + latitude + u"; Longitude "_s + longitude + u"; Easting "_s +
                   m_geographicEasting->text().trimmed() + u"; Northing "_s +
                   m_geographicNorthing->text().trimmed();
        }));
    enterPresses({m_latitude, m_latitudeMinutes, m_latitudeSeconds, m_longitude, m_longitudeMinutes,
                  m_longitudeSeconds},
                 m_toUtm);
    enterPresses({m_geographicEasting, m_geographicNorthing}, m_toGeographic);
    connect(m_toUtm, &QPushButton::clicked, this, &WellCalculator::convertToUtm);
    connect(m_toGeographic, &QPushButton::clicked, this, &WellCalculator::convertToGeographic);
    connect(m_angleFormat, &QComboBox::currentIndexChanged, this,
            &WellCalculator::updateGeographicInputs);
    return page;
}

void WellCalculator::buildTabs()
{
    if (m_call160->count() > 0)
        return;
    for (QComboBox *list : {m_call160, m_call40, m_call10, m_call2_5}) {
        list->addItems(quarterItems);
        list->setCurrentIndex(0);
    }
    m_fromZone->addItems({u"12"_s, u"13"_s});
    m_fromZone->setCurrentIndex(0);
    m_toZone->addItems({u"12"_s, u"13"_s});
    m_toZone->setCurrentIndex(1);
    m_geographicZone->addItems({u"12"_s, u"13"_s});
    m_geographicZone->setCurrentIndex(1);
    m_angleFormat->addItems(
        {u"Decimal Degrees"_s, u"Decimal Minutes"_s, u"Degrees Minutes Seconds"_s});
    m_angleFormat->setCurrentIndex(0);
    updateGeographicInputs();
    emptyResultsOnEdit();
}

void WellCalculator::emptyResultsOnEdit()
{
    // Only the user's edits count (textEdited, activated): the panel writing one tab's result
    // into another tab's inputs must not empty that tab.
    auto onEdit = [this](const QList<QLineEdit *> &inputs, auto clear) {
        for (QLineEdit *input : inputs)
            connect(input, &QLineEdit::textEdited, this, clear);
    };
    auto onChoice = [this](std::initializer_list<QComboBox *> lists, auto clear) {
        for (QComboBox *list : lists)
            connect(list, &QComboBox::activated, this, clear);
    };
    auto emptying = [](const QList<QLineEdit *> &boxes) {
        return [boxes] {
            for (QLineEdit *box : boxes)
                box->clear();
        };
    };
    const auto forward = emptying({m_easting, m_northing});
    onEdit({m_section, m_township, m_range, m_meridian, m_footageEastWest, m_footageNorthSouth},
           forward);
    onChoice({m_sectionThemes, m_call160, m_call40, m_call10, m_call2_5,
              findChild<QComboBox *>(u"meridianList"_s)},
             forward);
    const auto reverse = emptying(reverseResultBoxes());
    onEdit({m_reverseEasting, m_reverseNorthing}, reverse);
    onChoice({m_reverseThemes}, reverse);
    const auto zone = emptying({m_convertedEasting, m_convertedNorthing});
    onEdit({m_zoneEasting, m_zoneNorthing, m_fromZone->lineEdit(), m_toZone->lineEdit()}, zone);
    onChoice({m_fromZone, m_toZone}, zone);
    // Lat-Long converts both ways: an edit on one side empties the other.
    const auto utmSide = emptying({m_geographicEasting, m_geographicNorthing});
    const auto geographicSide = emptying(geographicBoxes());
    onEdit(geographicBoxes(), utmSide);
    onEdit({m_geographicEasting, m_geographicNorthing}, geographicSide);
    onEdit({m_geographicZone->lineEdit()}, utmSide);
    onChoice({m_geographicZone}, utmSide);
}
