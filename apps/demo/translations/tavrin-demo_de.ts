<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ConnectDialog</name>
    <message>
        <source>%1 (typed before)</source>
        <translation>%1 (zuvor eingegeben)</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>Antworten</translation>
    </message>
    <message>
        <source>Simulated vehicle</source>
        <translation>Simuliertes Fahrzeug</translation>
    </message>
    <message>
        <source>Simulated vehicle behind a pseudo-terminal (K-line)</source>
        <translation>Simuliertes Fahrzeug hinter einem Pseudoterminal (K-Leitung)</translation>
    </message>
    <message>
        <source>K-line: %1</source>
        <translation>K-Leitung: %1</translation>
    </message>
    <message>
        <source>Simulated vehicle on the virtual CAN bus</source>
        <translation>Simuliertes Fahrzeug am virtuellen CAN-Bus</translation>
    </message>
    <message>
        <source>CAN: %1 %2</source>
        <translation>CAN: %1 %2</translation>
    </message>
    <message>
        <source>Ping ECUs</source>
        <translation>Steuergeräte anpingen</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Choose a link, or type a port path or a connection string</source>
        <translation>Wählen Sie eine Verbindung oder geben Sie einen Portpfad oder eine Verbindungszeichenfolge ein</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Line options</source>
        <translation>Leitungsoptionen</translation>
    </message>
    <message>
        <source>Pinging the ECUs over %1...</source>
        <translation>Steuergeräte werden über %1 angepingt...</translation>
    </message>
    <message>
        <source>%1: answers</source>
        <translation>%1: antwortet</translation>
    </message>
    <message>
        <source>%1: error %2: %3</source>
        <translation>%1: Fehler %2: %3</translation>
    </message>
    <message>
        <source>%1 of %2 ECUs answer over %3</source>
        <translation>%1 von %2 Steuergeräten antworten über %3</translation>
    </message>
    <message>
        <source>ELM327 or STN adapter: %1</source>
        <translation>ELM327- oder STN-Adapter: %1</translation>
    </message>
    <message>
        <source>Simulated vehicle behind an emulated ELM327 adapter</source>
        <translation>Simuliertes Fahrzeug hinter einem emulierten ELM327-Adapter</translation>
    </message>
</context>
<context>
    <name>DemoWindow</name>
    <message>
        <source>V&amp;iew</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Larger plot</source>
        <translation>&amp;Größere Kurve</translation>
    </message>
    <message>
        <source>&amp;Smaller plot</source>
        <translation>&amp;Kleinere Kurve</translation>
    </message>
    <message>
        <source>Ctrl+1, Ctrl+2, ...</source>
        <translation>Strg+1, Strg+2, ...</translation>
    </message>
    <message>
        <source>Sort the list by its first, second... column (again: the other way)</source>
        <translation>Die Liste nach ihrer ersten, zweiten... Spalte sortieren (noch einmal: andersherum)</translation>
    </message>
    <message>
        <source>Larger, smaller plot</source>
        <translation>Größere, kleinere Kurve</translation>
    </message>
    <message>
        <source>The values read during a test are drawn here.</source>
        <translation>Die während einer Prüfung gelesenen Werte werden hier gezeichnet.</translation>
    </message>
    <message>
        <source>Run saved in %1: %2.log, %2.csv, %2.json</source>
        <translation>Test gespeichert in %1: %2.log, %2.csv, %2.json</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Prüfung</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Keys</source>
        <translation>&amp;Tasten</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Tab, Shift+Tab</source>
        <translation>Tab, Umschalt+Tab</translation>
    </message>
    <message>
        <source>Next, previous field</source>
        <translation>Nächstes, voriges Feld</translation>
    </message>
    <message>
        <source>Return, Space</source>
        <translation>Eingabe, Leertaste</translation>
    </message>
    <message>
        <source>Choose the ECU or the device</source>
        <translation>Steuergerät oder Stellglied wählen</translation>
    </message>
    <message>
        <source>Open a vehicle description</source>
        <translation>Fahrzeugbeschreibung öffnen</translation>
    </message>
    <message>
        <source>Connect to the vehicle</source>
        <translation>Mit dem Fahrzeug verbinden</translation>
    </message>
    <message>
        <source>Save the run</source>
        <translation>Test speichern</translation>
    </message>
    <message>
        <source>Quit (a driven device is stopped first)</source>
        <translation>Beenden (ein angesteuertes Stellglied wird zuerst gestoppt)</translation>
    </message>
    <message>
        <source>Esc and F7 stop the device from anywhere in the application, an open menu or dialog included.</source>
        <translation>Esc und F7 stoppen das Stellglied überall in der Anwendung, auch in einem offenen Menü oder Dialog.</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Tavrin Input Output Control&lt;/b&gt; %1&lt;/p&gt;&lt;p&gt;Actuator tests on a vehicle&apos;s ECUs through KWP2000 input/output control.&lt;/p&gt;&lt;p&gt;Qt %2&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Tavrin Input Output Control&lt;/b&gt; %1&lt;/p&gt;&lt;p&gt;Stellgliedtests an den Steuergeräten eines Fahrzeugs über die KWP2000-Ein-/Ausgabesteuerung.&lt;/p&gt;&lt;p&gt;Qt %2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Tavrin Input Output Control - demo</source>
        <translation>Tavrin Input Output Control - Demo</translation>
    </message>
    <message>
        <source>&amp;Vehicle</source>
        <translation>&amp;Fahrzeug</translation>
    </message>
    <message>
        <source>&amp;Open vehicle description...</source>
        <translation>Fahrzeugbeschreibung ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>&amp;Connect...</source>
        <translation>&amp;Verbinden...</translation>
    </message>
    <message>
        <source>&amp;Save run...</source>
        <translation>Lauf &amp;speichern...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <source>&amp;Abort</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Error %1: %2</source>
        <translation>Fehler %1: %2</translation>
    </message>
    <message>
        <source>Save run</source>
        <translation>Lauf speichern</translation>
    </message>
    <message>
        <source>Run files (*.log *.csv *.json)</source>
        <translation>Laufdateien (*.log *.csv *.json)</translation>
    </message>
    <message>
        <source>The run could not be saved</source>
        <translation>Der Lauf konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>The control could not start</source>
        <translation>Die Steuerung konnte nicht starten</translation>
    </message>
    <message>
        <source>Open vehicle description</source>
        <translation>Fahrzeugbeschreibung öffnen</translation>
    </message>
    <message>
        <source>Vehicle descriptions (*.xml)</source>
        <translation>Fahrzeugbeschreibungen (*.xml)</translation>
    </message>
    <message>
        <source>Link refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>Vehicle description refused</source>
        <translation>Fahrzeugbeschreibung abgelehnt</translation>
    </message>
    <message>
        <source>Link: %1</source>
        <translation>Verbindung: %1</translation>
    </message>
    <message>
        <source>Language file refused</source>
        <translation>Sprachdatei abgelehnt</translation>
    </message>
    <message>
        <source>Stopping the device...</source>
        <translation>Stellglied wird gestoppt...</translation>
    </message>
    <message>
        <source>Device stopped.</source>
        <translation>Stellglied gestoppt.</translation>
    </message>
    <message>
        <source>The device may still be driven.</source>
        <translation>Das Stellglied wird möglicherweise noch angesteuert.</translation>
    </message>
    <message>
        <source>The stop did not end in time: emergency stop...</source>
        <translation>Der Stopp endete nicht rechtzeitig: Not-Aus...</translation>
    </message>
    <message>
        <source>Error details</source>
        <translation>Fehlerdetails</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The request's length or format is wrong for this service.</source>
        <translation>Länge oder Format der Anforderung passen nicht zu diesem Dienst.</translation>
    </message>
    <message>
        <source>The answer would be longer than the transport can carry.</source>
        <translation>Die Antwort wäre länger, als der Transport tragen kann.</translation>
    </message>
    <message>
        <source>The request came out of order: the ECU expects another one first (for example the seed before the key).</source>
        <translation>Die Anforderung kam in falscher Reihenfolge: das Steuergerät erwartet zuerst eine andere (zum Beispiel den Seed vor dem Schlüssel).</translation>
    </message>
    <message>
        <source>The ECU asked another unit on its own network, which did not answer.</source>
        <translation>Das Steuergerät hat eine andere Einheit seines Netzes gefragt, die nicht geantwortet hat.</translation>
    </message>
    <message>
        <source>A fault stored in the ECU prevents the action.</source>
        <translation>Ein im Steuergerät gespeicherter Fehler verhindert die Aktion.</translation>
    </message>
    <message>
        <source>The security key is wrong: the key algorithm does not suit this ECU.</source>
        <translation>Der Sicherheitsschlüssel ist falsch: der Schlüsselalgorithmus passt nicht zu diesem Steuergerät.</translation>
    </message>
    <message>
        <source>Too many wrong security keys: the ECU locks security access for a while; wait, or switch the ignition off and on.</source>
        <translation>Zu viele falsche Sicherheitsschlüssel: das Steuergerät sperrt den Sicherheitszugang eine Weile; warten Sie oder schalten Sie die Zündung aus und wieder ein.</translation>
    </message>
    <message>
        <source>Security access was asked again too soon after a refusal: wait, then try again.</source>
        <translation>Der Sicherheitszugang wurde nach einer Ablehnung zu früh erneut angefragt: warten Sie und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>The sub-function is not supported in the active diagnostic session.</source>
        <translation>Die Unterfunktion wird in der aktiven Diagnosesitzung nicht unterstützt.</translation>
    </message>
    <message>
        <source>The service is not supported in the active diagnostic session: open the session it needs (often the extended one) first.</source>
        <translation>Der Dienst wird in der aktiven Diagnosesitzung nicht unterstützt: öffnen Sie zuerst die Sitzung, die er braucht (oft die erweiterte).</translation>
    </message>
    <message>
        <source>The ECU rejected the request without a more specific reason.</source>
        <translation>Das Steuergerät hat die Anforderung ohne genaueren Grund abgelehnt.</translation>
    </message>
    <message>
        <source>The ECU does not support this service.</source>
        <translation>Das Steuergerät unterstützt diesen Dienst nicht.</translation>
    </message>
    <message>
        <source>The ECU does not support this sub-function, or the request is malformed.</source>
        <translation>Das Steuergerät unterstützt diese Unterfunktion nicht, oder die Anforderung ist fehlerhaft.</translation>
    </message>
    <message>
        <source>The ECU is busy; repeat the request later.</source>
        <translation>Das Steuergerät ist beschäftigt; wiederholen Sie die Anforderung später.</translation>
    </message>
    <message>
        <source>The conditions to run the request are not met (for example the wrong diagnostic session, or the engine running).</source>
        <translation>Die Bedingungen für die Anforderung sind nicht erfüllt (zum Beispiel die falsche Diagnosesitzung oder ein laufender Motor).</translation>
    </message>
    <message>
        <source>A value of the request is out of range: often a device the ECU does not know, or a control mode it does not allow for that device.</source>
        <translation>Ein Wert der Anforderung liegt außerhalb des Bereichs: oft ein Stellglied, das das Steuergerät nicht kennt, oder eine Ansteuerart, die es für dieses Stellglied nicht erlaubt.</translation>
    </message>
    <message>
        <source>Security access is required first.</source>
        <translation>Zuerst ist ein Sicherheitszugang nötig.</translation>
    </message>
    <message>
        <source>The ECU is still working on the request.</source>
        <translation>Das Steuergerät bearbeitet die Anforderung noch.</translation>
    </message>
    <message>
        <source>The service is not supported in the active diagnostic session.</source>
        <translation>Der Dienst wird in der aktiven Diagnosesitzung nicht unterstützt.</translation>
    </message>
    <message>
        <source>See the ECU&apos;s documentation for this response code.</source>
        <translation>Siehe die Dokumentation des Steuergeräts zu diesem Antwortcode.</translation>
    </message>
    <message>
        <source>The ECU did not answer in time: check the wiring, the ignition and the ECU&apos;s address.</source>
        <translation>Das Steuergerät hat nicht rechtzeitig geantwortet: prüfen Sie Verkabelung, Zündung und die Adresse des Steuergeräts.</translation>
    </message>
    <message>
        <source>The ECU description does not hold the name asked for.</source>
        <translation>Die Beschreibung des Steuergeräts enthält den gesuchten Namen nicht.</translation>
    </message>
    <message>
        <source>Communication with the ECU is not started.</source>
        <translation>Die Kommunikation mit dem Steuergerät ist nicht gestartet.</translation>
    </message>
    <message>
        <source>The ECU&apos;s answer was wrong: checksum, length, address or service. Interference on the line, or another ECU answering.</source>
        <translation>Die Antwort des Steuergeräts war fehlerhaft: Prüfsumme, Länge, Adresse oder Dienst. Störungen auf der Leitung oder ein anderes antwortendes Steuergerät.</translation>
    </message>
    <message>
        <source>The ECU kept answering &quot;response pending&quot;.</source>
        <translation>Das Steuergerät antwortete fortwährend „Antwort ausstehend“.</translation>
    </message>
    <message>
        <source>A value does not fit the data item.</source>
        <translation>Ein Wert passt nicht zum Datenelement.</translation>
    </message>
    <message>
        <source>The interface cannot be opened or has failed: is it plugged in, is the port name right, may this user open it (Linux: the dialout group)?</source>
        <translation>Die Schnittstelle lässt sich nicht öffnen oder ist ausgefallen: Ist sie eingesteckt, stimmt der Portname, darf dieser Benutzer sie öffnen (Linux: die Gruppe dialout)?</translation>
    </message>
    <message>
        <source>What was sent did not come back as sent: another device talked at the same time, or the interface does not echo (set echo=0 in the link&apos;s options).</source>
        <translation>Das Gesendete kam nicht unverändert zurück: ein anderes Gerät sendete gleichzeitig, oder die Schnittstelle liefert kein Echo (echo=0 in den Optionen der Verbindung setzen).</translation>
    </message>
    <message>
        <source>The link&apos;s connection string names no link (see &quot;Connect...&quot;).</source>
        <translation>Die Verbindungszeichenfolge bezeichnet keine Verbindung (siehe „Verbinden...“).</translation>
    </message>
    <message>
        <source>This needs the simulated vehicle, and the link reaches a real one.</source>
        <translation>Dies braucht das simulierte Fahrzeug, und die Verbindung erreicht ein echtes.</translation>
    </message>
    <message>
        <source>A CAN frame of the ECU&apos;s answer, or its flow control, did not come in time.</source>
        <translation>Ein CAN-Frame der Antwort des Steuergeräts oder seine Flusssteuerung kam nicht rechtzeitig.</translation>
    </message>
    <message>
        <source>The ECU broke the CAN transport protocol (ISO-TP), or has no room for the request.</source>
        <translation>Das Steuergerät hat das CAN-Transportprotokoll (ISO-TP) verletzt oder hat keinen Platz für die Anforderung.</translation>
    </message>
    <message>
        <source>The ECU asks for security access, and its key plug-in is missing, failed to load or gave no key: name the folder that holds it (--key-plugins).</source>
        <translation>Das Steuergerät verlangt einen Sicherheitszugang, und sein Schlüssel-Plug-in fehlt, lässt sich nicht laden oder liefert keinen Schlüssel: nennen Sie den Ordner, der es enthält (--key-plugins).</translation>
    </message>
    <message>
        <source>The ECU&apos;s diagnostic session ended (no request for a few seconds, or it was switched off): the ECU took its outputs back itself. Nothing is driven by the test any more.</source>
        <translation>Die Diagnosesitzung des Steuergeräts ist beendet (einige Sekunden keine Anforderung, oder es wurde ausgeschaltet): das Steuergerät hat seine Ausgänge selbst zurückgenommen. Der Test steuert nichts mehr an.</translation>
    </message>
    <message>
        <source>An error of the session library: &quot;%1&quot;.</source>
        <translation>Ein Fehler der Sitzungsbibliothek: „%1“.</translation>
    </message>
    <message>
        <source>An error of the session library or of the control.</source>
        <translation>Ein Fehler der Sitzungsbibliothek oder der Steuerung.</translation>
    </message>
    <message>
        <source>Error %1 (0x%2)</source>
        <translation>Fehler %1 (0x%2)</translation>
    </message>
    <message>
        <source>Negative response 0x%1 %2</source>
        <translation>Negativantwort 0x%1 %2</translation>
    </message>
</context>
<context>
    <name>DrivenBanner</name>
    <message>
        <source>Stop again (F7)</source>
        <translation>Erneut stoppen (F7)</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Einzelheiten</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>May still be driven: %1.</source>
        <translation>Möglicherweise noch angesteuert: %1.</translation>
    </message>
    <message>
        <source>What failed: %1.</source>
        <translation>Fehlgeschlagen: %1.</translation>
    </message>
    <message>
        <source>Stop it again (F7); if that fails too, check the line and switch the ignition off.</source>
        <translation>Erneut stoppen (F7); schlägt auch das fehl, die Verbindung prüfen und die Zündung ausschalten.</translation>
    </message>
</context>
</TS>
