#include "cli/locate_tool.h"

#include "cli/batch.h"
#include "cli/locate_runs.h"
#include "core/common/csv.h"
#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/common/text_decoding.h"
#include "core/coords/coordinate_entry.h"
#include "core/engine/map_crs.h"
#include "core/engine/point_writer.h"
#include "core/engine/vector_layer.h"
#include "core/plss/description_reader.h"
#include "core/plss/footage.h"
#include "core/plss/legal_description.h"
#include "core/plss/plss_query.h"
#include "core/plss/plss_schema.h"
#include "core/plss/reverse_location.h"
#include "core/plss/second_divisions.h"
#include "core/plss/well_location.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

using namespace locaterun;

namespace {

QString commandsHelp()
{
    return u"Usage: tractwise-locate COMMAND [options]\n"
           "Locates wells by the Public Land Survey System and converts coordinates (NAD 83).\n"
           "Output is CSV: a header line, then rows.\n\n"
           "Commands:\n"
           "  forward        section, township, range and quarter or footage calls to UTM\n"
           "  reverse        UTM easting and northing to section, township, range and calls\n"
           "  to-utm         latitude/longitude to UTM\n"
           "  to-geo         UTM to latitude/longitude (decimal degrees, west negative)\n"
           "  zone           UTM from one zone into another\n"
           "  batch forward  a CSV file of descriptions to a CSV file of positions\n"
           "  batch reverse  a CSV file of positions to a CSV file of descriptions\n"
           "  parse          a legal description to the columns batch forward reads\n"
           "  batch parse    a CSV file of legal descriptions to those columns\n\n"
           "tractwise-locate COMMAND --help describes a command; tractwise-locate --version\n"
           "prints the version.\n"_s;
}

struct Command
{
    QString name;
    QString description;
    QList<QCommandLineOption> options;
    QStringList required;
    int (*run)(const Run &);
};

QCommandLineOption option(const QString &name, const QString &help, const QString &value)
{
    return QCommandLineOption(name, help, value);
}

const QCommandLineOption &themeOption()
{
    static const QCommandLineOption theme =
        option(u"theme"_s,
               u"PLSS section theme: any vector source GDAL reads (shapefile, GeoPackage, File "
               "Geodatabase folder, GeoJSON, KML, zipped shapefile), SOURCE|layername=NAME for one "
               "layer of several. Reprojected into NAD83 UTM when it declares another system."_s,
               u"SECTIONS"_s);
    return theme;
}

// forward and reverse.
QList<Command> locationCommands()
{
    const auto &opt = option;
    const QCommandLineOption &theme = themeOption();
    return {
        {u"forward"_s,
         u"Prints easting,northing,radius_ft,method of a well described by quarter calls "
         "(or halves, N/2), by footage calls when --fc-x and --fc-y are given, by a lot, by a "
         "tie from a corner, or by a legal description as permits write it. A missing quarter "
         "call is \"--\". radius_ft is the distance to the farthest point of the parcel named "
         "(0 for a point), method how the point was found."_s,
         {theme,
          opt(u"description"_s,
              u"The well as a legal description, such as \"NE/4 SW/4 "
              "Sec. 36, T153N, R95W, 5th P.M.\"; options given as well win."_s,
              u"TEXT"_s),
          opt(u"township"_s, u"Township with direction, such as 12N."_s, u"T"_s),
          opt(u"range"_s, u"Range with direction, such as 34W."_s, u"R"_s),
          opt(u"section"_s, u"Section number."_s, u"S"_s),
          opt(u"meridian"_s, u"Principal meridian number."_s, u"M"_s),
          opt(u"q160"_s, u"Quarter call, 160 acres: NW, NE, SE or SW."_s, u"Q"_s),
          opt(u"q40"_s, u"Quarter call, 40 acres."_s, u"Q"_s),
          opt(u"q10"_s, u"Quarter call, 10 acres."_s, u"Q"_s),
          opt(u"q2_5"_s, u"Quarter call, 2.5 acres."_s, u"Q"_s),
          opt(u"fc-x"_s, u"Footage call, such as 660E."_s, u"FCX"_s),
          opt(u"fc-y"_s, u"Footage call, such as 1980S."_s, u"FCY"_s),
          opt(u"lot"_s, u"Government lot number."_s, u"N"_s),
          opt(u"tie-corner"_s, u"Corner of a tie: SW, SE, NW, NE, N4, S4, E4, W4 or C4."_s, u"C"_s),
          opt(u"tie-ns"_s, u"Distance of a tie north or south, such as 1234N."_s, u"D"_s),
          opt(u"tie-ew"_s, u"Distance of a tie east or west, such as 567E."_s, u"D"_s)},
         {u"theme"_s},
         runForward},
        {u"reverse"_s,
         u"Prints section,township,range,q160,q40,q10,q2_5,fc_x,fc_y,description of a UTM "
         "point, and division (the second division holding it) with --divisions."_s,
         {theme, opt(u"easting"_s, u"Easting, metres, 100000 to 999999.99."_s, u"E"_s),
          opt(u"northing"_s, u"Northing, metres."_s, u"N"_s)},
         {u"theme"_s, u"easting"_s, u"northing"_s},
         runReverse},
    };
}

// The conversions and the commands that read and write files.
QList<Command> otherCommands()
{
    const auto &opt = option;
    const QCommandLineOption &theme = themeOption();
    return {
        {u"to-utm"_s,
         u"Prints easting,northing of a latitude and longitude. The longitude is taken as west "
         "whatever its sign: 106 and -106 are both 106 degrees west."_s,
         {opt(u"lat"_s, u"Latitude, decimal degrees."_s, u"LAT"_s),
          opt(u"lon"_s, u"Longitude, decimal degrees west (either sign)."_s, u"LON"_s),
          opt(u"zone"_s, u"UTM zone (default 13)."_s, u"Z"_s)},
         {u"lat"_s, u"lon"_s},
         runToUtm},
        {u"to-geo"_s,
         u"Prints latitude,longitude of a UTM point in signed decimal degrees, 6 places: north "
         "and east positive, so a longitude west is negative (-106 is 106 degrees west)."_s,
         {opt(u"easting"_s, u"Easting, metres."_s, u"E"_s),
          opt(u"northing"_s, u"Northing, metres."_s, u"N"_s),
          opt(u"zone"_s, u"UTM zone (default 13)."_s, u"Z"_s)},
         {u"easting"_s, u"northing"_s},
         runToGeo},
        {u"zone"_s,
         u"Prints easting,northing of a UTM point re-projected into another zone. The easting "
         "must be between 100000 and 999999.99 metres."_s,
         {opt(u"easting"_s, u"Easting, metres, 100000 to 999999.99."_s, u"E"_s),
          opt(u"northing"_s, u"Northing, metres."_s, u"N"_s),
          opt(u"from"_s, u"Starting zone."_s, u"Z1"_s), opt(u"to"_s, u"Ending zone."_s, u"Z2"_s)},
         {u"easting"_s, u"northing"_s, u"from"_s, u"to"_s},
         runZone},
        {u"parse"_s,
         u"Prints the columns batch forward reads, meridian,township,range,section,q160,q40,"
         "q10,q2_5,fc_x,fc_y,lot,tie_corner,tie_ns,tie_ew, of a legal description."_s,
         {opt(u"description"_s, u"The legal description."_s, u"TEXT"_s)},
         {u"description"_s},
         runParse},
        {u"batch parse"_s,
         u"Reads id,description and writes id,meridian,township,range,section,q160,q40,q10,"
         "q2_5,fc_x,fc_y,error,lot,tie_corner,tie_ns,tie_ew: a file of descriptions checked "
         "before batch forward."_s,
         {opt(u"in"_s, u"Input CSV file."_s, u"IN.csv"_s),
          opt(u"out"_s, u"Output CSV file."_s, u"OUT.csv"_s)},
         {u"in"_s, u"out"_s},
         runBatchParse},
        {u"batch forward"_s,
         u"Reads id,meridian,township,range,section,q160,q40,q10,q2_5,fc_x,fc_y and optional "
         "lot,tie_corner,tie_ns,tie_ew (or a description column where township, range and "
         "section are empty) and writes id,easting,northing,error,radius_ft,method,latitude,"
         "longitude,description,meridian,township,range,section,calls, one row per input row "
         "(an OUT named .gpkg, .geojson, .kml or .shp is written as a point layer). A row with a "
         "tie uses it, one with fc_x and fc_y the footage calls, "
         "one with a lot the lot, others the quarter calls. With stated_easting,"
         "stated_northing or stated_latitude,stated_longitude columns it adds "
         "stated_distance_ft and stated_inside (yes when the stated position lies in the "
         "parcel described, or for a point in its section)."_s,
         {theme, opt(u"in"_s, u"Input CSV file."_s, u"IN.csv"_s),
          opt(u"out"_s, u"Output CSV file."_s, u"OUT.csv"_s)},
         {u"theme"_s, u"in"_s, u"out"_s},
         runBatchForward},
        {u"batch reverse"_s,
         u"Reads id,easting,northing and writes "
         "id,section,township,range,q160,q40,q10,q2_5,fc_x,fc_y,error."_s,
         {theme, opt(u"in"_s, u"Input CSV file."_s, u"IN.csv"_s),
          opt(u"out"_s, u"Output CSV file."_s, u"OUT.csv"_s)},
         {u"theme"_s, u"in"_s, u"out"_s},
         runBatchReverse},
    };
}

QList<Command> commands()
{
    return locationCommands() + otherCommands();
}

// Opens a theme, reads its PLSS fields when they are named (as KEY=FIELD pairs) or in the
// BLM's schema, and checks that it is a PLSS section theme. A theme of second divisions serves
// as its own: its sections are made of its parts, and it gives the divisions.
std::shared_ptr<VectorLayer> openSectionTheme(const QString &path, const QString &fieldsText,
                                              std::shared_ptr<const SecondDivisions> *divisions,
                                              QString *error)
{
    auto layer = VectorLayer::open(path);
    if (!layer->isValid()) {
        *error = path + u" did not load: "_s + layer->errorText();
        return nullptr;
    }
    if (!fieldsText.isEmpty()) {
        const std::optional<PlssFields> fields = parsePlssFields(fieldsText, error);
        if (!fields || !applyPlssFields(*layer, *fields, error)) {
            *error = u"--fields: "_s + *error;
            return nullptr;
        }
    }
    prepareNamedPlssFields(*layer);
    if (!isPlssSectionTheme(*layer) && isSecondDivisionTheme(*layer)) {
        // Second divisions alone: their sections are made of them.
        auto sections = sectionsFromDivisions(*layer, error);
        if (!sections) {
            *error = path + u": "_s + *error;
            return nullptr;
        }
        prepareNamedPlssFields(*sections);
        *divisions = SecondDivisions::read(layer, std::nullopt, error);
        return sections;
    }
    if (!isPlssSectionTheme(*layer)) {
        *error = path + u" is not a PLSS section theme (it has no section, township and range "
                        "fields)."_s;
        return nullptr;
    }
    return layer;
}

// Opens a theme of second divisions in the section theme's system.
std::shared_ptr<const SecondDivisions> openDivisions(const QString &path, const QString &fieldsText,
                                                     const VectorLayer &theme, QString *error)
{
    auto layer = VectorLayer::open(path, {}, theme.utmZone().value_or(0));
    if (!layer->isValid()) {
        *error = path + u" did not load: "_s + layer->errorText();
        return nullptr;
    }
    std::optional<DivisionFields> fields;
    if (!fieldsText.isEmpty() && !(fields = parseDivisionFields(fieldsText, error))) {
        *error = u"--division-fields: "_s + *error;
        return nullptr;
    }
    auto divisions = SecondDivisions::read(layer, fields, error);
    if (!divisions)
        *error = path + u": "_s + *error;
    return divisions;
}

// Parses a command's options; an exit code when that already ends the run (help, a usage error).
std::optional<int> parseOptions(const Command &command, const QStringList &arguments,
                                QCommandLineParser &parser, QTextStream &out, QTextStream &err)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s}, u"Show this help."_s);
    parser.addOption(help);
    parser.addOptions(command.options);
    if (command.required.contains(u"theme"_s)) {
        parser.addOption(QCommandLineOption(
            u"layer"_s, u"The layer of a --theme source that holds several."_s, u"NAME"_s));
        parser.addOption(QCommandLineOption(
            u"fields"_s,
            u"The theme's PLSS fields as KEY=FIELD pairs separated by commas (keys: section, "
            "township, township_direction, range, range_direction, meridian, township_code; "
            "for second divisions division_label, division_type, lot, quarter, "
            "quarter_quarter), for a table in none of the known layouts."_s,
            u"PAIRS"_s));
        parser.addOption(QCommandLineOption(
            u"divisions"_s,
            u"The BLM's second divisions (PLSSSecondDivision or PLSSIntersected, any source "
            "GDAL reads, SOURCE|layername=NAME for one layer): quarter-quarters and lots as "
            "surveyed place wells and name the division of a reversed point."_s,
            u"SOURCE"_s));
        parser.addOption(QCommandLineOption(
            u"division-fields"_s,
            u"The second divisions' fields as KEY=FIELD pairs (keys: division_label, "
            "division_type, lot, quarter, quarter_quarter), for a table not in the BLM's "
            "schema."_s,
            u"PAIRS"_s));
        parser.addOption(QCommandLineOption(
            u"rule"_s,
            u"How sections are divided where no second divisions say: classic (every quarter "
            "point at its nominal distance from the south and east, the default) or manual "
            "(midpoints, with the north and west rows of a township taking the excess)."_s,
            u"RULE"_s));
    }
    const QString usage = u"Usage: "_s + toolName + u' ' + command.name + u" [options]\n"_s;
    // Qt's help starts with its own usage line, naming the executable's path: ours replaces it.
    const QString optionsHelp = parser.helpText().section(u'\n', 1).trimmed() + u'\n';
    if (!parser.parse(QStringList{toolName + u' ' + command.name} + arguments)) {
        err << toolName << ": " << parser.errorText() << "\n\n" << usage << optionsHelp;
        return ExitUsage;
    }
    if (parser.isSet(help)) {
        out << usage << command.description << "\n\n" << optionsHelp;
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << toolName << ": unexpected argument \"" << parser.positionalArguments().first()
            << "\".\n\n"
            << usage << optionsHelp;
        return ExitUsage;
    }
    for (const QString &required : command.required) {
        if (!parser.isSet(required)) {
            err << toolName << ": --" << required << " is required.\n\n" << usage << optionsHelp;
            return ExitUsage;
        }
    }
    return std::nullopt;
}

} // namespace

int runLocateTool(const QStringList &arguments, QTextStream &out, QTextStream &err,
                  bool showProgress)
{
    if (arguments.isEmpty()) {
        err << commandsHelp();
        return ExitUsage;
    }
    if (arguments.first() == u"--help"_s || arguments.first() == u"-h"_s) {
        out << commandsHelp();
        return 0;
    }
    if (arguments.first() == u"--version"_s || arguments.first() == u"-v"_s) {
        out << toolName << ' ' << TRACTWISE_VERSION << '\n';
        return 0;
    }
    QString name = arguments.first();
    qsizetype consumed = 1;
    if (name == u"batch"_s && arguments.size() > 1 && !arguments[1].startsWith(u'-')) {
        name += u' ' + arguments[1];
        consumed = 2;
    }
    const QList<Command> all = commands();
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const Command &c) { return c.name == name; });
    if (it == all.end()) {
        err << toolName << ": unknown command \"" << name << "\".\n\n" << commandsHelp();
        return ExitUsage;
    }
    QCommandLineParser parser;
    if (const auto ended = parseOptions(*it, arguments.mid(consumed), parser, out, err))
        return *ended;
    std::shared_ptr<VectorLayer> theme;
    std::shared_ptr<const SecondDivisions> divisions;
    LocateOptions options;
    if (it->required.contains(u"theme"_s)) {
        QString error;
        QString source = parser.value(u"theme"_s);
        if (parser.isSet(u"layer"_s))
            source = sourceRefText({parseSourceRef(source).path, parser.value(u"layer"_s)});
        theme = openSectionTheme(source, parser.value(u"fields"_s), &divisions, &error);
        if (!theme) {
            err << error << "\n";
            return ExitError;
        }
        if (parser.isSet(u"divisions"_s) &&
            !(divisions = openDivisions(parser.value(u"divisions"_s),
                                        parser.value(u"division-fields"_s), *theme, &error))) {
            err << error << "\n";
            return ExitError;
        }
        const QString rule = parser.value(u"rule"_s).toLower();
        if (!rule.isEmpty() && rule != u"classic"_s && rule != u"manual"_s) {
            err << toolName << ": --rule is classic or manual, not \"" << parser.value(u"rule"_s)
                << "\".\n";
            return ExitUsage;
        }
        options.rule = rule == u"manual"_s ? SubdivisionRule::Manual : SubdivisionRule::Classic;
        options.divisions = divisions.get();
    }
    return it->run({parser, theme, options, out, err, showProgress});
}
