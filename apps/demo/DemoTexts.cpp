#include "DemoTexts.h"

#include <QHash>

namespace {

struct Translation {
    const char* fr;
    const char* de;
};

const QHash<QString, Translation>& translations()
{
    static const QHash<QString, Translation> table = {
        {"Tavrin Input Output Control - demo", {"Tavrin Input Output Control - démo", "Tavrin Input Output Control - Demo"}},
        {"&Vehicle", {"&Véhicule", "&Fahrzeug"}},
        {"&Open vehicle description...", {"&Ouvrir une description de véhicule...", "Fahrzeugbeschreibung ö&ffnen..."}},
        {"&Quit", {"&Quitter", "&Beenden"}},
        {"&Language", {"&Langue", "&Sprache"}},
        {"&Control", {"&Contrôle", "&Steuerung"}},
        {"&Abort", {"&Interrompre", "&Abbrechen"}},
        {"Open vehicle description", {"Ouvrir une description de véhicule", "Fahrzeugbeschreibung öffnen"}},
        {"Vehicle descriptions (*.xml)", {"Descriptions de véhicule (*.xml)", "Fahrzeugbeschreibungen (*.xml)"}},
        {"The control could not start", {"Le contrôle n'a pas pu démarrer", "Die Steuerung konnte nicht starten"}},
        {"Vehicle description refused", {"Description de véhicule refusée", "Fahrzeugbeschreibung abgelehnt"}},
        {"Language file refused", {"Fichier de langue refusé", "Sprachdatei abgelehnt"}},
        {"Error details", {"Détails de l'erreur", "Fehlerdetails"}},
        {"&Save run...", {"&Enregistrer le test...", "Lauf &speichern..."}},
        {"Save run", {"Enregistrer le test", "Lauf speichern"}},
        {"Run files (*.log *.csv *.json)", {"Fichiers de test (*.log *.csv *.json)", "Laufdateien (*.log *.csv *.json)"}},
        {"The run could not be saved", {"Le test n'a pas pu être enregistré", "Der Lauf konnte nicht gespeichert werden"}},
        {"Error %1: %2", {"Erreur %1 : %2", "Fehler %1: %2"}},
        {"Stopping the device...", {"Arrêt de l'actionneur...", "Stellglied wird gestoppt..."}},
        {"Device stopped.", {"Actionneur arrêté.", "Stellglied gestoppt."}},
        {"The device may still be driven.",
         {"L'actionneur est peut-être encore commandé.", "Das Stellglied wird möglicherweise noch angesteuert."}},
        {"The stop did not end in time: emergency stop...",
         {"L'arrêt n'a pas abouti à temps : arrêt d'urgence...",
          "Der Stopp endete nicht rechtzeitig: Not-Aus..."}},
        {"&Connect...", {"&Connexion...", "&Verbinden..."}},
        {"Connect", {"Connexion", "Verbinden"}},
        {"Cancel", {"Annuler", "Abbrechen"}},
        {"Link", {"Liaison", "Verbindung"}},
        {"Line options", {"Options de la ligne", "Leitungsoptionen"}},
        {"Ping ECUs", {"Interroger les calculateurs", "Steuergeräte anpingen"}},
        {"Choose a link, or type a port path or a connection string",
         {"Choisissez une liaison, ou tapez le chemin d'un port ou une chaîne de connexion",
          "Wählen Sie eine Verbindung oder geben Sie einen Portpfad oder eine Verbindungszeichenfolge ein"}},
        {"Pinging the ECUs over %1...", {"Interrogation des calculateurs par %1...", "Steuergeräte werden über %1 angepingt..."}},
        {"%1: answers", {"%1 : répond", "%1: antwortet"}},
        {"%1: error %2: %3", {"%1 : erreur %2 : %3", "%1: Fehler %2: %3"}},
        {"%1 of %2 ECUs answer over %3", {"%1 calculateurs sur %2 répondent par %3", "%1 von %2 Steuergeräten antworten über %3"}},
        {"Simulated vehicle", {"Véhicule simulé", "Simuliertes Fahrzeug"}},
        {"Simulated vehicle behind a pseudo-terminal (K-line)",
         {"Véhicule simulé derrière un pseudo-terminal (ligne K)", "Simuliertes Fahrzeug hinter einem Pseudoterminal (K-Leitung)"}},
        {"Simulated vehicle on the virtual CAN bus",
         {"Véhicule simulé sur le bus CAN virtuel", "Simuliertes Fahrzeug am virtuellen CAN-Bus"}},
        {"Link refused", {"Liaison refusée", "Verbindung abgelehnt"}},
        {"Link: %1", {"Liaison : %1", "Verbindung: %1"}},
    };
    return table;
}

}  // namespace

QString demoText(const char* english, const QString& language)
{
    const auto found = translations().constFind(QString::fromUtf8(english));
    if (found == translations().constEnd() || language == QStringLiteral("en")) return QString::fromUtf8(english);
    if (language == QStringLiteral("fr")) return QString::fromUtf8(found->fr);
    if (language == QStringLiteral("de")) return QString::fromUtf8(found->de);
    return QString::fromUtf8(english);
}
