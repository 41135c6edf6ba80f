#pragma once

#include <QByteArray>

namespace verz {

class HttpServer;

// GET /detect?q=TEXT: the language of TEXT among the six, as the usual
// translation servers' detection answers: [{"language":"de","confidence":92.0}],
// or [] when the text holds no word. Answered at once, on this machine.
void InstallDetectEndpoint(HttpServer &http);

// The JSON answer for q, or an empty array for no language.
QByteArray DetectionJson(const QString &q);

}  // namespace verz
