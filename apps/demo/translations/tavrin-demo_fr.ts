<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>ConnectDialog</name>
    <message>
        <source>%1 (typed before)</source>
        <translation>%1 (saisi auparavant)</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>Réponses</translation>
    </message>
    <message>
        <source>Simulated vehicle</source>
        <translation>Véhicule simulé</translation>
    </message>
    <message>
        <source>Simulated vehicle behind a pseudo-terminal (K-line)</source>
        <translation>Véhicule simulé derrière un pseudo-terminal (ligne K)</translation>
    </message>
    <message>
        <source>K-line: %1</source>
        <translation>Ligne K : %1</translation>
    </message>
    <message>
        <source>Simulated vehicle on the virtual CAN bus</source>
        <translation>Véhicule simulé sur le bus CAN virtuel</translation>
    </message>
    <message>
        <source>CAN: %1 %2</source>
        <translation>CAN : %1 %2</translation>
    </message>
    <message>
        <source>Ping ECUs</source>
        <translation>Interroger les calculateurs</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connexion</translation>
    </message>
    <message>
        <source>Choose a link, or type a port path or a connection string</source>
        <translation>Choisissez une liaison, ou tapez le chemin d&apos;un port ou une chaîne de connexion</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Liaison</translation>
    </message>
    <message>
        <source>Line options</source>
        <translation>Options de la ligne</translation>
    </message>
    <message>
        <source>Pinging the ECUs over %1...</source>
        <translation>Interrogation des calculateurs par %1...</translation>
    </message>
    <message>
        <source>%1: answers</source>
        <translation>%1 : répond</translation>
    </message>
    <message>
        <source>%1: error %2: %3</source>
        <translation>%1 : erreur %2 : %3</translation>
    </message>
    <message>
        <source>%1 of %2 ECUs answer over %3</source>
        <translation>%1 calculateurs sur %2 répondent par %3</translation>
    </message>
    <message>
        <source>ELM327 or STN adapter: %1</source>
        <translation>Adaptateur ELM327 ou STN : %1</translation>
    </message>
    <message>
        <source>Simulated vehicle behind an emulated ELM327 adapter</source>
        <translation>Véhicule simulé derrière un adaptateur ELM327 émulé</translation>
    </message>
</context>
<context>
    <name>DemoWindow</name>
    <message>
        <source>V&amp;iew</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>&amp;Larger plot</source>
        <translation>Tracé plus &amp;grand</translation>
    </message>
    <message>
        <source>&amp;Smaller plot</source>
        <translation>Tracé plus &amp;petit</translation>
    </message>
    <message>
        <source>Ctrl+1, Ctrl+2, ...</source>
        <translation>Ctrl+1, Ctrl+2, ...</translation>
    </message>
    <message>
        <source>Sort the list by its first, second... column (again: the other way)</source>
        <translation>Trier la liste par sa première, deuxième... colonne (à nouveau : dans l'autre sens)</translation>
    </message>
    <message>
        <source>Larger, smaller plot</source>
        <translation>Tracé plus grand, plus petit</translation>
    </message>
    <message>
        <source>The values read during a test are drawn here.</source>
        <translation>Les valeurs lues pendant un test sont tracées ici.</translation>
    </message>
    <message>
        <source>Run saved in %1: %2.log, %2.csv, %2.json</source>
        <translation>Test enregistré dans %1 : %2.log, %2.csv, %2.json</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Essai</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Keys</source>
        <translation>&amp;Touches</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Touches</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Tab, Shift+Tab</source>
        <translation>Tab, Maj+Tab</translation>
    </message>
    <message>
        <source>Next, previous field</source>
        <translation>Champ suivant, précédent</translation>
    </message>
    <message>
        <source>Return, Space</source>
        <translation>Entrée, Espace</translation>
    </message>
    <message>
        <source>Choose the ECU or the device</source>
        <translation>Choisir le calculateur ou l&apos;actionneur</translation>
    </message>
    <message>
        <source>Open a vehicle description</source>
        <translation>Ouvrir une description de véhicule</translation>
    </message>
    <message>
        <source>Connect to the vehicle</source>
        <translation>Se connecter au véhicule</translation>
    </message>
    <message>
        <source>Save the run</source>
        <translation>Enregistrer le test</translation>
    </message>
    <message>
        <source>Quit (a driven device is stopped first)</source>
        <translation>Quitter (un actionneur piloté est d&apos;abord arrêté)</translation>
    </message>
    <message>
        <source>Esc and F7 stop the device from anywhere in the application, an open menu or dialog included.</source>
        <translation>Échap et F7 arrêtent l&apos;actionneur depuis toute l&apos;application, menu ou boîte de dialogue ouverts compris.</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Tavrin Input Output Control&lt;/b&gt; %1&lt;/p&gt;&lt;p&gt;Actuator tests on a vehicle&apos;s ECUs through KWP2000 input/output control.&lt;/p&gt;&lt;p&gt;Qt %2&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Tavrin Input Output Control&lt;/b&gt; %1&lt;/p&gt;&lt;p&gt;Tests d&apos;actionneurs sur les calculateurs d&apos;un véhicule par le pilotage des entrées/sorties KWP2000.&lt;/p&gt;&lt;p&gt;Qt %2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Tavrin Input Output Control - demo</source>
        <translation>Tavrin Input Output Control - démo</translation>
    </message>
    <message>
        <source>&amp;Vehicle</source>
        <translation>&amp;Véhicule</translation>
    </message>
    <message>
        <source>&amp;Open vehicle description...</source>
        <translation>&amp;Ouvrir une description de véhicule...</translation>
    </message>
    <message>
        <source>&amp;Connect...</source>
        <translation>&amp;Connexion...</translation>
    </message>
    <message>
        <source>&amp;Save run...</source>
        <translation>&amp;Enregistrer le test...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Langue</translation>
    </message>
    <message>
        <source>&amp;Abort</source>
        <translation>&amp;Interrompre</translation>
    </message>
    <message>
        <source>Error %1: %2</source>
        <translation>Erreur %1 : %2</translation>
    </message>
    <message>
        <source>Save run</source>
        <translation>Enregistrer le test</translation>
    </message>
    <message>
        <source>Run files (*.log *.csv *.json)</source>
        <translation>Fichiers de test (*.log *.csv *.json)</translation>
    </message>
    <message>
        <source>The run could not be saved</source>
        <translation>Le test n&apos;a pas pu être enregistré</translation>
    </message>
    <message>
        <source>The control could not start</source>
        <translation>Le contrôle n&apos;a pas pu démarrer</translation>
    </message>
    <message>
        <source>Open vehicle description</source>
        <translation>Ouvrir une description de véhicule</translation>
    </message>
    <message>
        <source>Vehicle descriptions (*.xml)</source>
        <translation>Descriptions de véhicule (*.xml)</translation>
    </message>
    <message>
        <source>Link refused</source>
        <translation>Liaison refusée</translation>
    </message>
    <message>
        <source>Vehicle description refused</source>
        <translation>Description de véhicule refusée</translation>
    </message>
    <message>
        <source>Link: %1</source>
        <translation>Liaison : %1</translation>
    </message>
    <message>
        <source>Language file refused</source>
        <translation>Fichier de langue refusé</translation>
    </message>
    <message>
        <source>Stopping the device...</source>
        <translation>Arrêt de l&apos;actionneur...</translation>
    </message>
    <message>
        <source>Device stopped.</source>
        <translation>Actionneur arrêté.</translation>
    </message>
    <message>
        <source>The device may still be driven.</source>
        <translation>L&apos;actionneur est peut-être encore piloté.</translation>
    </message>
    <message>
        <source>The stop did not end in time: emergency stop...</source>
        <translation>L&apos;arrêt n&apos;a pas abouti à temps : arrêt d&apos;urgence...</translation>
    </message>
    <message>
        <source>Error details</source>
        <translation>Détails de l&apos;erreur</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The request's length or format is wrong for this service.</source>
        <translation>La longueur ou le format de la requête ne conviennent pas à ce service.</translation>
    </message>
    <message>
        <source>The answer would be longer than the transport can carry.</source>
        <translation>La réponse serait plus longue que ce que le transport peut porter.</translation>
    </message>
    <message>
        <source>The request came out of order: the ECU expects another one first (for example the seed before the key).</source>
        <translation>La requête arrive hors d'ordre : le calculateur en attend une autre d'abord (par exemple la graine avant la clé).</translation>
    </message>
    <message>
        <source>The ECU asked another unit on its own network, which did not answer.</source>
        <translation>Le calculateur a interrogé une autre unité de son réseau, qui n'a pas répondu.</translation>
    </message>
    <message>
        <source>A fault stored in the ECU prevents the action.</source>
        <translation>Un défaut mémorisé dans le calculateur empêche l'action.</translation>
    </message>
    <message>
        <source>The security key is wrong: the key algorithm does not suit this ECU.</source>
        <translation>La clé de sécurité est fausse : l'algorithme de clé ne convient pas à ce calculateur.</translation>
    </message>
    <message>
        <source>Too many wrong security keys: the ECU locks security access for a while; wait, or switch the ignition off and on.</source>
        <translation>Trop de clés de sécurité fausses : le calculateur bloque l'accès sécurisé un moment ; attendez, ou coupez et remettez le contact.</translation>
    </message>
    <message>
        <source>Security access was asked again too soon after a refusal: wait, then try again.</source>
        <translation>L'accès sécurisé a été redemandé trop tôt après un refus : attendez, puis réessayez.</translation>
    </message>
    <message>
        <source>The sub-function is not supported in the active diagnostic session.</source>
        <translation>La sous-fonction n'est pas prise en charge dans la session de diagnostic active.</translation>
    </message>
    <message>
        <source>The service is not supported in the active diagnostic session: open the session it needs (often the extended one) first.</source>
        <translation>Le service n'est pas pris en charge dans la session de diagnostic active : ouvrez d'abord la session qu'il demande (souvent la session étendue).</translation>
    </message>
    <message>
        <source>The ECU rejected the request without a more specific reason.</source>
        <translation>Le calculateur a refusé la requête sans raison plus précise.</translation>
    </message>
    <message>
        <source>The ECU does not support this service.</source>
        <translation>Le calculateur ne prend pas en charge ce service.</translation>
    </message>
    <message>
        <source>The ECU does not support this sub-function, or the request is malformed.</source>
        <translation>Le calculateur ne prend pas en charge cette sous-fonction, ou la requête est mal formée.</translation>
    </message>
    <message>
        <source>The ECU is busy; repeat the request later.</source>
        <translation>Le calculateur est occupé ; répétez la requête plus tard.</translation>
    </message>
    <message>
        <source>The conditions to run the request are not met (for example the wrong diagnostic session, or the engine running).</source>
        <translation>Les conditions pour exécuter la requête ne sont pas remplies (par exemple une mauvaise session de diagnostic, ou le moteur tourne).</translation>
    </message>
    <message>
        <source>A value of the request is out of range: often a device the ECU does not know, or a control mode it does not allow for that device.</source>
        <translation>Une valeur de la requête est hors limites : souvent un actionneur que le calculateur ne connaît pas, ou un mode de pilotage qu&apos;il n&apos;autorise pas pour cet actionneur.</translation>
    </message>
    <message>
        <source>Security access is required first.</source>
        <translation>Un accès sécurisé est d&apos;abord nécessaire.</translation>
    </message>
    <message>
        <source>The ECU is still working on the request.</source>
        <translation>Le calculateur traite encore la requête.</translation>
    </message>
    <message>
        <source>The service is not supported in the active diagnostic session.</source>
        <translation>Le service n&apos;est pas pris en charge dans la session de diagnostic active.</translation>
    </message>
    <message>
        <source>See the ECU&apos;s documentation for this response code.</source>
        <translation>Voir la documentation du calculateur pour ce code de réponse.</translation>
    </message>
    <message>
        <source>The ECU did not answer in time: check the wiring, the ignition and the ECU&apos;s address.</source>
        <translation>Le calculateur n&apos;a pas répondu à temps : vérifiez le câblage, le contact et l&apos;adresse du calculateur.</translation>
    </message>
    <message>
        <source>The ECU description does not hold the name asked for.</source>
        <translation>La description du calculateur ne contient pas le nom demandé.</translation>
    </message>
    <message>
        <source>Communication with the ECU is not started.</source>
        <translation>La communication avec le calculateur n&apos;est pas ouverte.</translation>
    </message>
    <message>
        <source>The ECU&apos;s answer was wrong: checksum, length, address or service. Interference on the line, or another ECU answering.</source>
        <translation>La réponse du calculateur était erronée : somme de contrôle, longueur, adresse ou service. Perturbations sur la ligne, ou un autre calculateur qui répond.</translation>
    </message>
    <message>
        <source>The ECU kept answering &quot;response pending&quot;.</source>
        <translation>Le calculateur a continué de répondre « réponse en attente ».</translation>
    </message>
    <message>
        <source>A value does not fit the data item.</source>
        <translation>Une valeur ne convient pas à la donnée.</translation>
    </message>
    <message>
        <source>The interface cannot be opened or has failed: is it plugged in, is the port name right, may this user open it (Linux: the dialout group)?</source>
        <translation>L&apos;interface ne peut pas être ouverte ou a échoué : est-elle branchée, le nom du port est-il juste, cet utilisateur peut-il l&apos;ouvrir (Linux : le groupe dialout) ?</translation>
    </message>
    <message>
        <source>What was sent did not come back as sent: another device talked at the same time, or the interface does not echo (set echo=0 in the link&apos;s options).</source>
        <translation>Ce qui a été envoyé n&apos;est pas revenu tel quel : un autre appareil a parlé en même temps, ou l&apos;interface ne renvoie pas l&apos;écho (mettez echo=0 dans les options de la liaison).</translation>
    </message>
    <message>
        <source>The link&apos;s connection string names no link (see &quot;Connect...&quot;).</source>
        <translation>La chaîne de connexion ne désigne aucune liaison (voir « Connexion... »).</translation>
    </message>
    <message>
        <source>This needs the simulated vehicle, and the link reaches a real one.</source>
        <translation>Ceci demande le véhicule simulé, et la liaison atteint un véhicule réel.</translation>
    </message>
    <message>
        <source>A CAN frame of the ECU&apos;s answer, or its flow control, did not come in time.</source>
        <translation>Une trame CAN de la réponse du calculateur, ou son contrôle de flux, n&apos;est pas arrivée à temps.</translation>
    </message>
    <message>
        <source>The ECU broke the CAN transport protocol (ISO-TP), or has no room for the request.</source>
        <translation>Le calculateur a enfreint le protocole de transport CAN (ISO-TP), ou n&apos;a pas de place pour la requête.</translation>
    </message>
    <message>
        <source>The ECU asks for security access, and its key plug-in is missing, failed to load or gave no key: name the folder that holds it (--key-plugins).</source>
        <translation>Le calculateur demande un accès de sécurité, et son module de clé manque, ne se charge pas ou ne donne aucune clé : indiquez le dossier qui le contient (--key-plugins).</translation>
    </message>
    <message>
        <source>The ECU&apos;s diagnostic session ended (no request for a few seconds, or it was switched off): the ECU took its outputs back itself. Nothing is driven by the test any more.</source>
        <translation>La session de diagnostic du calculateur a pris fin (aucune requête pendant quelques secondes, ou il a été coupé) : le calculateur a repris lui-même ses sorties. Le test ne pilote plus rien.</translation>
    </message>
    <message>
        <source>An error of the session library: &quot;%1&quot;.</source>
        <translation>Une erreur de la bibliothèque de session : « %1 ».</translation>
    </message>
    <message>
        <source>An error of the session library or of the control.</source>
        <translation>Une erreur de la bibliothèque de session ou du contrôle.</translation>
    </message>
    <message>
        <source>Error %1 (0x%2)</source>
        <translation>Erreur %1 (0x%2)</translation>
    </message>
    <message>
        <source>Negative response 0x%1 %2</source>
        <translation>Réponse négative 0x%1 %2</translation>
    </message>
</context>
<context>
    <name>DrivenBanner</name>
    <message>
        <source>Stop again (F7)</source>
        <translation>Arrêter à nouveau (F7)</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Détails</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>May still be driven: %1.</source>
        <translation>Peut-être encore piloté : %1.</translation>
    </message>
    <message>
        <source>What failed: %1.</source>
        <translation>Ce qui a échoué : %1.</translation>
    </message>
    <message>
        <source>Stop it again (F7); if that fails too, check the line and switch the ignition off.</source>
        <translation>Arrêtez-le à nouveau (F7) ; si cela échoue encore, vérifiez la liaison et coupez le contact.</translation>
    </message>
</context>
</TS>
