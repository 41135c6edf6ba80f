#include "service/service_options.h"

#include "common/languages.h"
#include "libre/libre_settings.h"

#include <QCommandLineParser>

#include <vector>

namespace verz {

namespace {

// A whole number option: its bounds, and where it goes.
struct NumberOption {
    const char *name;
    const char *valueName;
    const char *help;
    int low;
    int high;
    void (*set)(ServiceSettings &settings, int value);
};

constexpr int kYear = 86400 * 365;

const std::vector<NumberOption> &NumberOptions()
{
    static const std::vector<NumberOption> options{
        {"port", "N", "Port to listen on (8787).", 1, 65535,
         [](ServiceSettings &s, int v) { s.port = quint16(v); }},
        {"apy-processes", "N", "APy server processes (1).", 1, 16,
         [](ServiceSettings &s, int v) { s.apy.supervisor.processes = v; }},
        {"apy-pipes", "N", "APy pipelines per pair (2).", 1, 16,
         [](ServiceSettings &s, int v) { s.apy.supervisor.pipesPerPair = v; }},
        {"timeout", "MS", "Milliseconds to wait for a translation before answering 503 (12000).",
         100, 14000, [](ServiceSettings &s, int v) { s.endpoints.translator.apyTimeoutMs = v; }},
        {"cache-entries", "N", "Recent translations kept to answer repeats (4096; 0: none).", 0,
         1000000, [](ServiceSettings &s, int v) { s.endpoints.translator.cacheEntries = v; }},
        {"idle-exit", "SECONDS", "End after SECONDS without a request (0: never, the default).", 0,
         kYear, [](ServiceSettings &s, int v) { s.idleExitSeconds = v; }},
        // The name stays for the command lines written with it; it means APy.
        {"engine-idle", "SECONDS",
         "APy's idle time: stop APy's unused pipelines, then our own APy, after SECONDS without "
         "a request; the next request starts it again (120).",
         1, kYear, [](ServiceSettings &s, int v) { s.apy.idleSeconds = v; }},
    };
    return options;
}

QCommandLineOption OptionOf(const NumberOption &number)
{
    return QCommandLineOption(QString::fromLatin1(number.name), QString::fromLatin1(number.help),
                              QString::fromLatin1(number.valueName));
}

bool ReadNumbers(const QCommandLineParser &parser, ServiceSettings *settings, QString *error)
{
    for (const NumberOption &number : NumberOptions()) {
        const QString name = QString::fromLatin1(number.name);
        if (!parser.isSet(name))
            continue;
        bool ok = false;
        const int value = parser.value(name).toInt(&ok);
        if (!ok || value < number.low || value > number.high) {
            *error = QStringLiteral("--%1: expected a number from %2 to %3")
                         .arg(name)
                         .arg(number.low)
                         .arg(number.high);
            return false;
        }
        number.set(*settings, value);
    }
    return true;
}

bool ReadLibreArguments(const QString &url, const QString &keyFile, const QString &pairs,
                        ServiceSettings *settings, QString *error)
{
    LibreEngine::Options libre;
    const std::optional<QUrl> base = ReadLibreUrl(url, error);
    if (!base)
        return false;
    libre.base = *base;
    if (!keyFile.isEmpty()) {
        QString warning;
        const std::optional<QByteArray> key = ReadLibreKeyFile(keyFile, error, &warning);
        if (!key)
            return false;
        libre.apiKey = *key;
        if (!warning.isEmpty())
            settings->warnings.append(warning);
    }
    QSet<QString> offered;
    for (const OfferedPair &pair : OfferedPairs())
        offered.insert(pair.code());
    // No Debian package translates German: those pairs gain most.
    const QString chosen = pairs.isEmpty() ? QStringLiteral("en|de,fr|de,de|fr,de|en") : pairs;
    const std::optional<QSet<QString>> taken = ReadLibrePairs(chosen, offered, error);
    if (!taken)
        return false;
    libre.pairs = *taken;
    settings->endpoints.translator.libre = libre;
    return true;
}

bool ReadApyUrls(const QStringList &values, ServiceSettings *settings, QString *error)
{
    for (const QString &value : values) {
        QUrl url(value, QUrl::StrictMode);
        if (!url.isValid() || url.scheme() != u"http" || url.host().isEmpty()) {
            *error = QStringLiteral("--apy: expected an http:// URL: %1").arg(value);
            return false;
        }
        if (url.path().endsWith(QLatin1Char('/')))
            url.setPath(url.path().chopped(1));
        settings->apy.external.append(url);
    }
    return true;
}

// The settings that follow from others.
void Derive(ServiceSettings *settings)
{
    // APy gives up on a pipeline (and restarts it) only after we have given up
    // on the text: a cold start slower than APy's limit would otherwise be
    // killed as stuck, started again, and never finish on a loaded machine.
    settings->apy.supervisor.apyTimeoutSeconds =
        settings->endpoints.translator.apyTimeoutMs / 1000 + 5;
    settings->apy.supervisor.pipelineIdleSeconds = settings->apy.idleSeconds;
    settings->endpoints.translator.pipelineIdleMs = qint64(settings->apy.idleSeconds) * 1000;
}

}  // namespace

std::optional<ServiceSettings> ParseServiceArguments(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local translation page service for Verzolan"));
    parser.addHelpOption();
    for (const NumberOption &number : NumberOptions())
        parser.addOption(OptionOf(number));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Address to listen on (127.0.0.1; others can then reach the service, "
                       "and requests may name any host)."),
        QStringLiteral("ADDRESS"));
    const QCommandLineOption apy(
        QStringLiteral("apy"),
        QStringLiteral("Use the APy server at URL instead of starting one; give it again for "
                       "several (they must have the same pairs)."),
        QStringLiteral("URL"));
    const QCommandLineOption metricsAnywhere(
        QStringLiteral("metrics-from-anywhere"),
        QStringLiteral("Serve /metrics to any client, not only to this machine's."));
    const QCommandLineOption libre(
        QStringLiteral("libretranslate"),
        QStringLiteral("Ask the LibreTranslate server at URL (http or https) first for the "
                       "chosen pairs: their texts are sent to it."),
        QStringLiteral("URL"));
    const QCommandLineOption libreKey(
        QStringLiteral("libretranslate-key-file"),
        QStringLiteral("Read the LibreTranslate API key from FILE (keep it chmod 600)."),
        QStringLiteral("FILE"));
    const QCommandLineOption librePairs(
        QStringLiteral("libretranslate-pairs"),
        QStringLiteral("Pairs for LibreTranslate, as de|fr,fr|de, or all (the four with German)."),
        QStringLiteral("LIST"));
    parser.addOptions({listen, apy, metricsAnywhere, libre, libreKey, librePairs});
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *error = parser.helpText();
        return std::nullopt;
    }
    ServiceSettings settings;
    if (!ReadNumbers(parser, &settings, error) ||
        !ReadApyUrls(parser.values(apy), &settings, error))
        return std::nullopt;
    settings.metricsFromAnywhere = parser.isSet(metricsAnywhere);
    if (parser.isSet(listen) && !settings.listen.setAddress(parser.value(listen))) {
        *error = QStringLiteral("--listen: not an IP address: %1").arg(parser.value(listen));
        return std::nullopt;
    }
    if (!parser.isSet(libre) && (parser.isSet(libreKey) || parser.isSet(librePairs))) {
        *error = QStringLiteral("--libretranslate-key-file and --libretranslate-pairs need "
                                "--libretranslate URL");
        return std::nullopt;
    }
    if (parser.isSet(libre) && !ReadLibreArguments(parser.value(libre), parser.value(libreKey),
                                                   parser.value(librePairs), &settings, error))
        return std::nullopt;
    Derive(&settings);
    return settings;
}

}  // namespace verz
