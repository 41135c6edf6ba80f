#pragma once

#include "apy/apy_dispatcher.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QStringList>

#include <memory>

namespace verz {

// Runs a text along a route's legs through APy, each leg's answer the next
// one's input, long texts cut into pieces APy translates whole.
class RouteRun {
public:
    explicit RouteRun(ApyDispatcher &apy) : apy_(apy) {}

    // One deadline for the whole route, so two legs together stay within it.
    // done runs exactly once.
    void translate(const QStringList &legs, const QString &text, QDeadlineTimer deadline,
                   ApyDispatcher::Wanted wanted, ApyDispatcher::Done done);
    // Pipelines started earlier belong to an APy that is gone.
    void forgetWarmUps() { legsWarmed_.clear(); }
    // Texts cut at sentence ends to fit what APy translates whole.
    quint64 textsCut() const { return textsCut_; }

private:
    struct Run {
        QStringList legs;
        QDeadlineTimer deadline;
        ApyDispatcher::Wanted wanted;
        ApyDispatcher::Done done;
    };
    void runLeg(const std::shared_ptr<Run> &run, qsizetype index, const QString &input);
    void warmLaterLegs(const Run &run);

    ApyDispatcher &apy_;
    QHash<QString, QElapsedTimer> legsWarmed_;  // by langpair: when a warm-up was last sent
    quint64 textsCut_ = 0;
};

}  // namespace verz
