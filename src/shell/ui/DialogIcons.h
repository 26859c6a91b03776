#pragma once
// The three message box pictures, drawn in code.
#include <QPixmap>

enum class DialogIcon { Question, Warning, Information };
QPixmap DialogIconPixmap(DialogIcon icon, int size = 48);
