#include "service/pipeline_warmth.h"

namespace verz {

bool PipelineWarmth::claimWarmUp(const QString &langpair)
{
    QElapsedTimer &sent = warmUpSent_[langpair];
    if (sent.isValid() && sent.elapsed() < kWarmAgainMs)
        return false;
    sent.start();
    return true;
}

bool PipelineWarmth::warm(const QStringList &legs) const
{
    for (const QString &leg : legs) {
        const auto answer = lastAnswer_.constFind(leg);
        if (answer == lastAnswer_.cend() || answer->elapsed() >= idleMs_)
            return false;
    }
    return true;
}

void PipelineWarmth::forget()
{
    warmUpSent_.clear();
    lastAnswer_.clear();
}

}  // namespace verz
