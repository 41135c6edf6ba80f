// The pair buttons, laid out from the pair list, and the handlers of a pair
// choice; the choice itself is PairChoice's.
#include "window/verz.h"

#include "widgets/accessible_controls.h"

#include <QComboBox>
#include <QFrame>
#include <QRadioButton>

#include <algorithm>
#include <variant>

namespace verz {

namespace {
constexpr float kOptionSpacing = 280.0f;  // twips between two pair buttons

const ControlEntry &pairButtonEntry()
{
    const auto table = FormControlTable();
    const WidgetSlot option1 = &FormWidgets::Option1;
    return *std::find_if(table.begin(), table.end(),
                         [&](const ControlEntry &entry) { return entry.slot == option1; });
}
}  // namespace

void Verz::FillPairList()
{
    Trace(u"FillPairList");
    pairs_.fillLists();
    AddPairButtons();
}

void Verz::AddPairButtons()
{
    Control *first = control(QStringLiteral("Option1"), 0);
    const auto afterFirst = static_cast<std::size_t>(
        std::find(collection_.begin(), collection_.end(), first) - collection_.begin());

    Control *previous = nullptr;
    for (int i = 0; i < w_.Combo1->count() && i < static_cast<int>(w_.Option1.size()); ++i) {
        Control *button = control(QStringLiteral("Option1"), i);
        if (button == nullptr) {
            // A new element starts hidden and copies Option1(0) as it is now.
            button =
                &AddControl(pairButtonEntry(), this, i, afterFirst + static_cast<std::size_t>(i));
            button->widget()->hide();
            button->setGeometry(first->left(), first->top(), first->width(), first->height());
            button->widget()->setFont(first->widget()->font());
            button->widget()->stackUnder(first->widget());
            QWidget::setTabOrder(previous->widget(), button->widget());
            ConnectOption(i);
        }
        if (previous != nullptr)
            button->setTop(previous->top() + kOptionSpacing);
        auto *option = w_.Option1[static_cast<std::size_t>(i)];
        option->setText(w_.Combo1->itemText(i));
        if (option->text().left(4) != QStringLiteral("----"))
            option->setVisible(true);
        else
            HideFromAssistiveTechnology(*option);  // a separator row is never shown
        previous = button;
    }
    w_.FraConfig->raise();
}

void Verz::setOption1Value(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= w_.Option1.size())
        return;
    if (QRadioButton *option = w_.Option1[static_cast<std::size_t>(index)])
        option->setChecked(true);
}

void Verz::Option1_Click(int index)
{
    Trace(u"Option1_Click");
    about_.hide();
    pairs_.choose(index);
    WarmChosenPair();
}

void Verz::Combo1_Click()
{
    Trace(u"Combo1_Click");
    pairs_.storeRow();
}

}  // namespace verz
