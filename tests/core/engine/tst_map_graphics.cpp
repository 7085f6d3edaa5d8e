#include "core/common/message_service.h"
#include "core/engine/map_graphics.h"
#include "core/engine/map_viewport.h"
#include "tests/support/image_compare.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int countPixels(const QImage &image, QRgb color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == color ? 1 : 0;
    return n;
}

// Draws on white, by default the extent 0..100 on both axes at a pixel a unit.
QImage draw(const MapGraphics &graphics, MessageService *notices = nullptr,
            const MapRect &extent = MapRect(0, 100, 100, 0), QSize size = QSize(100, 100))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    graphics.Draw(painter, MapViewport(extent, QSizeF(size)), notices);
    painter.end();
    return image;
}

// A red circle.
std::shared_ptr<CircleSymbol> circle(double x, double y, double radius)
{
    auto c = std::make_shared<CircleSymbol>();
    c->Center = {x, y};
    c->radius = radius;
    c->Color = 255;
    return c;
}

} // namespace

class TestMapGraphics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Radius 10 m: 1 pixel across at 10,000 m per 500 pixels (outline only), 10 pixels at
    // 1,000 m per 500 pixels (filled red).
    void circlesFillOnlyWhenLarger_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<bool>("filled");
        QTest::newRow("1 pixel across") << 10000.0 << false;
        QTest::newRow("10 pixels across") << 1000.0 << true;
    }
    void circlesFillOnlyWhenLarger()
    {
        QFETCH(double, span);
        QFETCH(bool, filled);
        MapGraphics g;
        g.AddSymbol(circle(span / 2, span / 2, 10));
        const QImage image = draw(g, nullptr, MapRect(0, span, span, 0), QSize(500, 500));
        const int red = countPixels(image, qRgb(255, 0, 0));
        QCOMPARE(image.pixel(250, 250), qRgb(255, 0, 0)); // the centre
        if (filled)
            QVERIFY2(red >= 60, qPrintable(QString::number(red))); // a disc, not a ring
        else
            QVERIFY2(red <= 6, qPrintable(QString::number(red)));
    }

    // A line one pixel wide; a third point gets a message and is drawn too. Then a label and a
    // circle show; once removed, and with marks off the map only, nothing does.
    void linesTextAndClearing()
    {
        RecordingMessageService messages;
        auto line = std::make_shared<LineSymbol>();
        line->AddPoint({0, 50}, &messages);
        line->AddPoint({100, 50}, &messages);
        MapGraphics g;
        g.AddSymbol(line);
        QImage image = draw(g, &messages);
        QCOMPARE(image.pixel(50, 50), qRgb(0, 0, 0));
        QCOMPARE(countPixels(image, qRgb(0, 0, 0)), 100); // one pixel wide, across the picture
        line->AddPoint({50, 0}, &messages);
        image = draw(g, &messages);
        QCOMPARE(messages.texts(), (QStringList{u"Weirdness in MapSymbol::AddPoint!"_s,
                                                u"Weirdness in MapSymbol::Draw!"_s}));
        QCOMPARE(image.pixel(75, 75), qRgb(0, 0, 0)); // the second segment

        g.RemoveAll();
        g.AddTextSymbol(u"W"_s, {10, 10}, 16711680);
        g.AddSymbol(circle(50, 50, 20));
        image = draw(g);
        QVERIFY(countPixels(image, qRgb(255, 0, 0)) > 1000);
        int bluish = 0;
        for (int y = 60; y < 100; ++y)
            for (int x = 0; x < 40; ++x)
                bluish += qBlue(image.pixel(x, y)) > 150 && qRed(image.pixel(x, y)) < 100 ? 1 : 0;
        QVERIFY(bluish > 3);
        g.RemoveAll();
        // Marks far outside the extent are clipped, not wrapped: the picture stays blank.
        auto far = std::make_shared<LineSymbol>();
        far->AddPoint({-1e12, 50});
        far->AddPoint({-1e11, 50});
        g.AddSymbol(far);
        g.AddSymbol(circle(1e15, 1e15, 5));
        QCOMPARE(countPixels(draw(g), qRgb(255, 255, 255)), 100 * 100);
    }

    // Quarter lines, a small and a large circle and a label together.
    void referencePicture()
    {
        MapGraphics g;
        for (const auto &[a, b] : {std::pair{MapPoint{0, 500}, MapPoint{1000, 500}},
                                   std::pair{MapPoint{500, 0}, MapPoint{500, 1000}},
                                   std::pair{MapPoint{500, 750}, MapPoint{1000, 750}}}) {
            auto line = std::make_shared<LineSymbol>();
            line->AddPoint(a);
            line->AddPoint(b);
            g.AddSymbol(line);
        }
        g.AddSymbol(circle(750, 250, 60));
        g.AddSymbol(circle(250, 250, 5));
        g.AddTextSymbol(u"Well 7"_s, {80, 850}, 0);
        const QImage image = draw(g, nullptr, MapRect(0, 1000, 1000, 0), QSize(96, 96));
        const QString difference = testsupport::compareWithReference(image, u"graphics"_s);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }
};

QTEST_MAIN(TestMapGraphics)
#include "tst_map_graphics.moc"
