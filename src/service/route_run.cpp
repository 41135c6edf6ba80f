#include "service/route_run.h"

#include "apy/apy_client.h"
#include "docs/kept_codes.h"
#include "service/pivot_check.h"
#include "service/service_log.h"

#include <QElapsedTimer>

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

void RouteRun::translate(const QStringList &legs, const QString &text, QDeadlineTimer deadline,
                         ApyDispatcher::Wanted wanted, ApyDispatcher::Done done,
                         const QStringList &alternative)
{
    const KeptCodes kept = KeepCodes(text);
    ApyDispatcher::Done restore = [codes = kept.codes,
                                   done = std::move(done)](ApyClient::Result result) {
        if (result.ok)
            result.text = RestoreCodes(result.text, codes);
        done(result);
    };
    if (legs.size() < 2 || alternative.isEmpty() || !CanMark(kept.text)) {
        run(legs, kept.text, deadline, std::move(wanted), false, std::move(restore));
        return;
    }
    run(legs, kept.text, deadline, wanted, true,
        [this, alternative, deadline, wanted, source = kept.text,
         restore = std::move(restore)](const ApyClient::Result &first) {
            if (!first.ok || LegMadeUnknowns(first.text, source) == 0) {
                restore({first.ok, WithoutMarks(first.text), first.error, first.apyFault});
                return;
            }
            run(alternative, source, deadline, wanted, true,
                [source, first, restore](const ApyClient::Result &other) {
                    restore({true,
                             other.ok ? PreferKnown(source, first.text, other.text)
                                      : WithoutMarks(first.text),
                             {},
                             false});
                });
        });
}

void RouteRun::run(const QStringList &legs, const QString &text, QDeadlineTimer deadline,
                   ApyDispatcher::Wanted wanted, bool marked, ApyDispatcher::Done done)
{
    auto run = std::make_shared<Run>();
    run->legs = legs;
    run->deadline = deadline;
    run->wanted = std::move(wanted);
    run->done = std::move(done);
    run->marked = marked;
    // APy starts a langpair's pipeline on its first call, which takes seconds
    // on a busy machine; on a two-leg route the second start would wait for
    // the first leg's answer, and both together can outlast the deadline on
    // the first click after install. The later legs start now, while the
    // first one runs.
    warm(run->legs, run->deadline, 1);
    runLeg(run, 0, text);
}

void RouteRun::warm(const QStringList &legs, QDeadlineTimer deadline, qsizetype first)
{
    for (qsizetype i = first; i < legs.size(); ++i) {
        const QString &leg = legs.at(i);
        if (!warmth_.claimWarmUp(leg))
            continue;
        QElapsedTimer clock;
        clock.start();
        apy_.translate(
            leg, QStringLiteral("."), deadline, [] { return true; },
            [this, leg, clock](const ApyClient::Result &result) {
                if (!result.ok) {
                    warmth_.warmUpFailed(leg);
                    return;
                }
                warmth_.answered(leg);
                // One line per langpair and minute at most: the operator sees
                // how long a start takes.
                qCInfo(lcService, "%s warmed in %lld ms", qUtf8Printable(leg),
                       static_cast<long long>(clock.elapsed()));
            });
    }
}

void RouteRun::runLeg(const std::shared_ptr<Run> &run, qsizetype index, const QString &input)
{
    if (index == run->legs.size()) {
        // Block translation keeps the spaces around a text; a page shows none.
        run->done({true, input.trimmed(), {}, false});
        return;
    }
    // Long texts go in pieces cut at sentence ends, so none exceeds what APy
    // translates whole; the pieces' translations joined are the leg's.
    struct Gather {
        QStringList parts;
        qsizetype missing = 0;
        bool failed = false;
    };
    const QStringList pieces = CutIntoBlocks(input);
    if (pieces.size() > 1)
        ++textsCut_;
    auto gather = std::make_shared<Gather>();
    gather->parts.resize(pieces.size());
    gather->missing = pieces.size();
    if (pieces.isEmpty()) {
        runLeg(run, index + 1, input);
        return;
    }
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const bool marked = run->marked && index == run->legs.size() - 1;
        apy_.translate(run->legs.at(index) + (marked ? kMarkUnknownSuffix : QLatin1StringView()),
                       pieces.at(i), run->deadline, run->wanted,
                       [this, run, index, gather, i](const ApyClient::Result &result) {
                           if (gather->failed)
                               return;
                           if (!result.ok) {
                               gather->failed = true;
                               run->done(result);
                               return;
                           }
                           gather->parts[i] = result.text;
                           warmth_.answered(run->legs.at(index));
                           if (--gather->missing == 0)
                               runLeg(run, index + 1, gather->parts.join(QString()));
                       });
    }
}

}  // namespace verz
