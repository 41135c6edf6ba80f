#include "window/pair_choice.h"

#include "pairs/flags.h"
#include "pairs/pair_catalogue.h"
#include "pairs/stored_choice.h"
#include "platform/app_info.h"
#include "widgets/control_widgets.h"
#include "window/form_widgets.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace verz {

void PairChoice::fillLists()
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

void PairChoice::choose(int row)
{
    setRow(row);
    const int chosen = this->row();
    lang_ = chosen >= 0 ? w_.List1->item(chosen)->text() : QString();
    showFlags();
}

void PairChoice::showFlags()
{
    if (const auto source = SourceFlagIndex(lang_))
        w_.ImageOrg->setPicture(w_.Image2[static_cast<std::size_t>(*source)]->picture());
    if (const auto target = TargetFlagIndex(lang_))
        w_.ImaVerz->setPicture(w_.Image2[static_cast<std::size_t>(*target)]->picture());
}

void PairChoice::storeRow() const
{
    StoreRow(ExecutableBaseName(), row());
}

int PairChoice::row() const
{
    return w_.Combo1->currentIndex();
}

void PairChoice::setRow(int row)
{
    w_.Combo1->setCurrentIndex(row);
}

}  // namespace verz
