#pragma once

#include "metrics/families.h"

#include <QByteArray>
#include <QString>

namespace verz {

// The service's figures for a Prometheus scrape. Events are counted as they
// happen; the levels (connections, queues, APy servers) are read at scrape time.
class ServiceMetrics {
public:
    struct Levels {
        qsizetype openConnections = 0;
        int requestsInProgress = 0;
        qsizetype queuedTexts =
            0;  // waiting for a call to APy; texts and documents for APy to start
        int apyServersUp = 0;
        quint64 cacheHits = 0;
        quint64 cacheMisses = 0;
        quint64 textsCut = 0;
        quint64 coldStarts = 0;
    };

    ServiceMetrics();

    void answered(const QString &route, int status, qint64 nanoseconds);
    void translationAsked(const QString &pair);
    void apyCallEnded(int texts, bool ok);
    void apyRestarted() { ++apyRestarts_; }

    QByteArray exposition(const Levels &levels) const;

private:
    metrics::CounterFamily requests_;
    metrics::HistogramFamily latency_;
    metrics::CounterFamily translations_;
    metrics::CounterFamily apyCalls_;
    metrics::HistogramFamily apyBatch_;
    quint64 apyRestarts_ = 0;
};

}  // namespace verz
