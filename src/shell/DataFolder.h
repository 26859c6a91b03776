#pragma once
#include <QString>
#include <QStringList>

// The data folder: --data-dir DIR, else $SOVA_DATA_DIR, else
// $XDG_DATA_HOME/kelvor/sova/ (~/.local/share/kelvor/sova/). Created when
// missing. Always ends with '/', as file names are appended to it.
QString ResolveDataFolder(const QStringList &arguments);
QString WithTrailingSlash(const QString &dir);
// Looks a file name up in dir without regard to case (the program's names
// were spelled with varying case). Returns the full path of the existing file,
// or dir + name when there is none.
QString FindFileNoCase(const QString &dir, const QString &name);
bool FileExistsNoCase(const QString &dir, const QString &name);
