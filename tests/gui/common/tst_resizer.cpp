#include "gui/common/resizer.h"

#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The two-pane container: its layout, dragging, the one-pane rule and its stored settings.
class TestResizer : public QObject
{
    Q_OBJECT

    // 15 twips to the pixel on the offscreen platform (96 dpi); borders off so the inside area
    // is the whole control.
    struct Fixture
    {
        Resizer resizer;
        QWidget *first;
        QWidget *second;
        explicit Fixture(bool listSecond = false)
        {
            resizer.setBorderStyle(0);
            first = new QWidget(&resizer);
            first->setObjectName(u"first"_s);
            second = listSecond ? new QListWidget(&resizer) : new QWidget(&resizer);
            second->setObjectName(u"second"_s);
            resizer.resize(400, 300); // 6000 x 4500 twips
            resizer.show();
        }
        // Drags the bar by `pixels` along the split with the left button.
        void dragBar(int pixels)
        {
            QLabel *bar = resizer.bar();
            const QPoint from(bar->width() / 2, bar->height() / 2);
            QTest::mousePress(bar, Qt::LeftButton, {}, from);
            const QPoint to =
                resizer.orientation() == 1 ? from + QPoint(pixels, 0) : from + QPoint(0, pixels);
            QMouseEvent move(QEvent::MouseMove, to, bar->mapToGlobal(to), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &move);
            QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
        }
    };

private Q_SLOTS:
    // Pane 1 is 1500 twips (100 px), the bar 45 (3 px); inverted, the first control is pane 2;
    // a list pane lies out by its border (15 twips, 1 px) on the top and left, and is longer by
    // both borders across the split.
    void layout_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<bool>("listSecond");
        QTest::addColumn<QRect>("first");
        QTest::addColumn<QRect>("second");
        QTest::newRow("side by side")
            << 1 << false << false << QRect(0, 0, 100, 300) << QRect(103, 0, 297, 300);
        QTest::newRow("stacked") << 0 << false << false << QRect(0, 0, 400, 100)
                                 << QRect(0, 103, 400, 197);
        QTest::newRow("inverted") << 1 << true << false << QRect(103, 0, 297, 300)
                                  << QRect(0, 0, 100, 300);
        QTest::newRow("list pane")
            << 1 << false << true << QRect(0, 0, 100, 300) << QRect(102, -1, 297, 302);
    }
    void layout()
    {
        QFETCH(int, orientation);
        QFETCH(bool, invert);
        QFETCH(bool, listSecond);
        QFETCH(QRect, first);
        QFETCH(QRect, second);
        Fixture f(listSecond);
        f.resizer.setOrientation(orientation);
        f.resizer.setInvertControls(invert);
        f.resizer.setControl1Size(1500);
        QCOMPARE(f.first->geometry(), first);
        QCOMPARE(f.second->geometry(), second);
    }

    void dragIsClamped_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("pane1");
        QTest::newRow("right 50 px") << 1 << 50 << 1500 + 750;
        QTest::newRow("beyond the right edge") << 1 << 1000 << 6000 - 45 - 90;
        QTest::newRow("beyond the left edge") << 1 << -1000 << 90;
        QTest::newRow("down 20 px") << 0 << 20 << 1500 + 300;
        QTest::newRow("beyond the bottom") << 0 << 1000 << 4500 - 45 - 90;
    }
    void dragIsClamped()
    {
        QFETCH(int, orientation);
        QFETCH(int, pixels);
        QFETCH(int, pane1);
        Fixture f;
        f.resizer.setOrientation(orientation);
        f.resizer.setControl1Size(1500);
        QSignalSpy changed(&f.resizer, &Resizer::propertyChanged);
        f.dragBar(pixels);
        QCOMPARE(f.resizer.control1Size(), pane1);
        QCOMPARE(f.resizer.control2Size(), (orientation == 1 ? 6000 : 4500) - 45 - pane1);
        QCOMPARE(changed.count(), 1);
    }

    // One pane always shows; written sizes keep the minimums.
    void onePaneAlwaysShows()
    {
        Fixture f;
        QSignalSpy changed(&f.resizer, &Resizer::propertyChanged);
        f.resizer.setControl1Visible(false);
        QVERIFY(f.first->isHidden());
        QCOMPARE(f.second->geometry(), QRect(0, 0, 400, 300));
        QVERIFY(f.resizer.bar()->isHidden());
        f.resizer.setControl2Visible(false); // both off: the first comes back
        QVERIFY(f.second->isHidden());
        QCOMPARE(f.first->geometry(), QRect(0, 0, 400, 300));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(1).at(0).toString(), u"control1Visible"_s);
        // Both on again: the panes share the room.
        f.resizer.setControl2Visible(true);
        QVERIFY(f.first->isVisible() && f.second->isVisible());
        QCOMPARE(f.resizer.control1Size(), (6000 - 45) / 2);
        f.resizer.setControl1Size(10);
        QCOMPARE(f.resizer.control1Size(), 90);
        f.resizer.setControl2Size(10);
        QCOMPARE(f.resizer.control2Size(), 90);
        f.resizer.setControl2Size(2000);
        QCOMPARE(f.resizer.control1Size(), 6000 - 45 - 2000);
    }

    void settingsRoundTrip()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath(u"form.ini"_s), QSettings::IniFormat);
        {
            Fixture f;
            f.resizer.setOrientation(0);
            f.resizer.setInvertControls(true);
            f.resizer.setMinControlSize2(300);
            f.resizer.setControl1Size(2000);
            f.resizer.setControlName1(u"List1"_s);
            f.resizer.setBackColor(QColor(0, 0, 255));
            f.resizer.writeSettings(store);
        }
        QCOMPARE(store.value(u"BackColor"_s).toUInt(), 0x00FF0000u); // kept as 0xBBGGRR
        store.remove(u"SeparatorSize"_s);                            // missing: the default
        store.setValue(u"MinControlSize1"_s, u"wide"_s);             // unreadable: the default
        Fixture g;
        g.resizer.readSettings(store);
        QCOMPARE(g.resizer.separatorSize(), 45);
        QCOMPARE(g.resizer.orientation(), 0);
        QVERIFY(g.resizer.invertControls());
        QCOMPARE(g.resizer.minControlSize1(), 90);
        QCOMPARE(g.resizer.minControlSize2(), 300);
        QCOMPARE(g.resizer.control1Size(), 2000);
        QCOMPARE(g.resizer.controlName1(), u"List1"_s);
        QCOMPARE(g.resizer.backColor(), QColor(0, 0, 255));
        QCOMPARE(g.resizer.palette().color(QPalette::Window), QColor(0, 0, 255));
        QCOMPARE(g.second->geometry().top(), 0); // inverted: the second control on top
    }
};

QTEST_MAIN(TestResizer)
#include "tst_resizer.moc"
