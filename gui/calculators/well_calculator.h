#pragma once

#include "core/coords/coordinate_entry.h"
#include "core/engine/geometry.h"
#include "core/plss/description_reader.h"
#include "core/wells/well_entry.h"

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
class WellCalculator : public QWidget
{
    Q_OBJECT

public:
    explicit WellCalculator(QWidget *parent = nullptr);

    void setHost(CalculatorHost *theview) { m_view = theview; }
    // Offers a shapefile theme: section themes join both theme lists and, unless they come
    // from a project that keeps their own symbol, are drawn hollow with a green outline. True
    // when the theme was restyled so.
    bool addTheme(const std::shared_ptr<MapLayer> &mTheme, bool restyle = true);
    // A point picked on the map becomes the reverse location's input.
    void setReversePoint(const MapPoint &mousept);
    // Select Point: the point picked is located in the PLSS at once, on the UTM -> PLSS tab.
    void locatePickedPoint(const MapPoint &point);
    // Another project: every box and result of the panel is emptied and the marks go.
    void reset();
    // Themes left the map: the results, which may have come from them, are emptied.
    void clearResults();
    // Takes the wells' marks off the map; the located wells stay listed for export.
    void clearMarks();
    // Drops from both theme lists the names of themes no longer on the map.
    void removeMissingThemes();
    void updateGeographicInputs();

    // The wells located in this panel since it opened, forward and reverse: one row per well
    // under LocatedWellsHeader, and its point in map units.
    static const QStringList LocatedWellsHeader;
    const QList<QStringList> &locatedWells() const { return m_locatedRows; }
    const QList<MapPoint> &locatedPoints() const { return m_locatedPoints; }

    // The section theme the first tab locates on (none, after saying so) and the options it
    // locates with, for locating wells elsewhere the same way.
    std::shared_ptr<VectorLayer> sectionTheme();
    LocateOptions locateOptions();
    // The second divisions the options of the last locateOptions() point to, to keep them
    // alive as long as a copy of those options is used.
    std::shared_ptr<const SecondDivisions> divisions() const { return m_divisions; }

    void locateByQuarterCalls();
    void locateByFootage();
    void eraseMarks();
    // Fills the first tab's boxes from the legal description typed; says what it cannot read
    // and then changes nothing.
    void readDescription();
    // Reads the description and, when it names a place (section, township, range and quarter
    // or footage calls), locates it at once.
    void locateDescription();
    void locateReverse();
    void convertBetweenZones();
    void convertToUtm();
    void convertToGeographic();

Q_SIGNALS:
    // A forward Calculate located a well: the entry it was located from, for the wells list.
    void wellLocated(const WellEntry &entry);
    // A reverse Calculate described the point: the entry it gives and the point itself.
    void pointDescribed(const WellEntry &entry, const MapPoint &point);

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
    void buildTabs();
    void writeUtmResult(QLineEdit *eastingBox, QLineEdit *northingBox, const QString &easting,
                        const QString &northing);
    // Runs a conversion with the busy pointer and writes its UTM result.
    void convertInto(QLineEdit *eastingBox, QLineEdit *northingBox,
                     const std::function<std::optional<UtmTexts>(MessageService &)> &convert);
    void refreshMap();
    // The window that shows the busy pointer while a calculation runs: the host's, when the
    // host is a widget (the map window), else none.
    QWidget *hostWidget() const;
    // Keeps a located well, described by the first tab's boxes as they now stand, and marks it
    // on the map with its number.
    void recordWell(const QString &how, const MapPoint &point, const WellLocation *w = nullptr);
    // A forward result: its easting and northing, how sure it is, the parcel outlined and the
    // quarter lines on the map, and the well kept.
    void showForwardResult(const WellLocation &w, const QString &how);
    // The well of the last forward Calculate as its boxes (or its description) give it.
    WellEntry entryAsTyped(const QString &how) const;
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

    QTabWidget *m_tabs = nullptr;
    // PLSS -> UTM
    QComboBox *m_sectionThemes = nullptr;
    QLineEdit *m_section = nullptr, *m_township = nullptr, *m_range = nullptr,
              *m_meridian = nullptr;
    QComboBox *m_call160 = nullptr, *m_call40 = nullptr, *m_call10 = nullptr, *m_call2_5 = nullptr;
    QPushButton *m_calculateQuarters = nullptr, *m_calculateFootage = nullptr, *m_erase = nullptr;
    QLineEdit *m_footageEastWest = nullptr, *m_footageNorthSouth = nullptr;
    QLineEdit *m_easting = nullptr, *m_northing = nullptr;
    QCheckBox *m_zoomToWell = nullptr;
    QLineEdit *m_description = nullptr;
    QPushButton *m_readDescription = nullptr;
    // UTM -> PLSS
    QComboBox *m_reverseThemes = nullptr;
    QLineEdit *m_reverseEasting = nullptr, *m_reverseNorthing = nullptr;
    QPushButton *m_calculateReverse = nullptr;
    QCheckBox *m_reverseZoomToPoint = nullptr;
    QLineEdit *m_reverseSection = nullptr, *m_reverseTownship = nullptr, *m_reverseRange = nullptr;
    QLineEdit *m_reverseCall160 = nullptr, *m_reverseCall40 = nullptr, *m_reverseCall10 = nullptr,
              *m_reverseCall2_5 = nullptr;
    QLineEdit *m_reverseFootageEastWest = nullptr, *m_reverseFootageNorthSouth = nullptr;
    QLineEdit *m_reverseDescription = nullptr;
    // GPS Zone Conversions
    QComboBox *m_fromZone = nullptr, *m_toZone = nullptr;
    QLineEdit *m_zoneEasting = nullptr, *m_zoneNorthing = nullptr, *m_convertedEasting = nullptr,
              *m_convertedNorthing = nullptr;
    QPushButton *m_convertZone = nullptr;
    // Lat-Long
    QComboBox *m_angleFormat = nullptr, *m_geographicZone = nullptr;
    QLineEdit *m_latitude = nullptr, *m_latitudeMinutes = nullptr, *m_latitudeSeconds = nullptr;
    QLineEdit *m_longitude = nullptr, *m_longitudeMinutes = nullptr, *m_longitudeSeconds = nullptr;
    QLineEdit *m_geographicEasting = nullptr, *m_geographicNorthing = nullptr;
    QPushButton *m_toUtm = nullptr, *m_toGeographic = nullptr;
    QPushButton *m_locateDescription = nullptr;
    QLineEdit *m_reverseMeridian = nullptr;
    QLineEdit *m_reverseDivision = nullptr; // the second division holding a reversed point
    QLabel *m_precision = nullptr;          // "± 933 ft" and how the point was found
    // The second divisions read from a theme of the map, kept while that theme is there.
    std::weak_ptr<const MapLayer> m_divisionsTheme;
    std::shared_ptr<const SecondDivisions> m_divisions;
};
