#include "platform/qt/accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

#include "platform/qt/main_window.h"

namespace tarnwick::qt {
namespace {

// The drive list for a screen reader: a combo box named by its accessible
// name, whose one child is the list that opens.
class DriveListAccessible final : public QAccessibleWidget {
 public:
  explicit DriveListAccessible(QComboBox* drives)
      : QAccessibleWidget(drives, QAccessible::ComboBox) {}

  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Value ? drives()->currentText() : QAccessibleWidget::text(kind);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = drives()->view()->isVisible();
    return state;
  }

  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(drives()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == drives()->view() ? 0 : -1;
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  // Opening and closing the list, beside what every widget does.
  QStringList actionNames() const override {
    return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != showMenuAction()) return QAccessibleWidget::doAction(action);
    if (drives()->view()->isVisible()) {
      drives()->hidePopup();
    } else {
      drives()->showPopup();
    }
  }

 private:
  QComboBox* drives() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* AccessibleFor(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String(DriveList::staticMetaObject.className())) return nullptr;
  return new DriveListAccessible(static_cast<DriveList*>(object));
}

}  // namespace

void InstallAccessibility() {
  [[maybe_unused]] static const bool installed = [] {
    QAccessible::installFactory(AccessibleFor);
    return true;
  }();
}

}  // namespace tarnwick::qt
