// Remplace on a 1 MiB text with 100,000 occurrences, and the reading of a
// 2 MiB page down to its translation.
#include "engine/page_reader.h"
#include "engine/remplace.h"
#include "engine/translation_request.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// 1 MiB (1,048,576 characters) holding exactly 100,000 "é".
QString textWithOccurrences()
{
    constexpr qsizetype kSize = 1024 * 1024;
    constexpr int kOccurrences = 100000;
    QString text(kSize, QLatin1Char('x'));
    const qsizetype step = kSize / kOccurrences;
    for (int i = 0; i < kOccurrences; ++i)
        text[i * step] = QChar(0x00E9);
    return text;
}

void BM_RemplaceSameLength(benchmark::State &state)
{
    const QString text = textWithOccurrences();
    const QString find = QStringLiteral("é");
    const QString replaceStr = QStringLiteral("e");
    for (auto _ : state)
        benchmark::DoNotOptimize(verz::Remplace(text, find, replaceStr));
}
BENCHMARK(BM_RemplaceSameLength)->Unit(benchmark::kMillisecond);

void BM_RemplaceLonger(benchmark::State &state)
{
    const QString text = textWithOccurrences();
    const QString find = QStringLiteral("é");
    const QString replaceStr = QStringLiteral("&eacute;");
    for (auto _ : state)
        benchmark::DoNotOptimize(verz::Remplace(text, find, replaceStr));
}
BENCHMARK(BM_RemplaceLonger)->Unit(benchmark::kMillisecond);

// 2 MiB of markup over many lines, accents and entities, the result box near
// the end holding a long translation with entities and line breaks.
QByteArray twoMiBPage()
{
    QByteArray page;
    page.reserve(2 * 1024 * 1024 + 4096);
    const QByteArray line = QByteArrayLiteral(
        "  <p class=\"c\">Voil\xC3\xA0 un caf\xC3\xA9, s'il vous pla\xC3\xAEt &amp; merci</p>\r\n");
    while (page.size() < 2 * 1024 * 1024 - 64 * 1024)
        page.append(line);
    page.append("<div id=result_box dir=\"ltr\">");
    while (page.size() < 2 * 1024 * 1024 - 32)
        page.append("Il fait beau, n&#39;est-ce pas\xE2\x80\xA6\n   ");
    page.append("</div></body></html>\n");
    return page;
}

void BM_ExtractTranslation2MiB(benchmark::State &state)
{
    const QByteArray page = twoMiBPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(verz::ExtractTranslation(page));
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(BM_ExtractTranslation2MiB)->Unit(benchmark::kMillisecond);

// The whole of ReadTranslation: the scratch file read, cut, repaired and
// appended to an empty output box.
struct BenchForm : verz::TranslationForm {
    QString output;
    QString inputText() const override { return {}; }
    int foldValue() const override { return 0; }
    int pairRow() const override { return 0; }
    QString pairCode() const override { return {}; }
    QString outputText() const override { return output; }
    void setOutputText(const QString &text) override { output = text; }
    void setTranslateEnabled(bool) override {}
};

void BM_ReadTranslation2MiB(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString scratch = dir.filePath(QStringLiteral("Verz.txt"));
    QFile file(scratch);
    if (!file.open(QIODevice::WriteOnly) || file.write(twoMiBPage()) < 0) {
        state.SkipWithError("cannot write the scratch file");
        return;
    }
    file.close();
    verz::TranslationRequest request(QStringLiteral("127.0.0.1:1"), scratch);
    BenchForm form;
    for (auto _ : state) {
        form.output.clear();
        request.ReadTranslation(form);
        benchmark::DoNotOptimize(form.output);
    }
}
BENCHMARK(BM_ReadTranslation2MiB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
