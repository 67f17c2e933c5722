#include "Icons.h"

// The resources of a static library are registered by hand.
static void RegisterShellResources() { Q_INIT_RESOURCE(shell); }

namespace kadivo {

void LoadShellResources() {
    static const bool loaded = (RegisterShellResources(), true);
    (void)loaded;
}

QIcon CommandIcon(CommandId id) {
    const std::string_view name = Command(id).icon;
    if (name.empty()) return {};
    return QIcon(QStringLiteral(":/icons/") + QString::fromUtf8(name.data(), static_cast<int>(name.size())) + ".svg");
}

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/icons/kadivo.svg")); }

}  // namespace kadivo
