#pragma once

class ChaptersWiring;
class ContextNavigation;
class MainWindow;

// Ties the context panel to the chapters: its "Главы…" button opens the
// chapter list, its line of the time left follows the figures counted, a
// chapter chosen while the panel is open shows there, and a move made in
// the panel counts the time left again.
void connectContextToChapters(MainWindow& window, ContextNavigation& context,
                              ChaptersWiring& chapters);
