#include "core/plss/description_reader.h"

#include <QStringList>
#include <QTest>

#include <array>

using namespace Qt::StringLiterals;

namespace {

QString joined(const std::array<QString, 4> &calls, QChar separator)
{
    return QStringList(calls.begin(), calls.end()).join(separator);
}

} // namespace

class TestDescriptionReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Legal descriptions as permits write them: every form, their mixes, and the refusals.
    // Fields: section|township|range|meridian|q160 q40 q10 q2.5|fc_x|fc_y; or "!" and the error.
    void readDescriptions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fields");
        const auto row = [](const char *name, const char16_t *text, const char16_t *fields) {
            QTest::newRow(name) << QString::fromUtf16(text) << QString::fromUtf16(fields);
        };
        row("slashes, 5th P.M.", u"NE/4 SW/4 Sec. 36, T153N, R95W, 5th P.M.",
            u"36|153N|95W|5|SW NE  ||");
        row("run together, dashed", u"SENE 36-153N-95W", u"36|153N|95W||NE SE  ||");
        row("footage FNL & FEL", u"660' FNL & 1980' FEL, Sec. 12, T5N, R65W, 6th PM",
            u"12|5N|65W|6|   |1980E|660N");
        row("BLM order, Salt Lake Meridian",
            u"T. 23 S., R. 19 E., Salt Lake Meridian, sec. 30, NW1/4SW1/4",
            u"30|23S|19E|26|SW NW  ||");
        row("quarter signs", u"NE¼SW¼ Section 36 T153N R95W", u"36|153N|95W||SW NE  ||");
        row("fours", u"NE4SW4 sec 36 T153N R95W", u"36|153N|95W||SW NE  ||");
        row("spaced", u"ne sw sec 36 t153n r95w", u"36|153N|95W||SW NE  ||");
        row("three in a word", u"NENESW S36 T153N R95W", u"36|153N|95W||SW NE NE ||");
        row("words", u"Section 12, Township 5 North, Range 65 West, Sixth Principal Meridian",
            u"12|5N|65W|6|   ||");
        row("dashed township and range", u"Sec 12 T5N-R65W 6PM", u"12|5N|65W|6|   ||");
        row("feet from lines",
            u"660 ft from the north line and 1980 ft from the east line, sec 12 T5N R65W",
            u"12|5N|65W||   |1980E|660N");
        row("bare footage", u"660 N 1980 E sec 12 T5N R65W", u"12|5N|65W||   |1980E|660N");
        row("no space before FEL", u"1980'FEL 660'FSL 12-5N-65W", u"12|5N|65W||   |1980E|660S");
        row("both kinds", u"NE/4 SW/4 Sec. 36, T153N, R95W; 660 FSL, 1980 FWL",
            u"36|153N|95W||SW NE  |1980W|660S");
        row("abbreviated meridians", u"sec 2 T1N R1W SLB&M", u"2|1N|1W|26|   ||");
        row("Boise Meridian", u"sec 2 T1N R1W Boise Meridian", u"2|1N|1W|8|   ||");
        row("NMPM", u"sec 2 T1N R1W NMPM", u"2|1N|1W|23|   ||");
        row("initials spaced", u"sec 2 T1N R1W N. M. P. M.", u"2|1N|1W|23|   ||");
        row("initials", u"sec 2 T1N R1W N.M.P.M.", u"2|1N|1W|23|   ||");
        row("initials and ampersand", u"sec 2 T1N R1W S.L.B.&M.", u"2|1N|1W|26|   ||");
        row("initials, two ampersands", u"G.&S.R.B.&M. sec 2 T1N R1W", u"2|1N|1W|14|   ||");
        row("ampersand and a space", u"sec 2 T1N R1W M.D.B. & M.", u"2|1N|1W|21|   ||");
        row("two initials", u"sec 2 T1N R1W B.M.", u"2|1N|1W|8|   ||");
        row("Ute", u"sec 2, T. 1 N., R. 1 W., U.M.", u"2|1N|1W|31|   ||");
        row("P. M.", u"sec 2 T1N R1W 6th P. M.", u"2|1N|1W|6|   ||");
        // The S of the township is not the S of S.B.M.
        row("direction before initials", u"sec 2 T. 5 S. B.M. R. 1 W.", u"2|5S|1W|8|   ||");
        row("direction before a name", u"sec 2 T. 5 S R. 1 W. S B M", u"2|5S|1W|27|   ||");
        row("a second meridian after a name with an apostrophe",
            u"Ellicott\u2019s Line 6PM36-153N-95W",
            u"!This part of the description is not understood: \"6PM36\"");
        row("name with an apostrophe", u"NE4.36-153N-95W Ellicott's Line",
            u"36|153N|95W|42|NE   ||");
        row("half range", u"sec 2 T23S R17½ E SLM", u"2|23S|17.5E|26|   ||");
        // Lots, halves, whole sections and ties: the extra fields follow ("|lot 3", "|all",
        // "|tie SW 1234N 567E").
        row("lot", u"Lot 3, Sec. 6, T5N R65W", u"6|5N|65W||   |||lot 3");
        row("government lot and its place", u"Government Lot 3 (NE/4 NW/4), Sec. 6, T4N, R68W",
            u"6|4N|68W||NW NE  |||lot 3");
        row("lot as L3", u"L3 6-4N-68W", u"6|4N|68W||   |||lot 3");
        row("half", u"N/2 Sec. 6, T5N R65W", u"6|5N|65W||N/2   ||");
        row("half of a quarter", u"N/2 NE/4 Sec. 6, T5N R65W", u"6|5N|65W||NE N/2  ||");
        row("half run together", u"E2NW Sec. 6, T5N R65W", u"6|5N|65W||NW E/2  ||");
        row("half sign", u"N½ NE¼ Sec. 6, T5N R65W", u"6|5N|65W||NE N/2  ||");
        row("half of a quarter-quarter", u"E/2 NE/4 SW/4 sec 6 T5N R65W",
            u"6|5N|65W||SW NE E/2 ||");
        row("half of a half", u"N/2 S/2 sec 6 T5N R65W", u"6|5N|65W||S/2 N/2  ||");
        row("S2 is a section without a quarter", u"S2 T5N R65W", u"2|5N|65W||   ||");
        row("all", u"All of Section 16, T5N R65W", u"16|5N|65W||   |||all");
        row("tie from a section corner", u"N 1234 ft E 567 ft from SW Cor, Sec 12, T2S, R1W, SLB&M",
            u"12|2S|1W|26|   |||tie SW 1234N 567E");
        row("tie from a quarter corner", u"S 1320 ft E 660 ft from N4 Cor, sec 12 T2S R1W",
            u"12|2S|1W||   |||tie N4 1320S 660E");
        row("tie, distances first, one way", u"1320 ft N of the S4 Cor sec 12 T2S R1W",
            u"12|2S|1W||   |||tie S4 1320N ");
        row("tie, east first, words",
            u"East 200 feet and North 300 feet from the north quarter "
            u"corner of Section 12, T2S R1W",
            u"12|2S|1W||   |||tie N4 300N 200E");
        row("tie from the centre", u"W 100' S 50' from center of section, 12-2S-1W",
            u"12|2S|1W||   |||tie C4 50S 100W");
        row("tie from N 1/4 Cor.", u"N 10 ft E 20 ft from N 1/4 Cor. Sec 12 T2S R1W",
            u"12|2S|1W||   |||tie N4 10N 20E");
        row("tie by bearing", u"N 45°12' E 1234 ft from SW Cor Sec 12 T2S R1W",
            u"!Ties by bearing and distance are not supported; give north/south and east/west "
            u"distances.");
        row("tie with two north distances", u"N 10 ft N 20 ft from SW Cor Sec 12 T2S R1W",
            u"!The tie gives two north–south distances: N 10 ft N 20 ft from SW Cor");
        row("several lots", u"Lots 1-4, Sec 6 T4N R68W",
            u"!Several tracts are named (Lots 1-4): a well is in one place; describe one tract.");
        row("bare footage after the section", u"sec 12 T5N R65W 660 S 20 E",
            u"12|5N|65W||   |20E|660S");
        row("several sections", u"NE/4 of Sec 12 and SE/4 of Sec 13, T2S R1W",
            u"!Several tracts are named (Sec 12 and Sec 13): a well is in one place; describe "
            u"one tract.");
        row("several quarters", u"NE/4 and SE/4 Sec 12 T2S R1W",
            u"!Several tracts are named (NE and SE): a well is in one place; describe one tract.");
        row("contradiction", u"N/2 S/2 NE/4 NW/4 N/2 sec 12 T2S R1W",
            u"!The calls contradict each other: the NW/4 of the N/2 is not a part of a section.");
        row("township without direction", u"T154-R97 Sec 14",
            u"!Township 154 has no direction: write 154N or 154S.");
        row("range without direction", u"T154N R97 Sec 14",
            u"!Range 97 has no direction: write 97E or 97W.");
        row("bounded by something else",
            u"That part of the NE/4 lying within the right of way, "
            u"Sec 12 T2S R1W",
            u"!Tracts bounded by anything but the lines of the survey are not "
            u"supported: part of the NE/4 lying within the right of way, Sec 12 T2S R1W");
        row("tract", u"Tract 37 T5N R65W", u"!Tracts are not supported: Tract 37");
        row("metes and bounds", u"Beginning at the NE corner of Sec. 6, thence south",
            u"!Metes and bounds are not supported: Beginning at the NE corner of Sec. 6, thence "
            u"south");
        row("not understood", u"NE/4 Sec. 36, T153N, R95W, Williams County",
            u"!This part of the description is not understood: \"Williams County\"");
        row("not understood, as typed", u"660 ft from the nort line, Sec 7 T12N R67W, Weld Co",
            u"!This part of the description is not understood: \"660 ft from the nort line ... "
            u"Weld Co\"");
        row("no township", u"NE/4 Sec. 36", u"!The description gives no township.");
        row("two east calls", u"660 FEL 1980 FWL sec 12 T5N R65W",
            u"!Two footage calls measure from the same pair of lines: 660E and 1980 FWL");
        row("five quarters", u"NENENENENE sec 1 T1N R1W",
            u"!More than four quarter calls: NE NE NE NE NE");
    }
    void readDescriptions()
    {
        QFETCH(QString, text);
        QFETCH(QString, fields);
        QString error;
        const std::optional<DescriptionFields> d = readLegalDescription(text, &error);
        if (fields.startsWith(u'!')) {
            QVERIFY(!d);
            QCOMPARE(error, fields.mid(1));
            return;
        }
        QVERIFY2(d, qPrintable(error));
        QStringList got = {
            d->section, d->township, d->range, d->meridian, joined(d->quarters, u' '),
            d->fcX,     d->fcY};
        if (d->lot > 0)
            got.append(u"lot "_s + QString::number(d->lot));
        if (d->wholeSection)
            got.append(u"all"_s);
        if (!d->tieCorner.isEmpty())
            got.append(u"tie "_s + d->tieCorner + u' ' + d->tieNorthSouth + u' ' + d->tieEastWest);
        QCOMPARE(got.join(u'|'), fields);
    }
};

QTEST_GUILESS_MAIN(TestDescriptionReader)
#include "tst_description_reader.moc"
