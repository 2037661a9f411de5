// rm427: the programming software's window.
#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#endif

#include "image/Module1.h"
#include "io/StopSignals.h"
#include "shell/DemoRadio.h"
#include "radio/frmClone.h"
#include "shell/MDIForm1.h"
#include "ui/DesktopHabits.h"
#include "ui/QtDialogs.h"

namespace {

struct Options {
    QCommandLineOption demo{QStringLiteral("demo"), QStringLiteral("Attach a simulated radio on COM1.")};
};

void Describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("Programming software for the RM-427 hand-held FM radio."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(options.demo);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Data file (.dat) to open."),
                                 QStringLiteral("[FILE.dat]"));
}

// The window system's own options (QGuiApplication and QApplication take
// them out of the arguments themselves): left out of our parse, so that
// "-platform offscreen" or "-style fusion" is not an unknown option.
QStringList WithoutQtOptions(const QStringList& arguments) {
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("title"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("icon"),
                                          QStringLiteral("session"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet"),
                                          QStringLiteral("display"),
                                          QStringLiteral("name"),
                                          QStringLiteral("visual"),
                                          QStringLiteral("fontengine")};
    static const QStringList flags = {QStringLiteral("reverse"),     QStringLiteral("testability"),
                                      QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                                      QStringLiteral("dograb"),      QStringLiteral("sync")};
    QStringList out;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (i == 0 || a == QLatin1String("--") || !a.startsWith('-') || a.size() < 2) {
            out << a;
            continue;
        }
        QString name = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
        const bool joined = name.contains('=');
        name = name.section('=', 0, 0);
        if (withValue.contains(name)) {
            if (!joined) ++i;  // its value
        } else if (!flags.contains(name)) {
            out << a;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // A window program has no console; started from one, it answers there.
    if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
    QCoreApplication::setApplicationName(QStringLiteral("rm427"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RM427_VERSION));
    // The command line is read before any window system is needed, so that
    // --help, --version and a wrong option are answered on a console too.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    Options options;
    Describe(parser, options);
    if (!parser.parse(WithoutQtOptions(arguments))) {
        std::fprintf(stderr, "rm427: %s\nTry 'rm427 --help' for more information.\n",
                     qPrintable(parser.errorText()));
        return 1;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        // Printed here: Qt would show a message box on Windows.
        std::printf("rm427 %s\n", RM427_VERSION);
        return 0;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Without an application object Qt cannot name the program itself.
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), QStringLiteral("rm427"));
        std::fputs(qPrintable(help), stdout);
        return 0;
    }
    const QStringList named = parser.positionalArguments();
    if (named.size() > 1) {
        std::fprintf(stderr, "rm427: one data file at most\n");
        return 1;
    }

    QApplication app(argc, argv);
    rm427::gui::SetUpApplication(app, QStringLiteral(RM427_VERSION));

    // --demo: a simulated radio on the port every run starts with (COM1).
    rm427::gui::DemoRadio demoRadio;
    const bool demo = parser.isSet(options.demo);
    if (demo) {
        std::string error;
        if (!demoRadio.Start(1, error)) {
            std::fprintf(stderr, "rm427: --demo: %s\n", error.c_str());
            return 1;
        }
    }

    rm427::Module1 state;
    rm427::gui::QtMessageBoxes boxes;
    rm427::gui::QtFileDialogs files;
    rm427::gui::MDIForm1 main(state, boxes, files);
    boxes.SetOwner(&main);
    files.SetOwner(&main);
    files.SetStartFolder([&main] { return main.DialogFolder(); });
    if (demo) demoRadio.Announce(main);
    // Logout, kill or a closed terminal: the radio is released before the end.
    rm427::StopSignals stop(
        [](int sig) { rm427::gui::frmClone::StopAll([sig] { QCoreApplication::exit(128 + sig); }); });
    main.show();
    if (!named.isEmpty()) main.OpenFile(named.first());
    return app.exec();
}
