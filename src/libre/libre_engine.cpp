#include "libre/libre_engine.h"

#include "libre/libre_log.h"

#include <QStringList>

#include <algorithm>

namespace verz {

namespace {

QString PairKey(const QString &source, const QString &target)
{
    return source + QLatin1Char('|') + target;
}

// The server's own words may help whoever reads the log; they are cut
// short, kept to one line, and never carry the key even if echoed.
QString LoggableServerError(QString text, const QByteArray &apiKey)
{
    if (!apiKey.isEmpty())
        text.replace(QString::fromUtf8(apiKey), QStringLiteral("…"));
    text = text.left(160);
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text.simplified();
}

}  // namespace

LibreEngine::LibreEngine(Options options, QObject *parent)
    : QObject(parent), options_(std::move(options)),
      client_(new LibreClient(options_.base, options_.apiKey, this)), restMs_(options_.firstRestMs),
      log_([](QtMsgType type, const QString &line) {
          if (type == QtWarningMsg)
              qCWarning(lcLibre, "%s", qUtf8Printable(line));
          else
              qCInfo(lcLibre, "%s", qUtf8Printable(line));
      })
{
    nextLook_.setSingleShot(true);
    connect(&nextLook_, &QTimer::timeout, this, &LibreEngine::readLanguages);
}

LibreEngine::~LibreEngine() = default;

void LibreEngine::start()
{
    readLanguages();
}

bool LibreEngine::takes(const QString &source, const QString &target) const
{
    const QString pair = PairKey(source, target);
    return languagesKnown_ && !resting_ && served_.contains(pair) &&
           (options_.pairs.isEmpty() || options_.pairs.contains(pair));
}

void LibreEngine::Finish(const JobPtr &job, const Result &result)
{
    if (job->finished)
        return;
    job->finished = true;
    job->done(result);
}

void LibreEngine::translate(const QString &source, const QString &target, const QString &text,
                            QDeadlineTimer timeLimit, Wanted wanted, Done done)
{
    auto job = std::make_shared<Job>();
    job->text = text;
    job->timeLimit = timeLimit;
    job->wanted = std::move(wanted);
    job->done = std::move(done);
    // Whatever the server does, the text is handed back in time.
    QTimer::singleShot(std::max<qint64>(timeLimit.remainingTime(), 0), this, [job] {
        Finish(job, {false, {}, LibreFault::Timeout});
    });
    const QString pair = PairKey(source, target);
    lanes_[pair].waiting.push_back(job);
    // Later, so that done never runs inside this call.
    QTimer::singleShot(0, this, [this, pair] { pump(pair); });
}

void LibreEngine::pump(const QString &pair)
{
    Lane &lane = lanes_[pair];
    while (lane.calls < options_.callsPerPair && !lane.waiting.empty()) {
        std::vector<JobPtr> batch;
        qsizetype chars = 0;
        while (!lane.waiting.empty() && int(batch.size()) < options_.maxBatchTexts) {
            const JobPtr &next = lane.waiting.front();
            if (!next->finished && resting_) {
                Finish(next, {false, {}, LibreFault::Unreachable});
            } else if (!next->finished && next->wanted && !next->wanted()) {
                Finish(next, {false, {}, LibreFault::None});
            } else if (!next->finished) {
                if (!batch.empty() && chars + next->text.size() > options_.maxBatchChars)
                    break;
                chars += next->text.size();
                batch.push_back(next);
            }
            lane.waiting.pop_front();
        }
        if (!batch.empty())
            send(pair, std::move(batch));
    }
}

void LibreEngine::send(const QString &pair, std::vector<JobPtr> batch)
{
    ++lanes_[pair].calls;
    qint64 timeout = batch.front()->timeLimit.remainingTime();
    QStringList texts;
    for (const JobPtr &job : batch) {
        timeout = std::min(timeout, job->timeLimit.remainingTime());
        texts.append(job->text);
    }
    const qsizetype bar = pair.indexOf(QLatin1Char('|'));
    client_->translate(pair.left(bar), pair.mid(bar + 1), texts, QStringLiteral("text"),
                       int(std::max<qint64>(timeout, 1)),
                       [this, pair, batch = std::move(batch)](const LibreAnswer &answer) {
                           answered(pair, batch, answer);
                       });
}

void LibreEngine::answered(const QString &pair, const std::vector<JobPtr> &batch,
                           const LibreAnswer &answer)
{
    --lanes_[pair].calls;
    if (answer.fault == LibreFault::None) {
        translated_ += int(batch.size());
        restMs_ = options_.firstRestMs;
        if (anyLogged_) {
            say(QtInfoMsg, QStringLiteral("LibreTranslate at %1 translates again")
                               .arg(client_->baseUrl().toDisplayString()));
            logged_.fill(false);
            anyLogged_ = false;
        }
        for (size_t i = 0; i < batch.size(); ++i)
            Finish(batch[i], {true, answer.texts.at(qsizetype(i)), LibreFault::None});
    } else {
        fault(answer.fault, answer.httpStatus, answer.serverError);
        for (const JobPtr &job : batch)
            Finish(job, {false, {}, answer.fault});
    }
    pump(pair);
}

void LibreEngine::readLanguages()
{
    client_->languages(
        options_.languagesTimeoutMs, [this](LibreFault problem, const QSet<QString> &pairs) {
            if (problem != LibreFault::None) {
                const bool wasResting = resting_;
                fault(problem, 0, {});
                if (wasResting)  // still unwell: look again later
                    rest();
                return;
            }
            QSet<QString> taken = pairs;
            if (!options_.pairs.isEmpty())
                taken.intersect(options_.pairs);
            if (!languagesKnown_ || taken != served_) {
                QStringList names(taken.begin(), taken.end());
                names.sort();
                say(QtInfoMsg, QStringLiteral("LibreTranslate at %1 takes %2 pair(s): %3")
                                   .arg(client_->baseUrl().toDisplayString())
                                   .arg(names.size())
                                   .arg(names.join(QStringLiteral(", "))));
            }
            served_ = taken;
            languagesKnown_ = true;
            resting_ = false;
            nextLook_.start(options_.refreshMs);
        });
}

void LibreEngine::fault(LibreFault problem, int httpStatus, const QString &serverError)
{
    ++faults_.at(size_t(problem));
    if (!logged_.at(size_t(problem))) {
        logged_.at(size_t(problem)) = true;
        anyLogged_ = true;
        QString detail;
        if (httpStatus > 0) {
            detail = QStringLiteral(" (HTTP %1").arg(httpStatus);
            const QString words = LoggableServerError(serverError, options_.apiKey);
            if (!words.isEmpty())
                detail += QStringLiteral(": ") + words;
            detail += QLatin1Char(')');
        }
        say(QtWarningMsg,
            QStringLiteral("LibreTranslate at %1 %2%3; %4")
                .arg(client_->baseUrl().toDisplayString(),
                     QString::fromUtf8(LibreFaultText(problem)), detail,
                     LibreFaultRestsServer(problem)
                         ? QStringLiteral("its pairs go to Apertium or the dictionaries until it "
                                          "answers again")
                         : QStringLiteral("that text goes to Apertium or the dictionaries")));
    }
    if (LibreFaultRestsServer(problem) && !resting_)
        rest();
}

void LibreEngine::rest()
{
    resting_ = true;
    nextLook_.start(restMs_);
    restMs_ = std::min(restMs_ * 2, options_.longestRestMs);
}

void LibreEngine::say(QtMsgType type, const QString &line) const
{
    if (log_)
        log_(type, line);
}

}  // namespace verz
