#pragma once

#include <QByteArray>
#include <QString>

namespace verz {

// The UTF-8 page the program reads: the translation, escaped, as the whole
// content of the result box, whose opening tag ends exactly six characters
// after the marker the program looks for.
QByteArray ResultPage(const QString &translation);

// The box text for a pair that no installed package serves, in the words of
// the pair labels: "Allemand vers Anglais : paire non disponible hors ligne".
QString UnavailablePairText(const QString &sourceCode, const QString &targetCode);

}  // namespace verz
