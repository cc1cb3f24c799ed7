#pragma once

#include <QString>

// The text the text box holds until a saved text is restored: a welcome line,
// four paragraphs and "Удачи!", one empty line between each two.
QString welcomeText();
