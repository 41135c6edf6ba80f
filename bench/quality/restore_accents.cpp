// Reads lines on standard input and writes them with their accents restored
// as the service restores them: restore_accents fr < folded.txt
#include "accents/accent_restorer.h"

#include <QString>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: restore_accents fr|es|pt|it < text\n");
        return 2;
    }
    const auto restorer = verz::AccentRestorer::ForLanguage(QString::fromLatin1(argv[1]));
    std::string line;
    while (std::getline(std::cin, line)) {
        const QString text = QString::fromStdString(line);
        std::cout << (restorer ? restorer->restore(text) : text).toStdString() << '\n';
    }
    return 0;
}
