#pragma once
// Product and maker texts. They are carried enciphered (key 7) and
// deciphered when asked for.
#include <QString>
#include <QStringList>

namespace Branding {
QString Title();        // first part of the window caption
QString Suffix();       // last part of the window caption
QString Product();      // product name: version label, messages
QString ProductTitle(); // product title: tray hint and balloons
QString TrayLine();     // first line of the tray hint
QString Maker();
QString MakerLine2();
QString Notice();
QString Web();
QString Tel();
QString Fax();
QString EMail();
// The thirteen enciphered lines of the branding file.
QStringList BrandingFileLines();
// Plain texts in the order they are stored (for the build's check and tools).
QStringList PlainTexts();
} // namespace Branding
