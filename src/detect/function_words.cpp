#include "detect/function_words.h"

#include <QHash>
#include <QString>

namespace verz {

namespace {

// In the order of DetectedLanguageCodes(): fr, en, de, es, pt, it.
constexpr std::array<const char *, kDetectedLanguageCount> kLists{
    "le la les un une des du de et est sont il elle nous vous ils je tu que qui ne pas "
    "au aux en dans pour sur avec par ce cette ces mon ma mes son sa ses leur mais ou "
    "été être avoir avons avez ont fait plus très tout aussi où à se lui y",
    "the a an and is are was were be been it he she we you they of to in on at for with "
    "by from this that these those my his her our their but or not no have has had do "
    "does did will would can could so if which who what when there here i me",
    "der die das den dem des ein eine einen einem einer und ist sind war waren ich du er "
    "sie es wir ihr nicht kein keine mit von zu im am um auf für aus bei nach vor über "
    "auch noch schon aber oder wenn weil dass mein dein sein unser man muss hat haben",
    "el la los las un una unos unas y es son está están fue de del al en con por para "
    "que se no lo le les su sus mi mis nuestro pero o muy más también como cuando "
    "porque yo tú él ella nosotros hay ha han este esta estos",
    "o a os as um uma uns umas e é são está estão foi de do da dos das ao à no na nos "
    "nas em com por para pelo pela que se não lhe seu sua meu minha nosso mas ou muito "
    "mais também como quando porque eu ele ela nós há tem este esta",
    "il lo la i gli le un uno una e è sono era di del della dei degli delle al alla a "
    "in nel nella con per su da che si non mi ti ci mio mia suo sua nostro ma o molto "
    "più anche come quando perché io tu lui lei noi ha hanno questo questa"};

const QHash<QString, std::array<bool, kDetectedLanguageCount>> &Table()
{
    static const auto table = [] {
        QHash<QString, std::array<bool, kDetectedLanguageCount>> built;
        for (int at = 0; at < kDetectedLanguageCount; ++at) {
            const QStringList words = QString::fromUtf8(kLists[at]).split(u' ', Qt::SkipEmptyParts);
            for (const QString &word : words)
                built[word][at] = true;
        }
        return built;
    }();
    return table;
}

}  // namespace

std::array<double, kDetectedLanguageCount> FunctionWordWeights(const QStringList &words)
{
    std::array<double, kDetectedLanguageCount> weights{};
    for (const QString &word : words) {
        const auto found = Table().constFind(word.toLower());
        if (found == Table().constEnd())
            continue;
        int listing = 0;
        for (const bool listed : *found)
            listing += listed;
        for (int at = 0; at < kDetectedLanguageCount; ++at) {
            if ((*found)[at])
                weights[at] += 1.0 / listing;
        }
    }
    return weights;
}

}  // namespace verz
