#pragma once

// Sentences written for measuring detection, about twenty words each, on
// everyday matters a user would select. Windows of 1 to 20 consecutive words
// are cut from them, so the short cases include words from the middle of a
// sentence, not only its first.

#include <array>
#include <utility>

namespace verz::test {

struct CorpusLanguage {
    const char *code;
    std::array<const char *, 6> sentences;
};

inline const std::array<CorpusLanguage, 6> &DetectCorpus()
{
    static const std::array<CorpusLanguage, 6> corpus{{
        {"fr",
         {"Nous avons laissé la voiture devant la gare parce que le parking du centre était "
          "complet depuis ce matin.",
          "Ma voisine arrose ses tomates tous les soirs, même quand il pleut, et elle me donne "
          "toujours les plus belles.",
          "Le train de huit heures est encore en retard, alors je prendrai le bus qui passe "
          "derrière l'école.",
          "Pourriez-vous m'envoyer la facture avant vendredi ? Notre comptable part en congé "
          "la semaine prochaine et revient en mai.",
          "Il faut éteindre le four, ouvrir la fenêtre et attendre que la fumée sorte avant "
          "de rappeler les enfants.",
          "Chaque dimanche, mon grand-père lisait le journal au café du village en buvant un "
          "petit verre de vin blanc."}},
        {"en",
         {"We left the car in front of the station because the parking lot downtown had been "
          "full since early morning.",
          "My neighbour waters her tomatoes every evening, even when it rains, and she always "
          "gives me the best ones.",
          "The eight o'clock train is late again, so I will take the bus that stops behind the "
          "old school.",
          "Could you send me the invoice before Friday? Our accountant goes on holiday next "
          "week and comes back in May.",
          "You have to switch off the oven, open the window and wait for the smoke to clear "
          "before calling the children.",
          "Every Sunday my grandfather read the newspaper at the village cafe while drinking a "
          "small glass of white wine."}},
        {"de",
         {"Wir haben das Auto vor dem Bahnhof stehen lassen, weil der Parkplatz in der Stadt "
          "seit dem Morgen voll war.",
          "Meine Nachbarin gießt ihre Tomaten jeden Abend, auch wenn es regnet, und sie "
          "schenkt mir immer die schönsten.",
          "Der Zug um acht Uhr hat schon wieder Verspätung, also nehme ich den Bus hinter der "
          "alten Schule.",
          "Könnten Sie mir die Rechnung vor Freitag schicken? Unser Buchhalter fährt nächste "
          "Woche in Urlaub und kommt im Mai zurück.",
          "Man muss den Ofen ausschalten, das Fenster öffnen und warten, bis der Rauch weg "
          "ist, bevor man die Kinder ruft.",
          "Jeden Sonntag las mein Großvater die Zeitung im Café des Dorfes und trank dabei ein "
          "kleines Glas Weißwein."}},
        {"es",
         {"Dejamos el coche delante de la estación porque el aparcamiento del centro estaba "
          "lleno desde primera hora de la mañana.",
          "Mi vecina riega sus tomates todas las tardes, incluso cuando llueve, y siempre me "
          "regala los más bonitos.",
          "El tren de las ocho vuelve a llegar tarde, así que cogeré el autobús que para "
          "detrás de la escuela.",
          "¿Podría enviarme la factura antes del viernes? Nuestro contable se va de vacaciones "
          "la semana que viene y vuelve en mayo.",
          "Hay que apagar el horno, abrir la ventana y esperar a que salga el humo antes de "
          "llamar a los niños.",
          "Cada domingo mi abuelo leía el periódico en el bar del pueblo mientras bebía un "
          "vasito de vino blanco."}},
        {"pt",
         {"Deixámos o carro em frente da estação porque o parque de estacionamento do centro "
          "estava cheio desde manhã cedo.",
          "A minha vizinha rega os tomates todas as tardes, mesmo quando chove, e dá-me sempre "
          "os mais bonitos.",
          "O comboio das oito horas está outra vez atrasado, por isso vou apanhar o autocarro "
          "atrás da escola.",
          "Podia enviar-me a fatura antes de sexta-feira? O nosso contabilista vai de férias "
          "na próxima semana e volta em maio.",
          "É preciso desligar o forno, abrir a janela e esperar que o fumo saia antes de "
          "chamar as crianças.",
          "Todos os domingos o meu avô lia o jornal no café da aldeia enquanto bebia um copo "
          "pequeno de vinho branco."}},
        {"it",
         {"Abbiamo lasciato la macchina davanti alla stazione perché il parcheggio del centro "
          "era pieno fin dal mattino presto.",
          "La mia vicina innaffia i suoi pomodori ogni sera, anche quando piove, e mi regala "
          "sempre i più belli.",
          "Il treno delle otto è di nuovo in ritardo, quindi prenderò l'autobus che si ferma "
          "dietro la scuola.",
          "Potrebbe mandarmi la fattura prima di venerdì? Il nostro contabile va in ferie la "
          "settimana prossima e torna a maggio.",
          "Bisogna spegnere il forno, aprire la finestra e aspettare che il fumo esca prima di "
          "chiamare i bambini.",
          "Ogni domenica mio nonno leggeva il giornale al bar del paese mentre beveva un "
          "bicchierino di vino bianco."}},
    }};
    return corpus;
}

}  // namespace verz::test
