// Prints the detection accuracy by language and by text length in words, on
// the test corpus: right answers, and how many of the answers called sure
// were wrong (a sure answer chooses the pair without asking).

#include "detect/language_detector.h"
#include "detect_accuracy.h"

#include <QElapsedTimer>

#include <cstdio>

int main()
{
    using namespace verz;
    using namespace verz::test;
    constexpr int kLengths[] = {1, 2, 3, 5, 8, 12, 20};
    QElapsedTimer firstCall;
    firstCall.start();
    DetectLanguage(QStringLiteral("maison"));
    std::printf("first short text (opens the six word lists): %lld ms\n",
                static_cast<long long>(firstCall.elapsed()));
    std::printf("%-6s", "words");
    for (const int length : kLengths)
        std::printf("%8d", length);
    std::printf("\n");
    int calls = 0;
    QElapsedTimer timer;
    timer.start();
    for (const CorpusLanguage &language : DetectCorpus()) {
        std::printf("%-6s", language.code);
        for (const int length : kLengths) {
            const Tally tally = MeasureDetection(language.code, length, [&](const QString &t) {
                ++calls;
                return DetectLanguage(t);
            });
            std::printf("  %5.1f%s", tally.percent(), tally.sureWrong ? "*" : " ");
        }
        std::printf("\n");
    }
    std::printf("%d detections, %.3f ms each (* : some wrong answer was called sure)\n", calls,
                static_cast<double>(timer.elapsed()) / calls);
    return 0;
}
