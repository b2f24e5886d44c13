// Opening the compatibility engine's module and making its controls.
#include "browser/WebControlView.h"

#include "common/ModuleLoader.h"

namespace {
// The function the module exports; see WebControl.cpp.
using TCreateFunction = TWebControlView* (*)(QWidget*);
} // namespace

TWebControlFactory LoadWebControlModule(const QStringList& folders) {
    const auto create = reinterpret_cast<TCreateFunction>(
        ResolveModuleFunction(QStringLiteral("quellon_webkit"), "QuellonCreateWebControl", folders));
    if (!create)
        return {};
    return create;
}

TWebControlView* CreateWebControlView(QWidget* parent) {
    static const TWebControlFactory factory = LoadWebControlModule(ModuleFolders());
    return factory ? factory(parent) : nullptr;
}
