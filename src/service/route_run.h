#pragma once

#include "apy/apy_dispatcher.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

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

// Runs a text along a route's legs through APy, each leg's answer the next
// one's input, long texts cut into pieces APy translates whole.
class RouteRun {
public:
    // pipelineIdleMs: how long APy keeps a pipeline nobody uses.
    RouteRun(ApyDispatcher &apy, qint64 pipelineIdleMs) : apy_(apy), warmth_(pipelineIdleMs) {}

    // One deadline for the whole route, so two legs together stay within it.
    // done runs exactly once.
    // Codes and identifiers pass as they are (kept_codes). With an
    // alternative, a pivot's sentences whose second leg met words the first
    // one made are taken from it where it reads them better (pivot_check).
    void translate(const QStringList &legs, const QString &text, QDeadlineTimer deadline,
                   ApyDispatcher::Wanted wanted, ApyDispatcher::Done done,
                   const QStringList &alternative = {});
    // Starts the pipelines of legs from the first one on that are not
    // starting already, with a word nobody reads; at most once per langpair
    // and PipelineWarmth::kWarmAgainMs, however many ask.
    void warm(const QStringList &legs, QDeadlineTimer deadline, qsizetype first = 0);
    // Every leg's pipeline answered lately: a text sent now waits for no start.
    bool isWarm(const QStringList &legs) const { return warmth_.warm(legs); }
    // Pipelines started earlier belong to an APy that is gone.
    void forgetWarmUps() { warmth_.forget(); }
    // Texts cut at sentence ends to fit what APy translates whole.
    quint64 textsCut() const { return textsCut_; }

private:
    struct Run {
        QStringList legs;
        QDeadlineTimer deadline;
        ApyDispatcher::Wanted wanted;
        ApyDispatcher::Done done;
        bool marked = false;  // the last leg's unknown words marked
    };
    void run(const QStringList &legs, const QString &text, QDeadlineTimer deadline,
             ApyDispatcher::Wanted wanted, bool marked, ApyDispatcher::Done done);
    void runLeg(const std::shared_ptr<Run> &run, qsizetype index, const QString &input);

    ApyDispatcher &apy_;
    PipelineWarmth warmth_;
    quint64 textsCut_ = 0;
};

}  // namespace verz
