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
// APy cuts what it gets into at most ten pieces of about a thousand
// characters when it is busy and silently drops the rest, so no call may
// carry more than kMaxBlockQuery characters of markup and text.
inline constexpr qsizetype kMaxBlockQuery = 1000;

// Characters a text takes in a call: escaped, with its block tags.
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
