#include "gui/app/web_browser.h"
#include "gui/app/web_window.h"
#include "gui/app/webengine_browser.h"
#include "gui/common/program_resources.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

using namespace Qt::StringLiterals;

// The web window over the real engine, on the program's own pages (no network).
class TestWebSmoke : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensTheHomePage()
    {
        loadProgramResources();
        WebWindow window(std::make_unique<WebEngineBrowser>());
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.startingAddress = webHomePage().toString();
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), u"QRV Tractwise Home Page"_s, 60000);
        // The program's own pages are shown by title, not by their qrc: address.
        QCOMPARE(window.addressBox()->itemText(0), u"QRV Tractwise Home Page"_s);
        QCOMPARE(window.addressBox()->itemData(0).toString(), webHomePage().toString());

        window.browser().search();
        QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), u"Search the Web"_s, 60000);
        QCOMPARE(window.addressBox()->count(), 2);
        QCOMPARE(window.addressBox()->itemText(0), u"Search the Web"_s);
    }
};

int main(int argc, char *argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    TestWebSmoke test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_web_smoke.moc"
