#pragma once

#include <QIcon>

// The program's icon: the word display's two tick marks with the red
// recognition letter between them, in the sizes that window managers and
// task bars ask for (16 to 256 pixels).
QIcon programIcon();
