#pragma once

#include <QComboBox>

// The drop-down list of reading speeds. Its items keep their tab after the
// number, as the list has always shown them; a screen reader hears the
// current item and each item as a speed ("300 слов в минуту"), since on the
// desktops that read the list by its current item the tab would be heard as
// part of the name.
class SpeedList : public QComboBox {
    Q_OBJECT
public:
    explicit SpeedList(QWidget* parent = nullptr);

    // The item `index` as a screen reader tells it.
    QString spokenItem(int index) const;
};
