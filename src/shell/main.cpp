// Entry point: prepare the engine, start the application, show the first window and run the loop.
#include "shell/Application.h"
#include "shell/PlainWindow.h"
#include "shell/Startup.h"

int main(int argc, char* argv[]) {
    TStartup::PrepareProcess();
    TApplication app(argc, argv);
    TStartup startup(app.arguments());

    TPlainWindow window(startup.FirstPageUrl());
    window.show();

    app.QuitOnTerminationSignals();
    return app.exec();
}
