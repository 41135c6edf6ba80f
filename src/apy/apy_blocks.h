#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace verz {

// Texts travel to APy as HTML blocks, "<p>text</p>", each escaped. APy's HTML
// deformatter keeps a block boundary as a hard boundary, so several texts can
// share one call without a word moving from one to another, and the same
// wrapping for a lone text gives the very answer a batch gives it.
//
// APy cuts what it gets into pieces and translates at most ten of them,
// silently dropping the rest; it leaves whole what fits its pipe buffer
// (4096 bytes) while a pipeline has at most two users, which is all our own
// APy ever sees. So no call carries more than kMaxBlockQuery bytes of UTF-8,
// markup included: never cut by APy, and never a lost tail.
inline constexpr qsizetype kMaxBlockQuery = 4000;

// Bytes a text takes in a call: escaped, with its block tags, as UTF-8.
qsizetype BlockCost(const QString &text);

// "<p>a</p><p>b</p>" for the texts, in order.
QString BlocksQuery(const QStringList &texts);

// The texts of APy's answer to BlocksQuery, unescaped; nullopt when the
// answer is not exactly `expected` blocks, as when APy ran two together.
std::optional<QStringList> SplitBlocks(const QString &answer, qsizetype expected);

// Cuts a text into consecutive pieces whose BlockCost stays within maxCost,
// at sentence ends where it can (then line ends, then spaces): joined, the
// pieces are the text again, and each translates on its own.
QStringList CutIntoBlocks(const QString &text, qsizetype maxCost = kMaxBlockQuery);

}  // namespace verz
