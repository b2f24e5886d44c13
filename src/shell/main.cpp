// Entry point: prepare the engine, start the application, show the first window and run the loop.
#include "common/WindowLauncher.h"
#include "shell/Application.h"
#include "shell/FormMain.h"
#include "shell/Startup.h"

#include <cstring>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    // Qt and the engine read only the switches: the addresses after "--" never reach their
    // parsers, so an address that looks like one of their options stays an address.
    int switchCount = 0;
    while (switchCount < argc && std::strcmp(argv[switchCount], "--") != 0) {
        ++switchCount;
    }
    TStartup::PrepareProcess(arguments);
    TApplication app(switchCount, argv);
    TStartup startup(arguments);

    TFormMain window(startup.Db(), startup.CommandLineUrl());
    window.show();

    app.QuitOnTerminationSignals();
    return app.exec();
}
