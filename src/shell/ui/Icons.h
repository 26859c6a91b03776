#pragma once
// Icons drawn in code, so the program carries no picture files for them: a
// coloured tile with a white pictogram, the same family on every tool bar.
#include <QIcon>
#include <QPixmap>

enum class ToolGlyph {
  Measure,   // probe with a reading
  Stop,
  Analyse,   // bar chart
  Save,
  Load,      // read from the database
  Clear,
  Keyboard,  // manual entry
  Compare,
  Exit,
  Print,
  Add,
  Edit,
  Delete,
  Search,
  Import,
  Export,
  Calibrate, // dial
  Settings,
  Book,      // meridian explanation
  Records,   // record browser
  Files,     // import and export
  Function,  // a custom function, with its number
};

// size is the tile's edge in pixels; number is drawn on Function tiles.
QPixmap ToolPixmap(ToolGlyph glyph, int size = 64, int number = 0);
QIcon ToolIcon(ToolGlyph glyph, int number = 0);

QIcon MainToolIcon(int button);    // tool buttons 1..12 of the main window
QIcon MeasureToolIcon(int button); // the nine tool buttons of the measurement window, 1..9
QIcon TrayIcon(int image);         // 14 connected, 15 not connected

// The measuring mode picture: "NRM" standard potential, "HI" high potential.
QPixmap ModePicture(bool highPotential, QSize size = QSize(64, 28));
// Sound menu: 0 silent, 1 standard, 2 single tone.
QIcon SoundModeIcon(int mode);
// Picture-style menu: 1 photograph, 2 drawing, 3 composite.
QIcon PictureStyleIcon(int style);
// The sex button of the subject panels.
QIcon SexIcon(bool male);
