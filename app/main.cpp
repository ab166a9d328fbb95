#include "app/cli/command_line.h"
#include "app/shell/floating_window.h"
#include "app/shell/skin.h"
#include "app/support/background_job.h"
#include "qr/qr_module.h"

#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <iostream>
#include <unistd.h>

int main(int argc, char* argv[]) {
    if (argc > 1) {
        // Sub-commands never open a window, so they run before (and without) any display connection.
        qr::initModule();
        cli::Console console{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
        return cli::run(std::vector<std::string>(argv + 1, argv + argc), console);
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("varrow-toolbox"));
    // The floating window is a tool window; hiding it for the main window must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    applySkin(application);
    qr::initModule(); // the QR tables, once, before any window can ask for a code

    FloatingWindow floating;
    QObject::connect(&floating, &FloatingWindow::quitRequested, &application, &QApplication::quit);
    floating.show();
    QTimer::singleShot(300, &floating, &FloatingWindow::showBalloonTip);

    const int exitCode = application.exec();
    if (!ui::finishBackgroundJobs(2000)) {
        // Jobs that write files stop on the quit request and remove their temporaries; what is left
        // is a worker blocked in a slow network call, whose answer has nowhere to go any more.
        std::quick_exit(exitCode);
    }
    return exitCode;
}
