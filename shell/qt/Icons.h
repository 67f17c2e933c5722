#pragma once

#include "Commands.h"

#include <QIcon>

namespace kadivo {

// Makes the icons, the manual and the other bundled files available; once per program.
void LoadShellResources();

// The icon of a command: the program's own drawing; a null icon for commands without one.
QIcon CommandIcon(CommandId id);
// The program's icon.
QIcon ProgramIcon();

}  // namespace kadivo
