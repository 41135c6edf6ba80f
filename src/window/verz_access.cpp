// The window without a mouse and with a screen reader: the names assistive
// technology reads, the keys, the focus ring, and where the focus goes.
#include "window/verz.h"

#include "widgets/accessible_controls.h"
#include "widgets/control_widgets.h"
#include "widgets/focus_ring.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace verz {

namespace {
bool IsReturn(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

Qt::KeyboardModifiers WithoutKeypad(const QKeyEvent &key)
{
    return key.modifiers() & ~Qt::KeypadModifier;
}
}  // namespace

void Verz::DescribeControls()
{
    // The boxes and the translate button are named by the captions beside
    // them, which also say, as their labels, what they label.
    const auto caption = [this](std::size_t index, QWidget *control) {
        ClickLabel *label = w_.Label7[index];
        label->setBuddy(control);
        control->setAccessibleName(label->text());
    };
    caption(0, w_.Text1);
    caption(1, w_.Text2);
    caption(2, w_.Command6);
    w_.Label7[3]->setBuddy(w_.Image1);
    // The two "Effacer" say which box they clear.
    w_.Command5->setAccessibleName(QStringLiteral("Effacer le texte à traduire"));
    w_.Command2->setAccessibleName(QStringLiteral("Effacer la traduction"));
    // The hot spots and the arrow are buttons named by their tooltips.
    ExposeAs(*w_.Label6, AccessibleKind::Button, w_.Label6->toolTip(), QStringLiteral("Touche F1"));
    ExposeAs(*w_.Label2, AccessibleKind::Button, w_.Label2->toolTip(),
             QStringLiteral("Touches Ctrl+M"));
    ExposeAs(*w_.Label1, AccessibleKind::Button, w_.Label1->toolTip(),
             QStringLiteral("Touches Ctrl+Q"));
    ExposeAs(*w_.Image1, AccessibleKind::Button, w_.Image1->toolTip(), w_.Label7[3]->text());
    w_.FraConfig->setAccessibleName(w_.Label6->toolTip());
    // The panel's targets are links; those with a text of their own are
    // reached with Tab while the panel shows.
    for (ClickLabel *link : {w_.Label4, w_.Label3, w_.Labc[0], w_.Labc[1]})
        ExposeAs(*link, AccessibleKind::Link, link->text());
    for (ClickLabel *link : {w_.Label3, w_.Label4, w_.Labc[0]})
        link->setFocusPolicy(Qt::TabFocus);
    ExposeAs(*w_.Image3, AccessibleKind::Link, QStringLiteral("Site du service de traduction"));
    // What never shows, and pictures that repeat what a text says.
    for (QWidget *quiet :
         std::initializer_list<QWidget *>{w_.Combo1, w_.List1, w_.Picture1, w_.ImaVerz, w_.ImageOrg,
                                          w_.Shape1[0], w_.Shape1[1], w_.Shape1[2]})
        HideFromAssistiveTechnology(*quiet);
    for (ImageBox *flag : w_.Image2)
        HideFromAssistiveTechnology(*flag);
    notice_ = new SpokenNotice(this);
    ring_ = std::make_unique<FocusRing>(*this);
}

void Verz::ConnectKeys()
{
    const auto key = [this](const QKeySequence &sequence, auto handler) {
        auto *shortcut = new QShortcut(sequence, this);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    key(QKeySequence(Qt::Key_F1), [this] { Label6_Click(); });
    key(QKeySequence(Qt::Key_Escape), [this] {
        if (w_.FraConfig->isVisible())
            Command8_Click();
    });
    key(QKeySequence(Qt::CTRL | Qt::Key_M), [this] { Label2_Click(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { Label1_Click(); });
    // Text typed with Tab stays out of the boxes: Tab moves on, as it does
    // everywhere else in the window.
    w_.Text1->setTabChangesFocus(true);
    w_.Text2->setTabChangesFocus(true);
    w_.Text1->installEventFilter(this);
    for (QWidget *button : std::initializer_list<QWidget *>{w_.Command2, w_.Command3, w_.Command4,
                                                            w_.Command5, w_.Command6, w_.Command8})
        button->installEventFilter(this);
}

bool Verz::KeyFilter(QObject *watched, QKeyEvent &key)
{
    if (!IsReturn(key))
        return false;
    if (watched == w_.Text1) {
        if (WithoutKeypad(key) != Qt::ControlModifier)
            return false;
        // A held key translates once.
        if (!key.isAutoRepeat() && w_.Command6->isEnabled())
            w_.Command6->click();
        return true;
    }
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (button == nullptr || WithoutKeypad(key) != Qt::NoModifier)
        return false;
    if (!key.isAutoRepeat() && button->isEnabled())
        button->click();
    return true;
}

bool Verz::focusNextPrevChild(bool next)
{
    // Disabled during a translation, the translate button would hand the
    // focus on to the pair buttons, where the next Space changes the pair.
    // It keeps the focus instead; keys reach the window meanwhile.
    if (holdingTranslateFocus_)
        return true;
    if (about_.moveFocus(next))
        return true;
    return QWidget::focusNextPrevChild(next);
}

void Verz::setTranslateEnabled(bool enabled)
{
    holdingTranslateFocus_ = !enabled && focusWidget() == w_.Command6;
    w_.Command6->setEnabled(enabled);
    holdingTranslateFocus_ = false;
}

void Verz::Announce(const QString &text)
{
    notice_->say(text);
}

}  // namespace verz
