#pragma once

#include <QString>

namespace verz {

struct FormWidgets;

// The choice of a language pair: the hidden lists that hold the pairs (Combo1
// the labels, List1 the codes), the row chosen, its code, the two flags that
// show it and the row kept for the next start.
class PairChoice {
public:
    explicit PairChoice(const FormWidgets &widgets) : w_(widgets) {}

    // One row per pair of the catalogue in both lists, none of them chosen.
    void fillLists();
    // Chooses a row: Combo1 follows (and raises its click), then the code and
    // the flags of the pair.
    void choose(int row);
    // Keeps Combo1's row for the next start.
    void storeRow() const;

    int row() const;
    void setRow(int row);
    // The pair code of the row chosen last; empty before the first choice.
    const QString &lang() const { return lang_; }

private:
    void showFlags();

    const FormWidgets &w_;
    QString lang_;
};

}  // namespace verz
