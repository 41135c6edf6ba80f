#pragma once

#include <QByteArray>

namespace verz::test {

// /listPairs as Debian's APy answers it with apertium-eng-spa, -fr-es, -es-pt
// and -spa-ita installed.
inline const QByteArray kRecordedListPairs = QByteArrayLiteral(
    R"({"responseData": [{"sourceLanguage": "ita", "targetLanguage": "spa"}, {"sourceLanguage": "spa", "targetLanguage": "eng"}, )"
    R"({"sourceLanguage": "spa", "targetLanguage": "por_BR"}, {"sourceLanguage": "por", "targetLanguage": "spa"}, )"
    R"({"sourceLanguage": "spa", "targetLanguage": "fra"}, {"sourceLanguage": "spa", "targetLanguage": "eng_US"}, )"
    R"({"sourceLanguage": "spa", "targetLanguage": "ita"}, {"sourceLanguage": "eng", "targetLanguage": "spa"}, )"
    R"({"sourceLanguage": "spa", "targetLanguage": "por"}, {"sourceLanguage": "fra", "targetLanguage": "spa"}], )"
    R"("responseDetails": null, "responseStatus": 200})");

// A /translate answer and an unknown-pair error, as APy sends them.
inline const QByteArray kRecordedTranslation = QByteArrayLiteral(
    R"({"responseData": {"translatedText": "Hola Mundo"}, "responseDetails": null, "responseStatus": 200})");
inline const QByteArray kRecordedPairError = QByteArrayLiteral(
    R"({"status": "error", "code": 400, "message": "Bad Request", "explanation": "That pair is not installed"})");

}  // namespace verz::test
