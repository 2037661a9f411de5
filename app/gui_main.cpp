// rm427: the programming software's window.
#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

#include "image/Module1.h"
#include "shell/DemoRadio.h"
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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("rm427"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RM427_VERSION));
    // --help and --version are answered before any window system is
    // needed, so they work on a console.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
        QCommandLineParser early;
        Options options;
        Describe(early, options);
        early.parse(arguments);
        if (early.isSet(QStringLiteral("version"))) early.showVersion();
        if (early.isSet(QStringLiteral("help"))) early.showHelp(0);
    }

    QApplication app(argc, argv);
    rm427::gui::SetUpApplication(app, QStringLiteral(RM427_VERSION));
    QCommandLineParser parser;
    Options options;
    Describe(parser, options);
    parser.process(app);  // an unknown option: message and exit status 1
    const QStringList named = parser.positionalArguments();
    if (named.size() > 1) {
        std::fprintf(stderr, "rm427: one data file at most\n");
        return 1;
    }

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
    main.show();
    if (!named.isEmpty()) main.OpenFile(named.first());
    return app.exec();
}
