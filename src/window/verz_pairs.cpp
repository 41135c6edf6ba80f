// The pair list, the choice of a pair, its flags and the stored row.
#include "window/verz.h"

#include "pairs/flags.h"
#include "pairs/pair_catalogue.h"
#include "pairs/stored_choice.h"
#include "platform/app_info.h"
#include "window/control_widgets.h"

#include <QComboBox>
#include <QFrame>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>

namespace verz {

namespace {
constexpr float kOptionSpacing = 280.0f;  // twips between two pair buttons
}

void Verz::FillPairList()
{
    Trace(u"FillPairList");
    {
        // Adding items must not choose a row: ListIndex stays -1 until start-up
        // selects the stored one.
        const QSignalBlocker quiet(w_.Combo1);
        w_.Combo1->clear();
        w_.List1->clear();
        for (const LanguagePair &pair : PairCatalogue()) {
            w_.Combo1->addItem(pair.labelText());
            w_.List1->addItem(pair.codeText());
        }
        w_.Combo1->setCurrentIndex(-1);
    }

    const ControlEntry *optionEntry = nullptr;
    for (const ControlEntry &entry : FormControlTable()) {
        if (QString::fromUtf16(entry.name) == QStringLiteral("Option1"))
            optionEntry = &entry;
    }
    Control *first = control(QStringLiteral("Option1"), 0);
    const auto afterFirst = static_cast<std::size_t>(
        std::find(collection_.begin(), collection_.end(), first) - collection_.begin());

    Control *previous = nullptr;
    for (int i = 0; i < w_.Combo1->count() && i < static_cast<int>(w_.Option1.size()); ++i) {
        Control *button = control(QStringLiteral("Option1"), i);
        if (button == nullptr) {
            // A new element starts hidden and copies Option1(0) as it is now.
            button = &AddControl(*optionEntry, this, i, afterFirst + static_cast<std::size_t>(i));
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
    w_.FraConfig->setVisible(false);
    setComboListIndex(index);
    const int row = comboListIndex();
    lang_ = row >= 0 ? w_.List1->item(row)->text() : QString();
    ShowPairFlags();
}

void Verz::ShowPairFlags()
{
    if (const auto source = SourceFlagIndex(lang_))
        w_.ImageOrg->setPicture(w_.Image2[static_cast<std::size_t>(*source)]->picture());
    if (const auto target = TargetFlagIndex(lang_))
        w_.ImaVerz->setPicture(w_.Image2[static_cast<std::size_t>(*target)]->picture());
}

void Verz::Combo1_Click()
{
    Trace(u"Combo1_Click");
    StoreRow(ExecutableBaseName(), comboListIndex());
}

}  // namespace verz
