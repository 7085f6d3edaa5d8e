#pragma once

#include "core/coords/coordinate_entry.h"
#include "core/engine/geometry.h"
#include "core/plss/description_reader.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class CalculatorHost;
class MessageService;
class SecondDivisions;
struct LocateOptions;
struct WellLocation;
class QLabel;
class MapLayer;
class VectorLayer;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QTabWidget;

// A meridian as the panel shows it: its code and name ("26 Salt Lake"), or the code alone when
// the code is unknown.
QString meridianLabel(int code);

// The calculators beside the map: PLSS to UTM by quarter or footage calls, UTM to PLSS, zone
// conversion and latitude/longitude conversion, on four tabs. A thin shell over the core: the
// handlers read the boxes, call the core and write what it gives back. Does not take ownership of
// the host (the map window that holds the panel).
class WellCalculations : public QWidget
{
    Q_OBJECT

public:
    explicit WellCalculations(QWidget *parent = nullptr);

    void AssociateView(CalculatorHost *theview) { m_view = theview; }
    // Offers a shapefile theme: section themes join both theme lists and, unless they come
    // from a project that keeps their own symbol, are drawn hollow with a green outline. True
    // when the theme was restyled so.
    bool AddTheme(const std::shared_ptr<MapLayer> &mTheme, bool restyle = true);
    // A point picked on the map becomes the reverse location's input.
    void RevSetPoint(const MapPoint &mousept);
    // Select Point: the point picked is located in the PLSS at once, on the UTM -> PLSS tab.
    void locatePickedPoint(const MapPoint &point);
    // Another project: every box and result of the panel is emptied and the marks go.
    void reset();
    // Themes left the map: the results, which may have come from them, are emptied.
    void clearResults();
    // Takes the wells' marks off the map; the located wells stay listed for export.
    void clearMarks();
    // Drops from both theme lists the names of themes no longer on the map.
    void RemoveMissingThemes();
    void SetLLSensitivity();

    // The wells located in this panel since it opened, forward and reverse: one row per well
    // under LocatedWellsHeader, and its point in map units.
    static const QStringList LocatedWellsHeader;
    const QList<QStringList> &locatedWells() const { return m_locatedRows; }
    const QList<MapPoint> &locatedPoints() const { return m_locatedPoints; }

    void CalculatePLSS_Command_Click();
    void CalculateFC_Command_Click();
    void cmdErase_Click();
    // Fills the first tab's boxes from the legal description typed; says what it cannot read
    // and then changes nothing.
    void cmdReadDescription_Click();
    // Reads the description and, when it names a place (section, township, range and quarter
    // or footage calls), locates it at once.
    void locateDescription();
    void RevGPSCommand_Click();
    void cmdCalculateZoneUTM_Click();
    void cmdLatLong2UTM_Click();
    void cmdUTM2LatLong_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildForwardTab();
    // The four quarter lists with the Calculate that runs them, in two rows.
    QGridLayout *buildQuarterLists();
    void connectForwardTab();
    QWidget *buildReverseTab();
    QWidget *buildZoneTab();
    QWidget *buildLatLongTab();
    void UserControl_Initialize();
    void writeUtmResult(QLineEdit *eastingBox, QLineEdit *northingBox, const QString &easting,
                        const QString &northing);
    // Runs a conversion with the busy pointer and writes its UTM result.
    void convertInto(QLineEdit *eastingBox, QLineEdit *northingBox,
                     const std::function<std::optional<UtmTexts>(MessageService &)> &convert);
    void refreshMap();
    // Keeps a located well, described by the first tab's boxes as they now stand, and marks it
    // on the map with its number.
    void recordWell(const QString &how, const MapPoint &point, const WellLocation *w = nullptr);
    // A forward result: its easting and northing, how sure it is, the parcel outlined and the
    // quarter lines on the map, and the well kept.
    void showForwardResult(const WellLocation &w, const QString &how);
    // The rule of the Options and the second divisions of the map, where it holds them.
    LocateOptions locateOptions();
    // The theme a list names, or nothing after saying what is missing: no section theme at all
    // (the host offers to name a theme's PLSS fields) or a listed theme that has gone (it is
    // dropped from the lists).
    std::shared_ptr<VectorLayer> listedTheme(const QComboBox *list);
    // A calculation starts: the outputs it writes are emptied and the last result's quarter
    // lines leave the map, so a failure leaves nothing of an answer that is not its own.
    void clearForwardResult();
    void clearReverseResult();
    // The boxes a reverse location writes, and the latitude/longitude boxes of the Lat-Long tab.
    QList<QLineEdit *> reverseResultBoxes() const;
    QList<QLineEdit *> geographicBoxes() const;
    // Editing any input of a tab empties that tab's results until its next Calculate.
    void emptyResultsOnEdit();
    // Fills the first tab's boxes from the description (what Read does) and returns what was
    // read; says what it cannot read and then changes nothing.
    std::optional<DescriptionFields> fillFromDescription();
    // The Meridian box as the lookups read it: the code of a meridian shown by name.
    QString meridianEntry() const;
    void showMeridian(const QString &entry);

    CalculatorHost *m_view = nullptr;
    QList<QStringList> m_locatedRows;
    QList<MapPoint> m_locatedPoints;

    QTabWidget *NorvaneTab = nullptr;
    // PLSS -> UTM
    QComboBox *PLSS_Combo = nullptr;
    QLineEdit *Section_Text = nullptr, *Township_Text = nullptr, *Range_Text = nullptr,
              *Meridian_Text = nullptr;
    QComboBox *Q160_Combo = nullptr, *Q40_Combo = nullptr, *Q10_Combo = nullptr,
              *Q25_Combo = nullptr;
    QPushButton *CalculatePLSS_Command = nullptr, *CalculateFC_Command = nullptr,
                *cmdErase = nullptr;
    QLineEdit *FC_X_Text = nullptr, *FC_Y_Text = nullptr;
    QLineEdit *Output_Easting_Text = nullptr, *Output_Northing_Text = nullptr;
    QCheckBox *chkZoomToLocation = nullptr;
    QLineEdit *Description_Text = nullptr;
    QPushButton *cmdReadDescription = nullptr;
    // UTM -> PLSS
    QComboBox *RevPLSS_Combo = nullptr;
    QLineEdit *RevEasting_Text = nullptr, *RevNorthing_Text = nullptr;
    QPushButton *RevGPSCommand = nullptr;
    QCheckBox *chkRevZoomToLocation = nullptr;
    QLineEdit *RevSectionText = nullptr, *RevTownshipText = nullptr, *RevRangeText = nullptr;
    QLineEdit *RevQ160Text = nullptr, *RevQ40Text = nullptr, *RevQ10Text = nullptr,
              *RevQ2_5Text = nullptr;
    QLineEdit *RevFCXText = nullptr, *RevFCYText = nullptr;
    QLineEdit *RevDescriptionText = nullptr;
    // GPS Zone Conversions
    QComboBox *cmbStartZone = nullptr, *cmbEndZone = nullptr;
    QLineEdit *txtZoneX = nullptr, *txtZoneY = nullptr, *txtOutZoneX = nullptr,
              *txtOutZoneY = nullptr;
    QPushButton *cmdCalculateZoneUTM = nullptr;
    // Lat-Long
    QComboBox *cmbLatLonMode = nullptr, *cmbLLZone = nullptr;
    QLineEdit *txtConvLat = nullptr, *txtConvLatMin = nullptr, *txtConvLatSec = nullptr;
    QLineEdit *txtConvLong = nullptr, *txtConvLongMin = nullptr, *txtConvLongSec = nullptr;
    QLineEdit *txtConvEasting = nullptr, *txtConvNorthing = nullptr;
    QPushButton *cmdLatLong2UTM = nullptr, *cmdUTM2LatLong = nullptr;
    QPushButton *m_locateDescription = nullptr;
    QLineEdit *m_reverseMeridian = nullptr;
    QLineEdit *m_reverseDivision = nullptr; // the second division holding a reversed point
    QLabel *m_precision = nullptr;          // "± 933 ft" and how the point was found
    // The second divisions read from a theme of the map, kept while that theme is there.
    std::weak_ptr<const MapLayer> m_divisionsTheme;
    std::shared_ptr<const SecondDivisions> m_divisions;
};
