// Entry point: prepare the engine, start the application, show the first window and run the loop.
#include "shell/Application.h"
#include "shell/FormMain.h"
#include "shell/Startup.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    TStartup::PrepareProcess(arguments);
    TApplication app(argc, argv);
    TStartup startup(app.arguments());

    TFormMain window(startup.Db(), startup.CommandLineUrl());
    window.show();

    app.QuitOnTerminationSignals();
    return app.exec();
}
