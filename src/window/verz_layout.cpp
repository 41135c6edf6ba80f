// Building the window's controls from the tables, their stacking, tab order
// and the wiring of their events to the handlers.
#include "window/verz.h"

#include "widgets/control_widgets.h"
#include "window/control_factory.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>

namespace verz {

Control &Verz::AddControl(const ControlEntry &entry, QWidget *parent, int index,
                          std::size_t collectionPosition)
{
    QWidget *widget = CreateControlWidget(entry, index, parent, w_);
    owned_.push_back(std::make_unique<Control>(entry, index, widget, twips_));
    Control &control = *owned_.back();
    collectionPosition = std::min(collectionPosition, collection_.size());
    collection_.insert(collection_.begin() + static_cast<std::ptrdiff_t>(collectionPosition),
                       &control);
    control.sizeToText();
    return control;
}

void Verz::BuildControls()
{
    for (const ControlEntry &entry : FormControlTable())
        AddControl(entry, this, entry.index, collection_.size());
    for (const ControlEntry &entry : PanelControlTable())
        AddControl(entry, w_.FraConfig, entry.index, collection_.size());
    StackControls();
    OrderTabs();
    ConnectHandlers();
    DescribeControls();
    ConnectKeys();
}

void Verz::StackControls()
{
    // The tables run front to back, windowed group first: raising them in
    // reverse leaves the first entry, FraConfig, in front of everything.
    for (auto it = collection_.rbegin(); it != collection_.rend(); ++it)
        (*it)->widget()->raise();
}

void Verz::OrderTabs()
{
    std::vector<std::pair<std::pair<int, int>, QWidget *>> chain;
    for (Control *c : collection_) {
        // Widgets that never take the focus stay out of the chain: linking
        // them only scrambles the order around them.
        if (!IsWindowedKind(c->kind()) || c->widget()->focusPolicy() == Qt::NoFocus)
            continue;
        const int tab = c->tabIndex();
        if (tab >= 0)
            chain.push_back({{tab, c->index()}, c->widget()});
    }
    std::stable_sort(chain.begin(), chain.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1].second, chain[i].second);
}

void Verz::ConnectOption(int index)
{
    // Setting Value to True, by a click or by code, raises the click event.
    connect(w_.Option1[static_cast<std::size_t>(index)], &QRadioButton::toggled, this,
            [this, index](bool on) {
                if (on)
                    Option1_Click(index);
            });
}

void Verz::ConnectHandlers()
{
    ConnectOption(0);
    connect(w_.Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(w_.Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(w_.Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(w_.Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(w_.Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(w_.Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(w_.Command8, &QToolButton::clicked, this, [this] { Command8_Click(); });
    connect(w_.Text1, &QPlainTextEdit::textChanged, this, [this] { Text1_Change(); });
    connect(w_.Text2, &QPlainTextEdit::textChanged, this, [this] { Text2_Change(); });
    w_.Text1->viewport()->installEventFilter(this);
    w_.Text2->viewport()->installEventFilter(this);
    connect(w_.Image1, &ImageBox::clicked, this, [this] { Image1_Click(); });
    connect(w_.Image3, &ImageBox::clicked, this, [this] { Image3_Click(); });
    connect(w_.Label6, &ClickLabel::clicked, this, [this] { Label6_Click(); });
    connect(w_.Label2, &ClickLabel::clicked, this, [this] { Label2_Click(); });
    connect(w_.Label1, &ClickLabel::clicked, this, [this] { Label1_Click(); });
    connect(w_.Label3, &ClickLabel::clicked, this, [this] { Label3_Click(); });
    connect(w_.Label4, &ClickLabel::clicked, this, [this] { Label4_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(w_.Labc[static_cast<std::size_t>(i)], &ClickLabel::clicked, this,
                [this, i] { Labc_Click(i); });
    }
}

namespace {
// Inserts the X selection's text where the pointer is, as a middle click does.
void PasteSelectionAt(QPlainTextEdit &box, QPoint position)
{
    if (box.isReadOnly())
        return;
    const QString text = QGuiApplication::clipboard()->text(QClipboard::Selection);
    if (text.isEmpty())
        return;
    QTextCursor cursor = box.cursorForPosition(position);
    cursor.insertText(text);
    box.setTextCursor(cursor);
}
}  // namespace

bool Verz::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && KeyFilter(watched, *static_cast<QKeyEvent *>(event)))
        return true;
    const bool mouse =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease;
    if (!mouse)
        return QWidget::eventFilter(watched, event);
    auto *press = static_cast<QMouseEvent *>(event);
    if (watched == w_.Text1->viewport() && event->type() == QEvent::MouseButtonPress &&
        press->button() == Qt::LeftButton)
        Text1_Click();
    // The middle button pastes the X selection. Qt's own paste crashes when no
    // program owns the selection, so the boxes take that paste over.
    if (press->button() == Qt::MiddleButton) {
        QPlainTextEdit *box = watched == w_.Text1->viewport()   ? w_.Text1
                              : watched == w_.Text2->viewport() ? w_.Text2
                                                                : nullptr;
        if (box != nullptr) {
            if (event->type() == QEvent::MouseButtonRelease)
                PasteSelectionAt(*box, press->position().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Verz::paintEvent(QPaintEvent *)
{
    // The skin, unscaled, from the top-left corner.
    QPainter painter(this);
    painter.drawImage(0, 0, skin_);
}

}  // namespace verz
