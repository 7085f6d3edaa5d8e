#include "core/common/message_service.h"
#include "core/common/twips.h"
#include "core/document/legend_order.h"
#include "core/document/theme_list.h"
#include "core/engine/map_layer.h"
#include "core/engine/vector_layer.h"
#include "gui/legend/legend.h"
#include "gui/legend/legend_row.h"
#include "gui/legend/symbol_dialog.h"
#include "gui/map/map.h"
#include "tests/fixtures/fixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestLegend : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_paths;

    // A legend over a map with themes named A, B, C, ... (one shapefile each), all active and
    // visible as the program adds them.
    struct Fixture
    {
        ThemeList themes;
        Map map;
        Legend legend;
        RecordingMessageService messages;
        Fixture()
        {
            map.setThemes(&themes);
            legend.setThemes(&themes);
            legend.setMessageService(&messages);
            legend.resize(300, 600);
            map.resize(200, 200);
        }
    };
    void addThemes(Fixture &f, int count)
    {
        for (int i = 0; i < count; ++i)
            f.legend.addTheme(QString(QChar(u'A' + i)), m_paths[i], true, true);
    }
    static QStringList names(const LayerList &layers)
    {
        QStringList out;
        for (const auto &l : layers)
            out.append(QFileInfo(l->file()).completeBaseName());
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (int i = 0; i < 5; ++i) {
            const QString path = m_dir.filePath(QString(QChar(u'A' + i)) + u".shp"_s);
            QCOMPARE(fixtures::writeSectionGrid(path, {.originX = 400000.0 + i * 10000}),
                     QString());
            m_paths.append(path);
        }
    }

    void selection_data()
    {
        QTest::addColumn<QList<bool>>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QList<bool>>("after");
        // Five rows written as bits, the first row the highest.
        const auto b = [](int bits) {
            return QList<bool>{bool(bits & 16), bool(bits & 8), bool(bits & 4), bool(bits & 2),
                               bool(bits & 1)};
        };
        QTest::newRow("plain click") << b(0b11000) << 0 << 3 << 0 << b(0b00100);
        QTest::newRow("shift: 2 to 4") << b(0b01000) << 2 << 4 << 1 << b(0b01110);
        QTest::newRow("shift upwards") << b(0) << 4 << 1 << 1 << b(0b11110);
        QTest::newRow("shift without anchor") << b(0) << 0 << 3 << 1 << b(0b00100);
        QTest::newRow("ctrl toggles one") << b(0b10001) << 1 << 5 << 2 << b(0b10000);
        QTest::newRow("alt does nothing") << b(0b10000) << 1 << 3 << 4 << b(0b10000);
    }
    void selection()
    {
        QFETCH(QList<bool>, before);
        QFETCH(int, anchor);
        QFETCH(int, clicked);
        QFETCH(int, shift);
        QFETCH(QList<bool>, after);
        QCOMPARE(legendSelectionAfterClick(before, clicked, shift, anchor), after);
    }

    void themesThatDoNotLoad()
    {
        Fixture f;
        const QString missing = m_dir.filePath(u"gone.shp"_s);
        auto layer = f.legend.addTheme(u"gone"_s, missing, true, true);
        QVERIFY(layer && !layer->isValid());
        QCOMPARE(f.messages.texts().value(0).section(u'\n', 0, 0),
                 u"Error: file "_s + missing + u" did not load."_s);
        // A shapefile whose .shx and .dbf are missing does not load either.
        QFile::copy(m_paths[0], m_dir.filePath(u"roads.SHP"_s));
        f.legend.addTheme(u"roads"_s, m_dir.filePath(u"roads.SHP"_s), true, true);
        QCOMPARE(f.messages.messages().size(), 2);
        QVERIFY(f.legend.rows().isEmpty() && f.map.layerCount() == 0);
    }

    // Positions 2 and 4 of 5 active: their layers go, the rest keep their order: the legend's
    // list from the bottom row up, the map's with the newest theme drawn on top.
    void deleteActiveThemes()
    {
        Fixture f;
        addThemes(f, 5);
        const auto &rows = f.legend.rows();
        for (int p = 1; p <= 5; ++p)
            rows[p - 1]->setActive(p == 2 || p == 4);
        f.legend.deleteActiveThemes();
        QCOMPARE(names(f.map.layers()), (QStringList{u"E"_s, u"C"_s, u"A"_s}));
        QCOMPARE(names(f.legend.layers()), (QStringList{u"A"_s, u"C"_s, u"E"_s}));
        const auto &left = f.legend.rows();
        QCOMPARE(left[2]->id(), 3);
        QVERIFY(left[2]->y() < left[1]->y() && left[1]->y() < left[0]->y()); // E on top
        QCOMPARE(left[1]->toolTip(), m_paths[2]);                            // C's file
        f.legend.deleteThemes();
        QVERIFY(f.map.layerCount() == 0 && f.legend.layers().isEmpty());
    }

    // Rows share the widest width; the active list holds vector themes only. A row's box hides
    // its layer and follows the list; the row shows its theme's symbol before the title, and a
    // restyle repaints it.
    void rowsAndActiveList()
    {
        Fixture f;
        const QString image = m_dir.filePath(u"quad.tif"_s);
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QCOMPARE(fixtures::writeGeoImage(image, picture, 400000, 4410000, 10), QString());
        f.legend.addTheme(u"A"_s, m_paths[0], false, true);
        f.legend.addTheme(u"A much longer theme title than the first"_s, image, true, true);
        const auto &rows = f.legend.rows();
        QCOMPARE(rows[0]->width(), rows[1]->width());
        QVERIFY(f.legend.container()->width() > rows[1]->width()); // nothing cut off
        QVERIFY(f.legend.activeLayers().isEmpty());
        rows[0]->setActive(true);
        QCOMPARE(names(f.legend.activeLayers()), QStringList{u"A"_s});

        LegendRow *row = rows[0];
        row->findChild<QCheckBox *>(u"shown"_s)->click();
        QVERIFY(!row->isShown() && !f.map.layers().last()->isVisible()); // the oldest: A
        f.themes.setVisible(0, true);
        QVERIFY(row->findChild<QCheckBox *>(u"shown"_s)->isChecked());
        auto &layer = static_cast<VectorLayer &>(*row->layer());
        layer.symbol() = ::Symbol{0, Qt::red, Qt::black, 1}; // solid red fill
        f.legend.redrawLayer(layer);
        const QLabel *title = row->findChild<QLabel *>(u"themeName"_s);
        const QPoint swatch(title->x() - 13, title->y() + title->height() / 2);
        QCOMPARE(row->grab().toImage().pixel(swatch), qRgb(255, 0, 0));
    }

    // A row moved down or up: the rows between shift by one; a move out of range moves nothing.
    void reorderArithmetic()
    {
        QCOMPARE(legendReordered(5, 2, 4), (QList<int>{1, 3, 4, 2, 5}));
        QCOMPARE(legendReordered(5, 4, 2), (QList<int>{1, 4, 2, 3, 5}));
        QCOMPARE(legendReordered(3, 3, 9), (QList<int>{1, 2, 3}));
    }

    // Mouse: click and shift-click select; dragging the top row down one row reorders rows and
    // layers and keeps the extent; a right-button drag moves nothing.
    void mouseSelectionAndDrag()
    {
        Fixture f;
        addThemes(f, 5);
        f.legend.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.legend));
        auto rows = f.legend.rows();
        QTest::mouseClick(rows[1], Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(rows[3], Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
        QCOMPARE(names(f.legend.activeLayers()), (QStringList{u"B"_s, u"C"_s, u"D"_s}));

        const MapRect extent = f.map.extent();
        const double tpp = twipsPerPixel(f.legend.logicalDpiY());
        const int pitch = int(std::lround(805 / tpp));
        LegendRow *top = rows[4]; // E
        QTest::mousePress(top, Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseRelease(top, Qt::RightButton, {}, QPoint(5, 5 + pitch));
        QCOMPARE(names(f.legend.layers()), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s}));

        QTest::mousePress(top, Qt::LeftButton, {}, QPoint(5, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5 + pitch),
                         top->mapToGlobal(QPointF(5, 5 + pitch)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(top, &move);
        QCOMPARE(f.legend.dropIndicatorIndex(), 3);
        QTest::mouseRelease(top, Qt::LeftButton, {}, QPoint(5, 5 + pitch));
        QCOMPARE(names(f.legend.layers()), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"E"_s, u"D"_s}));
        QCOMPARE(names(f.map.layers()), (QStringList{u"D"_s, u"E"_s, u"C"_s, u"B"_s, u"A"_s}));
        QCOMPARE(f.map.extent(), extent);
        QCOMPARE(f.legend.dropIndicatorIndex(), -1);
        rows = f.legend.rows();
        QVERIFY(rows[3]->y() > rows[4]->y()); // D is now the top row
    }

    // The symbol dialog, answered by the test instead of a user.
    void symbolDialog()
    {
        Fixture f;
        const QString lines = m_dir.filePath(u"roads.shp"_s);
        QCOMPARE(fixtures::writeLines(lines, {{{400000, 4400000}, {401000, 4401000}}}), QString());
        f.legend.addTheme(u"roads"_s, lines, true, true);
        f.legend.addTheme(u"A"_s, m_paths[0], true, true);
        LegendRow *road = f.legend.rows()[0];
        LegendRow *sections = f.legend.rows()[1];
        auto symbolOf = [](LegendRow *row) -> ::Symbol & {
            return std::static_pointer_cast<VectorLayer>(row->layer())->symbol();
        };

        // A line theme offers line styles: "Dot Line" is the third.
        f.legend.runOptionsDialog = [&](SymbolDialog &d) {
            auto *styles = d.findChild<QComboBox *>(u"style"_s);
            styles->setCurrentIndex(styles->findText(u"Dot Line"_s));
            QTest::mouseClick(d.findChild<QPushButton *>(u"okButton"_s), Qt::LeftButton);
        };
        QTest::mouseDClick(road, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(symbolOf(road).style, qint16(2));

        // A hollow polygon theme opens hollow on "Transparent"; OK changes nothing.
        symbolOf(sections) = ::Symbol{1, Qt::red, Qt::green, 2};
        QStringList opened; // hollow?, style
        f.legend.runOptionsDialog = [&](SymbolDialog &d) {
            opened = {QVariant(d.findChild<QCheckBox *>(u"hollow"_s)->isChecked()).toString(),
                      d.findChild<QComboBox *>(u"style"_s)->currentText()};
            QTest::mouseClick(d.findChild<QPushButton *>(u"okButton"_s), Qt::LeftButton);
        };
        sections->showOptionsDialog();
        QCOMPARE(opened, (QStringList{u"true"_s, u"Transparent"_s}));
        QCOMPARE(symbolOf(sections).style, qint16(1));

        // Hollow and the fill's style never contradict each other: what OK shows is drawn.
        symbolOf(sections).style = 0; // solid
        QStringList seen;
        f.legend.runOptionsDialog = [&](SymbolDialog &d) {
            auto *hollow = d.findChild<QCheckBox *>(u"hollow"_s);
            auto *styles = d.findChild<QComboBox *>(u"style"_s);
            hollow->click();
            seen.append(styles->currentText());
            styles->setCurrentIndex(styles->findText(u"Horizontal"_s));
            seen.append(QVariant(hollow->isChecked()).toString());
            hollow->click();
            QTest::mouseClick(d.findChild<QPushButton *>(u"okButton"_s), Qt::LeftButton);
        };
        sections->showOptionsDialog();
        QCOMPARE(seen, (QStringList{u"Transparent"_s, u"false"_s}));
        QCOMPARE(symbolOf(sections).style, qint16(FillStyle::Transparent));
        // Lines have no fill to hollow out.
        f.legend.runOptionsDialog = [&](SymbolDialog &d) {
            seen = {QVariant(d.findChild<QCheckBox *>(u"hollow"_s)->isEnabled()).toString()};
        };
        road->showOptionsDialog();
        QCOMPARE(seen, QStringList{u"false"_s});
        QCOMPARE(symbolOf(road).style, qint16(2));

        // Cancel after choosing a colour keeps the symbol; a size that is not a number keeps
        // the dialog open with a message.
        RecordingMessageService dialogMessages;
        int stayedOpen = 0;
        f.legend.runOptionsDialog = [&](SymbolDialog &d) {
            d.setMessageService(&dialogMessages);
            d.chooseColor = [](const QColor &) { return std::optional<QColor>(Qt::blue); };
            QTest::mouseClick(d.findChild<QPushButton *>(u"color"_s), Qt::LeftButton);
            // Nor a size a project could not read back.
            for (const QString &size : {u"thick"_s, u"2147483648"_s}) {
                d.findChild<QLineEdit *>(u"size"_s)->setText(size);
                QTest::mouseClick(d.findChild<QPushButton *>(u"okButton"_s), Qt::LeftButton);
                stayedOpen += !d.confirmed;
            }
            QTest::mouseClick(d.findChild<QPushButton *>(u"cancelButton"_s), Qt::LeftButton);
        };
        sections->showOptionsDialog();
        QCOMPARE(stayedOpen, 2);
        QCOMPARE(dialogMessages.texts(),
                 (QStringList{u"Enter the thickness or size as a number."_s,
                              u"The thickness or size must not be more than 2147483647."_s}));
        QCOMPARE(symbolOf(sections).color, QColor(Qt::red));

        // The labels: automatic at first, then a field of the theme, which labels it from then on.
        QStringList offered;
        f.legend.runOptionsDialog = [&](SymbolDialog &d) {
            auto *labels = d.findChild<QComboBox *>(u"labelField"_s);
            for (int i = 0; i < labels->count(); ++i)
                offered << labels->itemText(i);
            offered << labels->currentText();
            labels->setCurrentIndex(labels->findText(u"township"_s, Qt::MatchFixedString));
            QTest::mouseClick(d.findChild<QPushButton *>(u"okButton"_s), Qt::LeftButton);
        };
        sections->showOptionsDialog();
        QVERIFY2(offered.mid(0, 2) == (QStringList{u"Automatic"_s, u"None"_s}) &&
                     offered.contains(u"township"_s, Qt::CaseInsensitive) &&
                     offered.last() == u"Automatic"_s,
                 qPrintable(offered.join(u',')));
        QCOMPARE(symbolOf(sections).labelField.toLower(), u"township"_s);
        const auto layer = std::static_pointer_cast<VectorLayer>(sections->layer());
        QVERIFY(layer->hasLabelSource());
    }
};

QTEST_MAIN(TestLegend)
#include "tst_legend.moc"
