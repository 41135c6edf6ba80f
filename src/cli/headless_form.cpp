#include "cli/headless_form.h"

#include <utility>

namespace verz {

HeadlessForm::HeadlessForm(int pairRow, QString pairCode, bool fold)
    : pairRow_(pairRow), pairCode_(std::move(pairCode)), fold_(fold)
{
}

void HeadlessForm::setInput(QString text)
{
    input_ = std::move(text);
    output_.clear();
    translation_.reset();
}

}  // namespace verz
