#include "widgets/accessible_controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QMetaObject>

#include <vector>

namespace verz {

namespace {
const char *const kKindProperty = "verzAccessibleKind";
const char *const kHiddenProperty = "verzHiddenFromAT";

// A painted control that acts: its press action clicks it. The click is
// queued, so a press that ends the program ("Quitter") still lets the
// screen reader's call return first.
class ActionAccessible final : public QAccessibleWidget {
public:
    ActionAccessible(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (role() == QAccessible::Link)
            state.linked = true;
        return state;
    }
    QStringList actionNames() const override
    {
        QStringList names{pressAction()};
        if (widget()->focusPolicy() != Qt::NoFocus)
            names << setFocusAction();
        return names;
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && widget()->isEnabled())
            QMetaObject::invokeMethod(widget(), "clicked", Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(action);
    }
};

// A container whose children marked hidden are left out of the tree.
class ContainerAccessible final : public QAccessibleWidget {
public:
    ContainerAccessible(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role)
    {
    }

    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const std::vector<QWidget *> children = shown();
        if (index < 0 || static_cast<std::size_t>(index) >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child == nullptr)
            return -1;
        const std::vector<QWidget *> children = shown();
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (children[i] == child->object())
                return static_cast<int>(i);
        }
        return -1;
    }

private:
    std::vector<QWidget *> shown() const
    {
        std::vector<QWidget *> children;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child == nullptr || child->isWindow() || qobject_cast<QFocusFrame *>(child) ||
                child->property(kHiddenProperty).toBool())
                continue;
            children.push_back(child);
        }
        return children;
    }
};

class NoticeAccessible final : public QAccessibleWidget {
public:
    explicit NoticeAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Notification)
    {
    }
};

QAccessibleInterface *Factory(const QString &key, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr)
        return nullptr;
    if (key == QLatin1String("verz::SpokenNotice"))
        return new NoticeAccessible(widget);
    if (key == QLatin1String("verz::Verz"))
        return new ContainerAccessible(widget, QAccessible::Window);
    if (key == QLatin1String("verz::ContainerFrame"))
        return new ContainerAccessible(widget, QAccessible::Pane);
    const QVariant kind = widget->property(kKindProperty);
    if (!kind.isValid() ||
        (key != QLatin1String("verz::ClickLabel") && key != QLatin1String("verz::ImageBox")))
        return nullptr;
    return new ActionAccessible(widget, kind.toInt() == static_cast<int>(AccessibleKind::Link)
                                            ? QAccessible::Link
                                            : QAccessible::Button);
}
}  // namespace

void ExposeAs(QWidget &control, AccessibleKind kind, const QString &name,
              const QString &description)
{
    // A label that got its text as it was built already has the interface of
    // a plain label, kept for the object: it goes, and the next look-up
    // builds the button or link.
    if (QAccessibleInterface *plain = QAccessible::queryAccessibleInterface(&control))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(plain));
    control.setProperty(kKindProperty, static_cast<int>(kind));
    control.setAccessibleName(name);
    if (!description.isEmpty())
        control.setAccessibleDescription(description);
}

void HideFromAssistiveTechnology(QWidget &control)
{
    control.setProperty(kHiddenProperty, true);
}

void InstallAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    static_cast<void>(installed);
}

SpokenNotice::SpokenNotice(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SpokenNotice"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    hide();
}

void SpokenNotice::say(const QString &text)
{
    QString spoken = text.trimmed();
    if (spoken.size() > kMaxSpoken) {
        const qsizetype space = spoken.lastIndexOf(QLatin1Char(' '), kMaxSpoken);
        spoken.truncate(space > kMaxSpoken / 2 ? space : kMaxSpoken);
    }
    if (spoken.isEmpty())
        return;
    // Hidden first, so the reader hears a new showing even for the same text.
    hide();
    setAccessibleName(spoken);
    show();
}

}  // namespace verz
