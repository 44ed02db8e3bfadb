#pragma once

#include <QStringList>

// The tray program's icons, drawn by the build into one compiled-in resource file. A static
// library's resources register only when asked, so every window that shows an icon calls this.
void initWindowResources();

// Every path the resource file holds, for checks.
const QStringList& windowIconPaths();
