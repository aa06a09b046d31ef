#include "ui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QStringList>
#include <QWidget>

namespace accessibility {
namespace {

// The object a window announces through: no size, never in the way.
class Announcement : public QWidget {
    Q_OBJECT
  public:
    explicit Announcement(QWidget* window) : QWidget(window) {
        setObjectName(QStringLiteral("announcement"));
        setGeometry(0, 0, 0, 0);
        setFocusPolicy(Qt::NoFocus);
    }
};

// A drop-down list named for what it chooses: Qt names one on Linux by the
// item it shows ("/"), where the user needs to hear "Drive" first.
class NamedComboBox : public QAccessibleWidget {
  public:
    explicit NamedComboBox(QWidget* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? static_cast<QComboBox*>(widget())->currentText()
                                       : QAccessibleWidget::text(t);
    }
};

// The windows that are plain widgets but work as dialogs (QDialog is one already).
const QStringList kDialogs = {QStringLiteral("frmDir"), QStringLiteral("frmOptions"),
                              QStringLiteral("frmPreview")};

QAccessibleInterface* interfaceFor(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (kDialogs.contains(className)) {
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    }
    if (className == QLatin1String("HelpWindow")) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    if (className == QLatin1String("QComboBox") && !widget->accessibleName().isEmpty()) {
        return new NamedComboBox(widget);
    }
    if (qobject_cast<Announcement*>(object) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::Notification);
    }
    return nullptr;
}

}  // namespace

void setUp() {
    QAccessible::installFactory(interfaceFor);
}

void announce(QWidget* window, const QString& text) {
    if (window == nullptr || text.isEmpty()) {
        return;
    }
    auto* announcement = window->findChild<Announcement*>(QString(), Qt::FindDirectChildrenOnly);
    if (announcement == nullptr) {
        announcement = new Announcement(window);
    }
    // Shown anew for each message: a screen reader reads a notification out
    // when it appears.
    announcement->hide();
    announcement->setAccessibleName(text);
    announcement->show();
}

}  // namespace accessibility

#include "Accessibility.moc"
