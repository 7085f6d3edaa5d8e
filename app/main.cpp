#include "core/common/message_service.h"
#include "core/common/program_data.h"
#include "gui/app/main_window.h"
#include "gui/app/map_print.h"
#include "gui/app/webengine_browser.h"
#include "gui/common/app_settings.h"
#include "gui/common/program_resources.h"
#include "gui/map/map.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QSplashScreen>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// A run without a user: once the first redraw is done, the picture and the PDF asked for, then
// quit with 1 when either could not be written.
void finishScriptedRun(MainWindow &window, const QString &shot, const QString &pdf)
{
    // After the first complete redraw: the events queued by showing and adding run first.
    QTimer::singleShot(500, &window, [&window, shot, pdf] {
        bool ok = true;
        if (!shot.isEmpty() && !window.grab().save(shot)) {
            window.messages().show(u"Unable to save the picture to "_s + shot + u"."_s,
                                   MessageIcon::Exclamation);
            ok = false;
        }
        if (!pdf.isEmpty()) {
            MapWindow *view = window.activeMapWindow();
            QPrinter &printer = window.printer();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            if (!view || !printMap(*view->map(), printer, view->printContent())) {
                window.messages().show(u"Unable to print the map to "_s + pdf + u"."_s,
                                       MessageIcon::Exclamation);
                ok = false;
            }
        }
        QApplication::exit(ok ? 0 : 1);
    });
}

// The logo at twice its size on a white card with a margin, so no letter of the name touches
// the splash's edge.
QPixmap splashPicture()
{
    const QPixmap logo = QPixmap(u":/tractwise/logo.png"_s);
    const QSize big = logo.size() * 2;
    constexpr int margin = 32;
    QPixmap card(big + QSize(2 * margin, 2 * margin));
    card.fill(Qt::white);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint(margin, margin), big), logo);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(card.rect().adjusted(0, 0, -1, -1));
    return card;
}

// Help and the version are text: they need no display, which a terminal over SSH lacks.
void textOnlyWithoutDisplay(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version" || arg == "-?") {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            return;
        }
    }
}

// What the command line asks for; --help and --version end the run in readCommandLine.
struct CommandLine
{
    QStringList projects; // --project
    QStringList files;    // --theme files, then those named bare
    QString screenshot, printPdf, windowSize;
    bool noSplash = false;
};

CommandLine readCommandLine(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Locates water wells by the Public Land Survey System."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption themeOption(u"theme"_s, u"Add a theme to Document 1 (repeatable)."_s,
                                         u"FILE"_s);
    const QCommandLineOption screenshotOption(
        u"screenshot"_s,
        u"Save a picture of the main window once it has drawn, then quit. Message boxes are "
        "written to stderr as TITLE: TEXT instead."_s,
        u"OUT.png"_s);
    const QCommandLineOption noSplashOption(u"no-splash"_s, u"Start without the splash window."_s);
    const QCommandLineOption projectOption(u"project"_s, u"Open a project into Document 1."_s,
                                           u"FILE.plss"_s);
    const QCommandLineOption printPdfOption(
        u"print-pdf"_s,
        u"Print the map of Document 1 to a PDF file without dialogs once it has drawn, then "
        "quit. Message boxes are written to stderr as TITLE: TEXT instead."_s,
        u"OUT.pdf"_s);
    const QCommandLineOption sizeOption(
        u"window-size"_s,
        u"The main window's size for --screenshot and --print-pdf (default 1280x900)."_s,
        u"WIDTHxHEIGHT"_s, u"1280x900"_s);
    parser.addOptions(
        {themeOption, screenshotOption, noSplashOption, projectOption, printPdfOption, sizeOption});
    parser.addPositionalArgument(
        u"files"_s, u"Theme files to open; a project (.plss) opens in a map window of its own."_s,
        u"[FILE...]"_s);
    parser.process(app);
    CommandLine options;
    if (parser.isSet(projectOption))
        options.projects << parser.value(projectOption);
    options.files = parser.values(themeOption) + parser.positionalArguments();
    options.screenshot = parser.value(screenshotOption);
    options.printPdf = parser.value(printPdfOption);
    options.windowSize = parser.value(sizeOption);
    options.noSplash = parser.isSet(noSplashOption);
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    textOnlyWithoutDisplay(argc, argv);
    prepareWebEngine();
    QApplication app(argc, argv);
    loadProgramResources();
    QApplication::setOrganizationName(u"QRV Tractwise"_s);
    QApplication::setApplicationName(u"QRV Tractwise"_s);
    QApplication::setApplicationVersion(QStringLiteral(TRACTWISE_VERSION));
    // The desktop entry the windows belong to, and its icon: from the icon theme when the
    // program is installed, else drawn beside the program in its build folder.
    QGuiApplication::setDesktopFileName(QStringLiteral(TRACTWISE_APP_ID));
    QApplication::setWindowIcon(
        QIcon::fromTheme(u"tractwise"_s, QIcon(programDataFile(u"icons/256/tractwise.png"_s))));

    const CommandLine options = readCommandLine(app);
    const bool scripted = !options.screenshot.isEmpty() || !options.printPdf.isEmpty();

    // The splash stands only while something loads (a project or themes named on the command
    // line), and never longer than a second: a start with nothing to load shows the window
    // at once.
    std::unique_ptr<QSplashScreen> splash;
    const bool loads = !options.projects.isEmpty() || !options.files.isEmpty();
    if (loads && !options.noSplash && !scripted) {
        splash = std::make_unique<QSplashScreen>(splashPicture());
        splash->show();
        QApplication::processEvents();
        QTimer::singleShot(1000, splash.get(), &QWidget::close);
    }

    std::unique_ptr<MessageService> messages;
    if (scripted)
        messages = std::make_unique<StderrMessageService>(true);
    MainWindow window(std::move(messages));
    window.makeWebBrowser = [] { return std::make_unique<WebEngineBrowser>(); };
    if (scripted) { // the same picture whatever size the window had last time
        const QStringList size = options.windowSize.split(u'x');
        const int width = size.value(0).toInt(), height = size.value(1).toInt();
        if (size.size() != 2 || width < 200 || height < 150) {
            std::fprintf(stderr, "--window-size: give WIDTHxHEIGHT, at least 200x150, not %s\n",
                         qPrintable(options.windowSize));
            return 2;
        }
        window.setGeometry(40, 40, width, height);
    }
    window.show();
    if (scripted && window.activeMapWindow())
        window.activeMapWindow()->parentWidget()->showMaximized();
    window.openFiles(options.projects, options.files);
    // The first start with nothing to open shows the sample project, copied for the user.
    if (!loads && !scripted && takeFirstStart())
        window.openSampleProject();
    if (splash)
        splash->finish(&window);

    if (scripted)
        finishScriptedRun(window, options.screenshot, options.printPdf);
    return QApplication::exec();
}
