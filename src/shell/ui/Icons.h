#pragma once
// Icons drawn in code, so the program carries no picture files for them.
#include <QIcon>

QIcon MainToolIcon(int button); // tool buttons 1..12 of the main window
QIcon TrayIcon(int image);      // 14 connected, 15 not connected
