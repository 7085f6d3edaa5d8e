#include "app/main_window.h"
#include "mapview/map_widget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(tractwise);
    QApplication::setOrganizationName(u"QRV Tractwise"_s);
    QApplication::setApplicationName(u"QRV Tractwise"_s);
    QApplication::setApplicationVersion(u"1.23"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Locates water wells by the Public Land Survey System."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption themeOption(u"theme"_s, u"Add a theme (repeatable)."_s, u"FILE"_s);
    const QCommandLineOption screenshotOption(
        u"screenshot"_s, u"Save a picture of the window once it has drawn, then quit."_s,
        u"OUT.png"_s);
    parser.addOption(themeOption);
    parser.addOption(screenshotOption);
    parser.addPositionalArgument(u"themes"_s, u"Theme files to open."_s, u"[FILE...]"_s);
    parser.process(app);

    MainWindow window;
    window.show();
    for (const QString &path : parser.values(themeOption) + parser.positionalArguments())
        window.addTheme(path);

    if (parser.isSet(screenshotOption)) {
        const QString out = parser.value(screenshotOption);
        QTimer::singleShot(300, &window, [&window, out] {
            const bool ok = window.grab().save(out);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    return QApplication::exec();
}
