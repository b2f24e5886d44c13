// The engine indicator's icons.
#include "shell/Icons.h"

QIcon KernelIcon(int kernel) {
    return AppIcon(kernel == 1 ? QStringLiteral("kernel-ie") : QStringLiteral("kernel-chromium"));
}
