#include "ui/speed_list.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// The list as a drop-down list whose name and value are its current speed;
// the popup's items are its one child, as for any drop-down list.
class SpokenSpeedList final : public QAccessibleWidget {
public:
    explicit SpokenSpeedList(SpeedList* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name || kind == QAccessible::Value)
            return list()->spokenItem(list()->currentIndex());
        return QAccessibleWidget::text(kind);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    SpeedList* list() const { return static_cast<SpeedList*>(widget()); }
};

QAccessibleInterface* speedListInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("SpeedList") && object && object->isWidgetType())
        return new SpokenSpeedList(static_cast<SpeedList*>(object));
    return nullptr;
}

} // namespace

SpeedList::SpeedList(QWidget* parent) : QComboBox(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(speedListInterface);
        return true;
    }();
    Q_UNUSED(installed);
    setEditable(false);
    view()->setAccessibleName(QStringLiteral("Скорости чтения"));
    for (int wpm = 150; wpm <= 1000; wpm += 50) {
        addItem(QString::number(wpm) + QLatin1Char('\t'));
        setItemData(count() - 1, spokenItem(count() - 1), Qt::AccessibleTextRole);
    }
}

QString SpeedList::spokenItem(int index) const {
    if (index < 0 || index >= count())
        return {};
    return itemText(index).trimmed() + QStringLiteral(" слов в минуту");
}
