#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

namespace verz {

// What the service knows of APy's pipelines, by langpair ("eng|spa"): APy
// starts one on the langpair's first call, which takes seconds, and ends it
// after its idle time. Warm-ups are rationed here.
class PipelineWarmth {
public:
    // A langpair is warmed again after this long at the earliest.
    static constexpr qint64 kWarmAgainMs = 60 * 1000;

    // idleMs: how long APy keeps an unused pipeline.
    explicit PipelineWarmth(qint64 idleMs) : idleMs_(idleMs) {}

    // True, once per kWarmAgainMs for each langpair: a warm-up should go now.
    bool claimWarmUp(const QString &langpair);
    // The warm-up failed (APy gave up on a slow start, say): the next ask
    // may send another.
    void warmUpFailed(const QString &langpair) { warmUpSent_.remove(langpair); }
    // A call to the langpair came back translated: its pipeline runs.
    void answered(const QString &langpair) { lastAnswer_[langpair].start(); }
    // Every leg answered within the idle time.
    bool warm(const QStringList &legs) const;
    // A new APy: no pipeline runs, no warm-up has been sent to it.
    void forget();

private:
    qint64 idleMs_;
    QHash<QString, QElapsedTimer> warmUpSent_;
    QHash<QString, QElapsedTimer> lastAnswer_;
};

}  // namespace verz
