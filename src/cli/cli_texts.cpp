#include "cli/cli_texts.h"

#include "pairs/pair_catalogue.h"
#include "platform/app_info.h"

namespace verz {

QString HelpText()
{
    return QStringLiteral(
        "Utilisation : Verzolan [--fold] --pair CODE [TEXTE...]\n"
        "              Verzolan --selection [--pair CODE] [--notify]\n"
        "              Verzolan --pair CODE --file FICHIER [--output SORTIE] [--force]\n"
        "              Verzolan --detect [TEXTE...]\n"
        "              Verzolan --ocr IMAGE [--pair CODE|auto] | --ocr-only IMAGE\n"
        "              Verzolan --ocr-screen [--pair CODE|auto] [--notify]\n"
        "              Verzolan --list-pairs | --version | --help\n"
        "Sans argument, Verzolan ouvre sa fenêtre.\n"
        "\n"
        "Traduit TEXTE (les mots séparés par une espace) et écrit la traduction sur\n"
        "la sortie standard. Sans TEXTE, lit l’entrée standard et traduit chaque\n"
        "ligne : une ligne traduite par ligne lue, les lignes vides restent vides.\n"
        "Aucune fenêtre ni aucun affichage n’est nécessaire.\n"
        "\n"
        "Options :\n"
        "  --pair CODE    la paire de langues, par exemple 'fr|en' (source|cible)\n"
        "  --pair auto    la langue de chaque texte est détectée : traduit vers le\n"
        "                 français, un texte français vers l’anglais ; 'auto|en' ou\n"
        "                 'auto|fr' : vers cette langue (une ligne trop courte pour\n"
        "                 être sûre garde la paire de la ligne d’avant)\n"
        "  --detect       affiche la langue du texte et la confiance (sur 100), par\n"
        "                 exemple « de<TAB>92.0 », sans rien traduire\n"
        "  --fold         ignorer les diacritiques : é è ê ë à â ä ô ç ù î ï\n"
        "                 deviennent e a o c u i avant la traduction\n"
        "  --selection    traduit le texte sélectionné dans un autre programme (la\n"
        "                 sélection primaire, sinon le presse-papiers) dans la fenêtre\n"
        "                 qui tourne déjà, ou dans une nouvelle ; sans --pair, avec\n"
        "                 la paire choisie dans la fenêtre\n"
        "  --notify       avec --selection ou --ocr-screen : sans fenêtre, la\n"
        "                 traduction s’affiche dans une notification du bureau\n"
        "  --ocr IMAGE    lit le texte d’une image PNG, JPEG ou TIFF (une page\n"
        "                 scannée, une capture d’écran) et le traduit, lignes et\n"
        "                 paragraphes gardés ; sans --pair, sa langue est détectée\n"
        "  --ocr-only IMAGE  affiche le texte lu dans l’image, sans le traduire\n"
        "  --ocr-screen   tracez un rectangle sur l’écran (Échap annule) : le texte\n"
        "                 lu dedans est traduit dans la fenêtre, comme la sélection\n"
        "                 (touche Ctrl+Alt+O, réglage « ocr_shortcut »)\n"
        "  --file FICHIER traduit tout un document (texte, HTML, RTF, odt, odp,\n"
        "                 docx, pptx, xlsx) en gardant sa mise en forme ; la\n"
        "                 traduction est écrite à côté, nommée par le service\n"
        "                 (lettre.odt, fr|en : lettre.en.odt), et son chemin affiché\n"
        "  --output SORTIE  écrit la traduction du document dans SORTIE\n"
        "  --force        remplace SORTIE s’il existe (jamais FICHIER lui-même)\n"
        "  --list-pairs   affiche les codes des paires et leur nom\n"
        "  --version      affiche la version\n"
        "  -h, --help     affiche cette aide\n"
        "  --             termine les options (pour un texte qui commence par -)\n"
        "\n"
        "Le service de traduction est celui de la fenêtre : l’entrée « service » de\n"
        "la section [data] de ~/.config/Verzolan/Verzolan.conf, sinon le service\n"
        "local 127.0.0.1:8787, démarré au besoin. Les réglages ne sont jamais\n"
        "modifiés et le fichier de la fenêtre, Verz.txt, n’est jamais touché.\n"
        "\n"
        "Code de sortie : 0 traduit, 1 service injoignable (« Non Connecté »),\n"
        "2 erreur d’utilisation (option ou paire inconnue, ou aucune paire pour la\n"
        "langue détectée), 3 aucune langue ni aucun texte reconnu.\n"
        "\n"
        "La détection de la langue et la lecture des images se font sur cette\n"
        "machine : rien n’est envoyé ailleurs qu’au service de traduction.\n");
}

QString PairListText()
{
    QString list;
    for (const LanguagePair &pair : PairCatalogue()) {
        if (pair.codeText().isEmpty())
            continue;  // a separator row of the window's list
        list += pair.codeText() + u'\t' + pair.labelText() + u'\n';
    }
    return list;
}

QString VersionLine()
{
    return QStringLiteral("Verzolan %1.%2\n").arg(kVersion.major).arg(kVersion.minor);
}

QString NotConnectedMessage(const QString &host)
{
    return QStringLiteral("Non Connecté (le service de traduction ") + host +
           QStringLiteral(" ne répond pas)");
}

}  // namespace verz
