#pragma once

#include <QString>
#include <QWidget>

namespace verz {

// What a screen reader is told a painted control is. The hot spots and the
// move-up picture are buttons, the about panel's targets are links; both
// answer the press action as a click would.
enum class AccessibleKind { Button, Link };

// Makes a ClickLabel or an ImageBox a button or a link for assistive
// technology, with its name and, when given, a description.
void ExposeAs(QWidget &control, AccessibleKind kind, const QString &name,
              const QString &description = {});

// Keeps a control out of the tree assistive technology walks: data holders
// that never show, outlines and pictures that say nothing the texts do not.
void HideFromAssistiveTechnology(QWidget &control);

// Installs the interfaces above for the whole program; a second call does
// nothing. Must run before the first control is built.
void InstallAccessibleControls();

// Speaks a text once, where nothing has the focus to carry it: a zero-sized
// notification that shows itself anew for each text (Qt 6.4 has no
// announcement of its own; screen readers read a notification as it shows).
class SpokenNotice : public QWidget {
    Q_OBJECT
public:
    explicit SpokenNotice(QWidget *parent);

    // Longer texts are cut after kMaxSpoken characters, at a space if one is near.
    static constexpr int kMaxSpoken = 1000;
    void say(const QString &text);
    QString lastSaid() const { return accessibleName(); }
};

}  // namespace verz
