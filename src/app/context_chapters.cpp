#include "app/context_chapters.h"

#include "app/chapters_wiring.h"
#include "reading/context_navigation.h"
#include "ui/context_panel.h"
#include "ui/main_window.h"

void connectContextToChapters(MainWindow& window, ContextNavigation& context,
                              ChaptersWiring& chapters) {
    ContextPanel* panel = window.contextPanel;
    QObject::connect(panel, &ContextPanel::chaptersRequested, &chapters, &ChaptersWiring::show);
    QObject::connect(&chapters, &ChaptersWiring::timeLeftTextChanged, panel,
                     &ContextPanel::setTimeLeftText);
    panel->setTimeLeftText(chapters.timeLeftText());
    QObject::connect(&chapters, &ChaptersWiring::moved, &context, [&context] {
        if (context.isOpen())
            context.open();
    });
    QObject::connect(&context, &ContextNavigation::moved, &chapters,
                     [&chapters] { chapters.refreshTimeLeft(); });
}
