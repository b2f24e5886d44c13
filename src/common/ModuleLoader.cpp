// Opening the program's own modules.
#include "common/ModuleLoader.h"

#include "common/Logging.h"

#include <QCoreApplication>

QStringList ModuleFolders() {
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder + QStringLiteral("/lib/"), folder + QStringLiteral("/../lib/")};
}

QFunctionPointer ResolveModuleFunction(const QString& name, const char* symbol, const QStringList& folders) {
    QStringList reasons;
    for (const QString& folder : folders) {
        // Never unloaded: objects made by the module keep using its code.
        auto* library = new QLibrary(folder + name);
        if (const QFunctionPointer function = library->resolve(symbol))
            return function;
        reasons
            << (library->isLoaded()
                    ? QStringLiteral("%1 has no function %2").arg(library->fileName(), QLatin1String(symbol))
                    : library->errorString());
        delete library;
    }
    WriteLog(QStringLiteral("module %1 not available: %2").arg(name, reasons.join(QStringLiteral("; "))));
    return nullptr;
}
