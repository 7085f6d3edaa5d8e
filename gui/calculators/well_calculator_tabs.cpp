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
    auto *list = named(new QComboBox, u"Meridian_Combo"_s);
    list->setMaximumWidth(BoxWidth::Theme);
    // As wide as a code and a short name; the list drops down as wide as its longest name.
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(14);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->lineEdit()->setObjectName(u"Meridian_Text"_s);
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

WellCalculations::WellCalculations(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"WellCalculations"_s);
    NorvaneTab = named(new QTabWidget(this), u"NorvaneTab"_s);
    NorvaneTab->addTab(buildForwardTab(), u"PLSS -> UTM"_s);
    NorvaneTab->addTab(buildReverseTab(), u"UTM -> PLSS"_s);
    NorvaneTab->addTab(buildZoneTab(), u"GPS Zone Conversions"_s);
    NorvaneTab->addTab(buildLatLongTab(), u"Lat-Long"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NorvaneTab);
    UserControl_Initialize();
}

QWidget *WellCalculations::buildForwardTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto label = [](const QString &text) { return new QLabel(text); };
    // Most users start from the permit's text: the description comes first, the boxes it fills
    // below it.
    grid->addWidget(label(u"Description:"_s), 0, 0);
    Description_Text = box(u"Description_Text"_s);
    Description_Text->setMaximumWidth(BoxWidth::Description);
    Description_Text->setPlaceholderText(u"NE/4 SW/4 Sec. 36, T153N, R95W, 5th P.M."_s);
    Description_Text->setToolTip(u"Type or paste a legal description; Enter locates it"_s);
    grid->addWidget(Description_Text, 0, 1, 1, 3);
    cmdReadDescription = named(new QPushButton(u"Read"_s), u"cmdReadDescription"_s);
    cmdReadDescription->setToolTip(u"Fill the boxes from the description, to check them"_s);
    m_locateDescription = named(new QPushButton(u"Locate"_s), u"locateDescription"_s);
    m_locateDescription->setToolTip(u"Fill the boxes from the description and locate the well"_s);
    grid->addWidget(m_locateDescription, 0, 4);
    grid->addWidget(cmdReadDescription, 1, 4);

    PLSS_Combo = named(new QComboBox, u"PLSS_Combo"_s);
    PLSS_Combo->setMaximumWidth(BoxWidth::Theme);
    grid->addWidget(label(u"PLSS Theme:"_s), 1, 0);
    grid->addWidget(PLSS_Combo, 1, 1, 1, 3);
    Section_Text = labelled(grid, 2, 0, u"Section:"_s, box(u"Section_Text"_s));
    Township_Text = labelled(grid, 2, 2, u"Township:"_s, box(u"Township_Text"_s));
    Range_Text = labelled(grid, 3, 0, u"Range:"_s, box(u"Range_Text"_s));
    for (QLineEdit *b : {Section_Text, Township_Text, Range_Text})
        b->setMaximumWidth(BoxWidth::Short);
    labelled(grid, 3, 2, u"Meridian:"_s, meridianList(Meridian_Text));

    grid->addLayout(buildQuarterLists(), 4, 0, 1, 5);
    FC_X_Text = box(u"FC_X_Text"_s);
    FC_Y_Text = box(u"FC_Y_Text"_s);
    FC_X_Text->setPlaceholderText(u"660E"_s);
    FC_Y_Text->setPlaceholderText(u"1980S"_s);
    for (QLineEdit *b : {FC_X_Text, FC_Y_Text})
        b->setMaximumWidth(BoxWidth::Short);
    labelled(grid, 5, 0, u"Footage from E/W line:"_s, withUnit(FC_X_Text, u"ft"_s));
    labelled(grid, 5, 2, u"Footage from N/S line:"_s, withUnit(FC_Y_Text, u"ft"_s));
    CalculateFC_Command = named(new QPushButton(u"Calculate"_s), u"CalculateFC_Command"_s);
    CalculateFC_Command->setToolTip(u"Locate the well by its footage calls"_s);
    grid->addWidget(CalculateFC_Command, 5, 4);
    Output_Easting_Text = labelled(grid, 6, 0, u"Easting:"_s, box(u"Output_Easting_Text"_s));
    Output_Northing_Text = labelled(grid, 6, 2, u"Northing:"_s, box(u"Output_Northing_Text"_s));
    for (QLineEdit *b : {Output_Easting_Text, Output_Northing_Text})
        b->setMaximumWidth(BoxWidth::Coordinate);
    grid->addWidget(copyButton(u"cmdCopyUTM"_s, this, {Output_Easting_Text, Output_Northing_Text},
                               [this] {
                                   return joined({Output_Easting_Text, Output_Northing_Text});
                               }),
                    6, 4);
    chkZoomToLocation = named(new QCheckBox(u"Zoom To Location"_s), u"chkZoomToLocation"_s);
    cmdErase = named(new QPushButton(u"Erase Fields"_s), u"cmdErase"_s);
    grid->addWidget(chkZoomToLocation, 7, 0, 1, 2);
    m_precision = named(new QLabel, u"precision"_s);
    m_precision->setWordWrap(true);
    m_precision->setToolTip(u"How far the parcel the description names reaches from the point, "
                            "and how the point was found"_s);
    grid->addWidget(m_precision, 7, 2, 1, 2);
    grid->addWidget(cmdErase, 7, 4);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(5, 1); // the room left goes to the right, not into the boxes
    connectForwardTab();
    return page;
}

QGridLayout *WellCalculations::buildQuarterLists()
{
    auto *quarters = new QGridLayout;
    const std::pair<QComboBox **, QString> lists[] = {{&Q160_Combo, u"Q160"_s},
                                                      {&Q40_Combo, u"Q40"_s},
                                                      {&Q10_Combo, u"Q10"_s},
                                                      {&Q25_Combo, u"Q25"_s}};
    const QStringList captions = {u"Quarter (160 ac):"_s, u"Quarter-quarter (40 ac):"_s,
                                  u"10 acres:"_s, u"2.5 acres:"_s};
    for (int i = 0; i < 4; ++i) {
        *lists[i].first = named(new QComboBox, lists[i].second + u"_Combo"_s);
        labelled(quarters, i / 2, (i % 2) * 2, captions[i], *lists[i].first);
    }
    CalculatePLSS_Command = named(new QPushButton(u"Calculate"_s), u"CalculatePLSS_Command"_s);
    CalculatePLSS_Command->setToolTip(u"Locate the well by its quarter calls"_s);
    quarters->addWidget(CalculatePLSS_Command, 1, 4);
    quarters->setColumnStretch(5, 1);
    return quarters;
}

void WellCalculations::connectForwardTab()
{
    connect(cmdReadDescription, &QPushButton::clicked, this,
            &WellCalculations::cmdReadDescription_Click);
    connect(m_locateDescription, &QPushButton::clicked, this, &WellCalculations::locateDescription);
    connect(Description_Text, &QLineEdit::returnPressed, m_locateDescription, &QPushButton::click);
    connect(CalculatePLSS_Command, &QPushButton::clicked, this,
            &WellCalculations::CalculatePLSS_Command_Click);
    connect(CalculateFC_Command, &QPushButton::clicked, this,
            &WellCalculations::CalculateFC_Command_Click);
    connect(cmdErase, &QPushButton::clicked, this, &WellCalculations::cmdErase_Click);
    enterPresses({FC_X_Text, FC_Y_Text}, CalculateFC_Command);
    // In the description's boxes Enter runs the quarter calls, or the footage calls when only
    // those are given.
    for (QLineEdit *b : {Section_Text, Township_Text, Range_Text, Meridian_Text}) {
        connect(b, &QLineEdit::returnPressed, this, [this] {
            const bool quarters = Q160_Combo->currentIndex() > 0 || Q40_Combo->currentIndex() > 0 ||
                                  Q10_Combo->currentIndex() > 0 || Q25_Combo->currentIndex() > 0;
            const bool footage =
                !FC_X_Text->text().trimmed().isEmpty() && !FC_Y_Text->text().trimmed().isEmpty();
            (footage && !quarters ? CalculateFC_Command : CalculatePLSS_Command)->click();
        });
    }
}

QWidget *WellCalculations::buildReverseTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto label = [](const QString &text) { return new QLabel(text); };
    RevPLSS_Combo = named(new QComboBox, u"RevPLSS_Combo"_s);
    RevPLSS_Combo->setMaximumWidth(BoxWidth::Theme);
    grid->addWidget(label(u"PLSS Theme:"_s), 0, 0);
    grid->addWidget(RevPLSS_Combo, 0, 1, 1, 3);
    RevEasting_Text = labelled(grid, 1, 0, u"Easting:"_s, box(u"RevEasting_Text"_s));
    RevNorthing_Text = labelled(grid, 1, 2, u"Northing:"_s, box(u"RevNorthing_Text"_s));
    RevGPSCommand = named(new QPushButton(u"Calculate"_s), u"RevGPSCommand"_s);
    chkRevZoomToLocation = named(new QCheckBox(u"Zoom To Location"_s), u"chkRevZoomToLocation"_s);
    grid->addWidget(chkRevZoomToLocation, 2, 0, 1, 2);
    grid->addWidget(RevGPSCommand, 2, 3);
    auto *place = new QHBoxLayout;
    place->addWidget(label(u"Section:"_s));
    place->addWidget(RevSectionText = box(u"RevSectionText"_s));
    place->addWidget(label(u"Township:"_s));
    place->addWidget(RevTownshipText = box(u"RevTownshipText"_s));
    place->addWidget(label(u"Range:"_s));
    place->addWidget(RevRangeText = box(u"RevRangeText"_s));
    place->addWidget(label(u"Meridian:"_s));
    place->addWidget(m_reverseMeridian = box(u"reverseMeridian"_s, true));
    m_reverseMeridian->setMaximumWidth(BoxWidth::Coordinate);
    place->addStretch();
    grid->addLayout(place, 3, 0, 1, 4);
    auto *sections = new QGroupBox(u"PLSS Sections"_s);
    auto *sl = new QGridLayout(sections);
    RevQ160Text = labelled(sl, 0, 0, u"160 ac:"_s, box(u"RevQ160Text"_s));
    RevQ40Text = labelled(sl, 0, 2, u"40 ac:"_s, box(u"RevQ40Text"_s));
    RevQ10Text = labelled(sl, 1, 0, u"10 ac:"_s, box(u"RevQ10Text"_s));
    RevQ2_5Text = labelled(sl, 1, 2, u"2.5 ac:"_s, box(u"RevQ2_5Text"_s));
    m_reverseDivision = labelled(sl, 2, 0, u"Surveyed:"_s, box(u"reverseDivision"_s, true));
    m_reverseDivision->setToolTip(u"The BLM second division holding the point (\"NESW\", "
                                  "\"L 3\"), where the map has second divisions"_s);
    auto *footage = new QGroupBox(u"Footage Calls (feet)"_s);
    auto *fl = new QFormLayout(footage);
    fl->addRow(u"From E/W line:"_s, RevFCXText = box(u"RevFCXText"_s));
    fl->addRow(u"From N/S line:"_s, RevFCYText = box(u"RevFCYText"_s));
    grid->addWidget(sections, 4, 0, 1, 2);
    grid->addWidget(footage, 4, 2, 1, 2);
    RevDescriptionText = box(u"RevDescriptionText"_s, true);
    auto *description = new QHBoxLayout;
    description->addWidget(label(u"Description:"_s));
    description->addWidget(RevDescriptionText, 1);
    description->addWidget(copyButton(u"cmdCopyDescription"_s, this, {RevDescriptionText},
                                      [this] { return RevDescriptionText->text(); }));
    grid->addLayout(description, 5, 0, 1, 4);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(4, 1);
    for (QLineEdit *b : {RevEasting_Text, RevNorthing_Text})
        b->setMaximumWidth(BoxWidth::Coordinate);
    for (QLineEdit *b : {RevSectionText, RevTownshipText, RevRangeText})
        b->setMaximumWidth(BoxWidth::Short);
    sections->setMaximumWidth(2 * BoxWidth::Coordinate);
    footage->setMaximumWidth(2 * BoxWidth::Coordinate);
    RevDescriptionText->setMaximumWidth(BoxWidth::Description);
    enterPresses({RevEasting_Text, RevNorthing_Text}, RevGPSCommand);
    RevEasting_Text->installEventFilter(this);
    RevNorthing_Text->installEventFilter(this);
    connect(RevGPSCommand, &QPushButton::clicked, this, &WellCalculations::RevGPSCommand_Click);
    return page;
}

QWidget *WellCalculations::buildZoneTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(nad83Label()); // every conversion is NAD 83
    cmbStartZone = named(new QComboBox, u"cmbStartZone"_s);
    cmbStartZone->setEditable(true);
    form->addRow(u"Starting Zone:"_s, cmbStartZone);
    form->addRow(u"Easting:"_s, txtZoneX = box(u"txtZoneX"_s));
    form->addRow(u"Northing:"_s, txtZoneY = box(u"txtZoneY"_s));
    cmbEndZone = named(new QComboBox, u"cmbEndZone"_s);
    cmbEndZone->setEditable(true);
    form->addRow(u"Ending Zone:"_s, cmbEndZone);
    cmdCalculateZoneUTM = named(new QPushButton(u"Calculate"_s), u"cmdCalculateZoneUTM"_s);
    form->addRow(cmdCalculateZoneUTM);
    form->addRow(u"Result Easting:"_s, txtOutZoneX = box(u"txtOutZoneX"_s));
    form->addRow(u"Result Northing:"_s, txtOutZoneY = box(u"txtOutZoneY"_s));
    form->addRow(copyButton(u"cmdCopyZone"_s, this, {txtOutZoneX, txtOutZoneY}, [this] {
        return joined({txtOutZoneX, txtOutZoneY});
    }));
    enterPresses({txtZoneX, txtZoneY}, cmdCalculateZoneUTM);
    connect(cmdCalculateZoneUTM, &QPushButton::clicked, this,
            &WellCalculations::cmdCalculateZoneUTM_Click);
    return page;
}

QWidget *WellCalculations::buildLatLongTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(nad83Label());
    cmbLatLonMode = named(new QComboBox, u"cmbLatLonMode"_s);
    form->addRow(u"Mode:"_s, cmbLatLonMode);
    cmbLLZone = named(new QComboBox, u"cmbLLZone"_s);
    cmbLLZone->setEditable(true);
    form->addRow(u"Zone:"_s, cmbLLZone);
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
                 dms(txtConvLat = box(u"txtConvLat"_s), txtConvLatMin = box(u"txtConvLatMin"_s),
                     txtConvLatSec = box(u"txtConvLatSec"_s)));
    form->addRow(u"Longitude:"_s,
                 dms(txtConvLong = box(u"txtConvLong"_s), txtConvLongMin = box(u"txtConvLongMin"_s),
                     txtConvLongSec = box(u"txtConvLongSec"_s)));
    cmdLatLong2UTM = named(new QPushButton, u"cmdLatLong2UTM"_s);
    cmdLatLong2UTM->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    cmdLatLong2UTM->setToolTip(u"Latitude/longitude to UTM"_s);
    cmdUTM2LatLong = named(new QPushButton, u"cmdUTM2LatLong"_s);
    cmdUTM2LatLong->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    cmdUTM2LatLong->setToolTip(u"UTM to latitude/longitude"_s);
    auto *arrows = new QHBoxLayout;
    arrows->addWidget(cmdLatLong2UTM);
    arrows->addWidget(cmdUTM2LatLong);
    arrows->addStretch();
    form->addRow(arrows);
    form->addRow(u"Easting:"_s, txtConvEasting = box(u"txtConvEasting"_s));
    form->addRow(u"Northing:"_s, txtConvNorthing = box(u"txtConvNorthing"_s));
    // QString, not the builder: the builder would refer to the lambda's own locals.
    form->addRow(copyButton(
        u"cmdCopyLatLong"_s, this, {txtConvLat, txtConvLong, txtConvEasting, txtConvNorthing},
        [this]() -> QString {
            const QString latitude = joined({txtConvLat, txtConvLatMin, txtConvLatSec});
            const QString longitude = joined({txtConvLong, txtConvLongMin, txtConvLongSec});
            return u"Latitude "_s + latitude + u"; Longitude "_s + longitude + u"; Easting "_s +
                   txtConvEasting->text().trimmed() + u"; Northing "_s +
                   txtConvNorthing->text().trimmed();
        }));
    enterPresses(
        {txtConvLat, txtConvLatMin, txtConvLatSec, txtConvLong, txtConvLongMin, txtConvLongSec},
        cmdLatLong2UTM);
    enterPresses({txtConvEasting, txtConvNorthing}, cmdUTM2LatLong);
    connect(cmdLatLong2UTM, &QPushButton::clicked, this, &WellCalculations::cmdLatLong2UTM_Click);
    connect(cmdUTM2LatLong, &QPushButton::clicked, this, &WellCalculations::cmdUTM2LatLong_Click);
    connect(cmbLatLonMode, &QComboBox::currentIndexChanged, this,
            &WellCalculations::SetLLSensitivity);
    return page;
}

void WellCalculations::UserControl_Initialize()
{
    if (Q160_Combo->count() > 0)
        return;
    for (QComboBox *list : {Q160_Combo, Q40_Combo, Q10_Combo, Q25_Combo}) {
        list->addItems(quarterItems);
        list->setCurrentIndex(0);
    }
    cmbStartZone->addItems({u"12"_s, u"13"_s});
    cmbStartZone->setCurrentIndex(0);
    cmbEndZone->addItems({u"12"_s, u"13"_s});
    cmbEndZone->setCurrentIndex(1);
    cmbLLZone->addItems({u"12"_s, u"13"_s});
    cmbLLZone->setCurrentIndex(1);
    cmbLatLonMode->addItems(
        {u"Decimal Degrees"_s, u"Decimal Minutes"_s, u"Degrees Minutes Seconds"_s});
    cmbLatLonMode->setCurrentIndex(0);
    SetLLSensitivity();
    emptyResultsOnEdit();
}

void WellCalculations::emptyResultsOnEdit()
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
    const auto forward = emptying({Output_Easting_Text, Output_Northing_Text});
    onEdit({Section_Text, Township_Text, Range_Text, Meridian_Text, FC_X_Text, FC_Y_Text}, forward);
    onChoice({PLSS_Combo, Q160_Combo, Q40_Combo, Q10_Combo, Q25_Combo,
              findChild<QComboBox *>(u"Meridian_Combo"_s)},
             forward);
    const auto reverse = emptying(reverseResultBoxes());
    onEdit({RevEasting_Text, RevNorthing_Text}, reverse);
    onChoice({RevPLSS_Combo}, reverse);
    const auto zone = emptying({txtOutZoneX, txtOutZoneY});
    onEdit({txtZoneX, txtZoneY, cmbStartZone->lineEdit(), cmbEndZone->lineEdit()}, zone);
    onChoice({cmbStartZone, cmbEndZone}, zone);
    // Lat-Long converts both ways: an edit on one side empties the other.
    const auto utmSide = emptying({txtConvEasting, txtConvNorthing});
    const auto geographicSide = emptying(geographicBoxes());
    onEdit(geographicBoxes(), utmSide);
    onEdit({txtConvEasting, txtConvNorthing}, geographicSide);
    onEdit({cmbLLZone->lineEdit()}, utmSide);
    onChoice({cmbLLZone}, utmSide);
}
