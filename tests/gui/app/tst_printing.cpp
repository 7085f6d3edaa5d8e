#include "core/common/message_service.h"
#include "core/wells/wells_model.h"
#include "gui/app/main_window.h"
#include "gui/app/map_print.h"
#include "gui/map/map.h"
#include "tests/fixtures/fixtures.h"
#include "tests/support/image_compare.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Printing the active map: the page's arrangement, the PDF it makes, and the commands.
class TestPrinting : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sections;
    QString m_quad;
    RecordingMessageService *m_recorder = nullptr;

    static QString run(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return u"<failed: "_s + program + u">"_s;
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // A main window whose Document 1 shows a section grid over a quadrangle image.
    std::unique_ptr<MainWindow> makeWindow()
    {
        auto messages = std::make_unique<RecordingMessageService>();
        m_recorder = messages.get();
        auto w = std::make_unique<MainWindow>(std::move(messages));
        w->askToSave = [](const QString &) { return QMessageBox::Discard; };
        w->resize(1000, 700);
        w->show();
        w->activeMapWindow()->addTheme(u"quad"_s, m_quad, false, true);
        w->activeMapWindow()->addTheme(u"sections"_s, m_sections, true, true);
        return w;
    }

    // File > Print through the toolbar button, as a user would, the print dialog answered with
    // a PDF file (`accept`) or cancelled. Returns how many print dialogs were shown.
    static int print(MainWindow &w, const QString &pdf, bool accept = true,
                     QPageSize::PageSizeId paper = QPageSize::Letter)
    {
        int shown = 0;
        w.printDialog = [&shown, pdf, accept, paper](QPrinter &printer) {
            ++shown;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(paper));
            return accept;
        };
        w.findChild<QAction *>(u"Print"_s)->trigger();
        return shown;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        fixtures::SectionGrid g;
        g.originX = 400000;
        m_sections = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(m_sections, g), QString());
        m_quad = m_dir.filePath(u"quad.tif"_s);
        const double side = 6 * 1609.344;
        QCOMPARE(fixtures::writeGeoImage(
                     m_quad, fixtures::quadPicture(u"Quad"_s, 200, 200, QColor(200, 230, 180)),
                     400000, 4400000 + side, side / 200),
                 QString());
    }

    // One landscape letter page with the credit lines, and the map's themes on it; nothing
    // when the dialog is cancelled or no map window is open.
    void printsOnePdfPage()
    {
        auto w = makeWindow();
        const QString pdf = m_dir.filePath(u"map.pdf"_s);
        QCOMPARE(print(*w, pdf, false), 1);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(print(*w, pdf), 1);
        const QString info = run(u"pdfinfo"_s, {pdf});
        QVERIFY2(info.contains(u"Pages:           1"_s) &&
                     info.contains(u"Page size:       792 x 612 pts (letter)"_s),
                 qPrintable(info));
        const QString text = run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        const qsizetype credit = text.indexOf(u"Created by Halden"_s);
        QVERIFY2(credit >= 0 && credit < text.indexOf(u"Support Group"_s), qPrintable(text));

        const QString png = m_dir.filePath(u"page"_s);
        run(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, u"36"_s, u"-singlefile"_s, pdf, png});
        QCOMPARE(testsupport::compareWithReference(QImage(png + u".png"_s), u"printed-page"_s),
                 QString());
        w->activeMapWindow()->parentWidget()->close();
        QTRY_VERIFY(!w->activeMapWindow());
        const QString none = m_dir.filePath(u"none.pdf"_s);
        QCOMPARE(print(*w, none), 0);
        QVERIFY(!QFile::exists(none));
        QCOMPARE(m_recorder->texts(), QStringList());
    }

    // The page's layout on letter and A4: the title typed, the legend of the visible themes, a
    // scale, the north arrow, the date, and the wells on the printed map listed under it (those
    // off it not, the rest past twelve counted).
    void pageLayoutWithWells_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<QString>("size");
        QTest::newRow("letter") << int(QPageSize::Letter) << u"792 x 612 pts (letter)"_s;
        QTest::newRow("A4") << int(QPageSize::A4) << u"842 x 595 pts (A4)"_s;
    }
    void pageLayoutWithWells()
    {
        QFETCH(int, paper);
        QFETCH(QString, size);
        auto w = makeWindow();
        MapWindow *view = w->activeMapWindow();
        view->setPrintTitle(u"Spring permits"_s);
        QList<Well> wells;
        for (int i = 1; i <= 15; ++i) {
            Well well;
            well.entry.id = u"P-"_s + QString::number(i);
            well.entry.description = u"NE SW sec. 31, T12N, R34W"_s;
            // The last one far off the map.
            well.take(pointLocation({i < 15 ? 400100.0 + 600 * i : 900000.0, 4401000}, 13),
                      QDateTime::currentDateTimeUtc());
            wells.append(well);
        }
        QVERIFY(view->wells()->appendWells(wells));
        const QString pdf = m_dir.filePath(u"layout.pdf"_s);
        QCOMPARE(print(*w, pdf, true, QPageSize::PageSizeId(paper)), 1);
        const QString info = run(u"pdfinfo"_s, {pdf});
        QVERIFY2(info.contains(u"Pages:           1"_s) && info.contains(size), qPrintable(info));
        const QString text = run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        for (const QString &part :
             {u"Spring permits"_s, u"Legend"_s, u"sections"_s, u"quad"_s, u"Scale 1:"_s,
              QString(u"Printed "_s + QDate::currentDate().toString(Qt::ISODate)),
              u"Created by Halden"_s, u"Easting"_s, u"P-1 "_s, u"400700"_s, u"P-12"_s,
              u"... and 2 more wells on the map."_s})
            QVERIFY2(text.contains(part), qPrintable(part + u" not in:\n"_s + text));
        QVERIFY(!text.contains(u"P-15"_s));   // off the map
        QVERIFY(!text.contains(u"407900"_s)); // P-13, past the twelve listed
    }

    // Images go on paper at 300 dpi of their printed size, as far as the file has the pixels:
    // a detailed image is not cut down to screen resolution.
    void imagesKeepTheirDetailOnPaper()
    {
        const QString detail = m_dir.filePath(u"detail.tif"_s);
        QCOMPARE(fixtures::writeGeoImage(detail,
                                         fixtures::quadPicture(u"Detail"_s, 1200, 1200, Qt::yellow),
                                         400000, 4400000 + 1609.344, 1609.344 / 1200),
                 QString());
        auto w = makeWindow();
        w->activeMapWindow()->addTheme(u"detail"_s, detail, false, true);
        const QString pdf = m_dir.filePath(u"detail.pdf"_s);
        QCOMPARE(print(*w, pdf), 1);
        // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
        const QStringList lines = run(u"pdfimages"_s, {u"-list"_s, pdf}).split(u'\n');
        QStringList seen;
        double finest = 0;
        for (const QString &line : lines.mid(2)) {
            const QStringList f = line.simplified().split(u' ');
            if (f.size() < 14)
                continue;
            seen.append(f[3] + u'x' + f[4] + u" at "_s + f[12]);
            // Never more pixels than the file has: the quadrangle's 200 stay 200.
            QVERIFY2(f[3].toInt() <= 1200 && f[4].toInt() <= 1200, qPrintable(seen.join(u", "_s)));
            finest = std::max(finest, f[12].toDouble());
        }
        // At screen resolution the detail would have gone out at 96 ppi.
        QVERIFY2(finest >= 299 && finest <= 302, qPrintable(seen.join(u", "_s)));
    }

    // Without a printer, the dialog still offers a PDF file.
    void printDialogOffersAPdfFile()
    {
        QPrinter printer;
        const std::unique_ptr<QPrintDialog> dialog(makePrintDialog(printer, nullptr));
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintPageRange));
        dialog->open();
        QStringList printers;
        for (const QComboBox *list : dialog->findChildren<QComboBox *>())
            for (int i = 0; i < list->count(); ++i)
                printers.append(list->itemText(i));
        dialog->reject();
        QVERIFY2(printers.contains(u"Print to File (PDF)"_s), qPrintable(printers.join(u", "_s)));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
