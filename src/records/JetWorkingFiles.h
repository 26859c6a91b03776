#pragma once
// A Jet file of the Windows edition where the working database belongs
// ("sova6.mdb", or a delivered "sova_60.mdb") cannot serve as the working
// database. Before the start-up renames, it is renamed to "sova.mdb" so that
// the conversion carries its rows into a working database of ours (a fresh one
// made from the template when "sova6.mdb" itself was the Jet file).
#include <QString>
#include <QStringList>

// Does the renames; returns what the user is to be told, one text for each
// Jet file found (empty when there was none). A Jet file that cannot be moved
// (another "sova.mdb" waits for conversion) stays where it is, and the text
// says so.
QStringList SetAsideJetWorkingFiles(const QString &folder);
