#include "service/service_metrics.h"

namespace verz {

namespace {

void Single(metrics::Exposition &out, const char *name, const char *help, const char *type,
            double value)
{
    out.family(name, help, type);
    out.sample(name, {}, value);
}

}  // namespace

ServiceMetrics::ServiceMetrics()
    : requests_("verzolan_http_requests_total", "HTTP requests answered, by route and status.",
                {"route", "status"}),
      // From 1 ms (the cache, health) to the 12 s translation deadline.
      latency_("verzolan_http_request_duration_seconds",
               "Time from a request's arrival to its answer, by route.", {"route"},
               {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 15}),
      translations_("verzolan_translations_total", "Translations asked for, by language pair.",
                    {"pair"}),
      apyCalls_("verzolan_apy_calls_total", "Calls to APy, by result.", {"result"}),
      apyBatch_("verzolan_apy_call_texts", "Texts carried by one call to APy.", {},
                {1, 2, 4, 8, 16, 32, 64})
{
}

void ServiceMetrics::answered(const QString &route, int status, qint64 nanoseconds)
{
    requests_.add({route, QString::number(status)});
    latency_.observe({route}, double(nanoseconds) / 1e9);
}

void ServiceMetrics::translationAsked(const QString &pair)
{
    translations_.add({pair});
}

void ServiceMetrics::apyCallEnded(int texts, bool ok)
{
    apyCalls_.add({ok ? QStringLiteral("ok") : QStringLiteral("failed")});
    apyBatch_.observe({}, texts);
}

QByteArray ServiceMetrics::exposition(const Levels &levels) const
{
    metrics::Exposition out;
    requests_.writeTo(out);
    latency_.writeTo(out);
    translations_.writeTo(out);
    apyCalls_.writeTo(out);
    apyBatch_.writeTo(out);
    Single(out, "verzolan_texts_cut_total",
           "Texts cut at sentence ends to fit what APy translates whole.", "counter",
           double(levels.textsCut));
    Single(out, "verzolan_cold_starts_total",
           "Translations that waited for APy or a pipeline of their route to start.", "counter",
           double(levels.coldStarts));
    Single(out, "verzolan_cache_hits_total", "Translations answered from the cache.", "counter",
           double(levels.cacheHits));
    Single(out, "verzolan_cache_misses_total", "Translations not found in the cache.", "counter",
           double(levels.cacheMisses));
    Single(out, "verzolan_apy_engines_up", "APy servers answering, not resting after a failure.",
           "gauge", levels.apyServersUp);
    Single(out, "verzolan_apy_restarts_total",
           "Times our own APy was started again after it was lost.", "counter",
           double(apyRestarts_));
    Single(out, "verzolan_open_connections", "Client connections open.", "gauge",
           double(levels.openConnections));
    Single(out, "verzolan_requests_in_progress", "Requests taken and not answered yet.", "gauge",
           levels.requestsInProgress);
    Single(out, "verzolan_queued_texts",
           "Texts waiting for a call to APy, texts and documents for APy to start.", "gauge",
           double(levels.queuedTexts));
    return out.text();
}

}  // namespace verz
