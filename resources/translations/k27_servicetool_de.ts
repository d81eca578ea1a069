<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Application::K27::PasswordLineEdit</name>
    <message>
        <source>Log in</source>
        <translation>Anmelden</translation>
    </message>
</context>
<context>
    <name>Application::K27::SettingSpinBox</name>
    <message>
        <source>Not sent: %1 is outside %2</source>
        <extracomment>%1 is the number typed with its unit, %2 the allowed range (&quot;0.1 – 6.6 A&quot;)</extracomment>
        <translation>Nicht gesendet: %1 liegt außerhalb von %2</translation>
    </message>
    <message>
        <source>The device holds %1, outside %2</source>
        <extracomment>%1 is the number the device reported with its unit, %2 the allowed range</extracomment>
        <translation>Im Gerät eingestellt: %1, außerhalb von %2</translation>
    </message>
    <message>
        <source>%1 – %2 %3</source>
        <extracomment>The range a setting may take: %1 the lowest and %2 the highest number, %3 the unit</extracomment>
        <translation>%1 – %2 %3</translation>
    </message>
</context>
<context>
    <name>Application::K27::SettingsImport</name>
    <message>
        <source>%1 %2: not confirmed by the device</source>
        <extracomment>%1 is a setting, %2 the value written</extracomment>
        <translation>%1 %2: vom Gerät nicht bestätigt</translation>
    </message>
    <message>
        <source>%1 %2, not %3: the device kept another value</source>
        <extracomment>%1 is a setting, %2 the value the device reported, %3 the value written</extracomment>
        <translation>%1 %2, nicht %3: Das Gerät hat einen anderen Wert behalten</translation>
    </message>
</context>
<context>
    <name>CommandLineOptions</name>
    <message>
        <source>Service tool for TORVEX®K27 motor starters. Devices are detected by their USB identifiers; --port opens any other serial port as a device.</source>
        <translation>Servicewerkzeug für TORVEX®K27-Motorstarter. Geräte werden an ihren USB-Kennungen erkannt; --port öffnet jede andere serielle Schnittstelle als Gerät.</translation>
    </message>
    <message>
        <source>Show this list of options.</source>
        <translation>Diese Liste der Optionen anzeigen.</translation>
    </message>
    <message>
        <source>Open the serial port PATH as a device beside the detected ones: a USB-serial adapter of another make, a serial server&apos;s device or a pseudo-terminal. May be given more than once.</source>
        <translation>Die serielle Schnittstelle PATH neben den erkannten als Gerät öffnen: einen USB-Seriell-Adapter eines anderen Herstellers, die Schnittstelle eines Seriell-Servers oder ein Pseudo-Terminal. Mehrfach angebbar.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Unerwartetes Argument: %1</translation>
    </message>
    <message>
        <source>--port needs the path of a serial port.</source>
        <translation>--port braucht den Pfad einer seriellen Schnittstelle.</translation>
    </message>
</context>
<context>
    <name>ConnectScreen</name>
    <message>
        <source>TORVEX®K27 ServiceTool</source>
        <translation>TORVEX®K27 ServiceTool</translation>
    </message>
    <message>
        <source>Please connect a TORVEX®K27 device.</source>
        <translation>Bitte schließen Sie ein TORVEX®K27-Gerät an.</translation>
    </message>
    <message>
        <source>OFFLINE MODE</source>
        <translation>OFFLINE-MODUS</translation>
    </message>
</context>
<context>
    <name>K27SubScreen</name>
    <message>
        <source>The device already holds the settings of %1. Nothing was sent.</source>
        <translation>Das Gerät hat bereits die Einstellungen aus %1. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Settings not imported from %1: cancelled. Nothing was sent.</source>
        <translation>Einstellungen aus %1 nicht importiert: abgebrochen. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Offline — no device connected</source>
        <translation>Offline — kein Gerät verbunden</translation>
    </message>
    <message>
        <source>%1: EXPORT and IMPORT need a connected device.</source>
        <translation>%1: EXPORTIEREN und IMPORTIEREN brauchen ein verbundenes Gerät.</translation>
    </message>
    <message>
        <source>The motor does not start: the device reports the error %1 (%2).</source>
        <extracomment>%1 is the error as the device names it (&quot;Overload&quot;), %2 its code (&quot;E 1406&quot;)</extracomment>
        <translation>Der Motor startet nicht: Das Gerät meldet den Fehler %1 (%2).</translation>
    </message>
    <message>
        <source>Remove its cause, then press RESET ERROR on the Information page.</source>
        <translation>Beheben Sie die Ursache und drücken Sie dann FEHLER ZURÜCKSETZEN auf der Seite Information.</translation>
    </message>
    <message>
        <source>Recording saved to %1 (1 row)</source>
        <extracomment>%1 is the file, %2 the number of measurements in it</extracomment>
        <translation>Aufzeichnung in %1 gespeichert (1 Zeile)</translation>
    </message>
    <message>
        <source>Recording saved to %1 (%2 rows)</source>
        <extracomment>%1 is the file, %2 the number of measurements in it</extracomment>
        <translation>Aufzeichnung in %1 gespeichert (%2 Zeilen)</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Konfiguration</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Daten</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Steuerung</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Service Mode</source>
        <translation>Servicemodus</translation>
    </message>
    <message>
        <source>Demo</source>
        <translation>Demo</translation>
    </message>
    <message>
        <source>Device OK</source>
        <translation>Gerät OK</translation>
    </message>
    <message>
        <source>Short Circuit</source>
        <translation>Kurzschluss</translation>
    </message>
    <message>
        <source>Overload</source>
        <translation>Überlast</translation>
    </message>
    <message>
        <source>Phase Asymmetry</source>
        <translation>Phasenunsymmetrie</translation>
    </message>
    <message>
        <source>Phase Loss</source>
        <translation>Phasenausfall</translation>
    </message>
    <message>
        <source>Undercurrent</source>
        <translation>Unterstrom</translation>
    </message>
    <message>
        <source>Supply Loss</source>
        <translation>Netzausfall</translation>
    </message>
    <message>
        <source>Undervoltage Supply</source>
        <translation>Unterspannung Netz</translation>
    </message>
    <message>
        <source>Overvoltage Supply</source>
        <translation>Überspannung Netz</translation>
    </message>
    <message>
        <source>Overtemperature</source>
        <translation>Übertemperatur</translation>
    </message>
    <message>
        <source>Undervoltage Aux</source>
        <translation>Unterspannung Hilfsversorgung</translation>
    </message>
    <message>
        <source>Overvoltage Aux</source>
        <translation>Überspannung Hilfsversorgung</translation>
    </message>
    <message>
        <source>Device Error</source>
        <translation>Gerätefehler</translation>
    </message>
    <message>
        <source>Communication Error</source>
        <translation>Kommunikationsfehler</translation>
    </message>
    <message>
        <source>Security Clearance</source>
        <translation>Sicherheitsfreigabe</translation>
    </message>
    <message>
        <source>Voltage L1 - L2</source>
        <translation>Spannung L1 - L2</translation>
    </message>
    <message>
        <source>Voltage L1 - N</source>
        <translation>Spannung L1 - N</translation>
    </message>
    <message>
        <source>Voltage L2 - L3</source>
        <translation>Spannung L2 - L3</translation>
    </message>
    <message>
        <source>Voltage L2 - N</source>
        <translation>Spannung L2 - N</translation>
    </message>
    <message>
        <source>Voltage L3 - L1</source>
        <translation>Spannung L3 - L1</translation>
    </message>
    <message>
        <source>Voltage L3 - N</source>
        <translation>Spannung L3 - N</translation>
    </message>
    <message>
        <source>K27 Status: Idle</source>
        <translation>K27 Status: Stillstand</translation>
    </message>
    <message>
        <source>K27 Status: Forward</source>
        <translation>K27 Status: Vorwärts</translation>
    </message>
    <message>
        <source>K27 Status: Backward</source>
        <translation>K27 Status: Rückwärts</translation>
    </message>
    <message>
        <source>K27 Status: Warning</source>
        <translation>K27 Status: Warnung</translation>
    </message>
    <message>
        <source>K27 Status: Error</source>
        <translation>K27 Status: Fehler</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close the other program; the device is connected as soon as the port is free.</source>
        <translation>Die Schnittstelle %1 wird von einem anderen Programm benutzt. Schließen Sie das andere Programm; das Gerät wird verbunden, sobald die Schnittstelle frei ist.</translation>
    </message>
    <message>
        <source>You have no permission to open the port %1. Add your user to the group &quot;%2&quot; that owns the device (sudo usermod -aG %2 $USER) and log in again, or install the udev rule described in the README.</source>
        <translation>Sie haben keine Berechtigung, die Schnittstelle %1 zu öffnen. Fügen Sie Ihren Benutzer der Gruppe „%2“ hinzu, der das Gerät gehört (sudo usermod -aG %2 $USER), und melden Sie sich neu an, oder installieren Sie die im README beschriebene udev-Regel.</translation>
    </message>
    <message>
        <source>You have no permission to open the port %1. Install the udev rule described in the README.</source>
        <translation>Sie haben keine Berechtigung, die Schnittstelle %1 zu öffnen. Installieren Sie die im README beschriebene udev-Regel.</translation>
    </message>
    <message>
        <source>You have no permission to open the port %1.</source>
        <translation>Sie haben keine Berechtigung, die Schnittstelle %1 zu öffnen.</translation>
    </message>
    <message>
        <source>The port %1 is gone. Plug the device in again.</source>
        <translation>Die Schnittstelle %1 ist nicht mehr vorhanden. Stecken Sie das Gerät wieder ein.</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened: %2</source>
        <translation>Die Schnittstelle %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Export settings</source>
        <translation>Einstellungen exportieren</translation>
    </message>
    <message>
        <source>JSON Files (*.json)</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <source>Import settings</source>
        <translation>Einstellungen importieren</translation>
    </message>
    <message>
        <source>Settings not exported to %1: %2.</source>
        <extracomment>%1 is the file, %2 why the device&apos;s settings are not known
----------
%1 is the file, %2 the reason</extracomment>
        <translation>Einstellungen nicht nach %1 exportiert: %2.</translation>
    </message>
    <message>
        <source>Settings exported to %1</source>
        <translation>Einstellungen nach %1 exportiert</translation>
    </message>
    <message>
        <source>Settings not imported from %1: %2. Nothing was sent.</source>
        <extracomment>%1 is the file, %2 why the device&apos;s settings are not known
----------
%1 is the file, %2 the reason</extracomment>
        <translation>Einstellungen nicht aus %1 importiert: %2. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Settings not exported to %1: an import is still waiting for the device.</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Einstellungen nicht nach %1 exportiert: Ein Import wartet noch auf das Gerät.</translation>
    </message>
    <message>
        <source>Settings not imported from %1: the import before is still waiting for the device. Nothing was sent.</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Einstellungen nicht aus %1 importiert: Der vorige Import wartet noch auf das Gerät. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Settings from %1 sent; waiting for the device to confirm them.</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Einstellungen aus %1 gesendet; warte auf die Bestätigung des Geräts.</translation>
    </message>
    <message>
        <source>Settings imported from %1: 1 value confirmed by the device</source>
        <extracomment>%1 is the file, %2 how many settings the device reported back as written</extracomment>
        <translation>Einstellungen aus %1 importiert: 1 Wert vom Gerät bestätigt</translation>
    </message>
    <message>
        <source>Settings imported from %1: %2 values confirmed by the device</source>
        <translation>Einstellungen aus %1 importiert: %2 Werte vom Gerät bestätigt</translation>
    </message>
    <message>
        <source>Settings not imported as written from %1: the device kept other values</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Einstellungen aus %1 nicht wie geschrieben importiert: Das Gerät hat andere Werte behalten</translation>
    </message>
    <message>
        <source>Settings not imported from %1: the device did not confirm %2 of %3 within %4 s</source>
        <extracomment>%1 is the file, %2 how many settings the device did not report back, %3 how many were sent, %4 seconds</extracomment>
        <translation>Einstellungen nicht aus %1 importiert: Das Gerät hat %2 von %3 nicht innerhalb von %4 s bestätigt</translation>
    </message>
    <message>
        <source>no device is connected</source>
        <translation>es ist kein Gerät verbunden</translation>
    </message>
    <message>
        <source>the device&apos;s platform is in its bootloader and reports no settings</source>
        <translation>die Plattform des Geräts ist in ihrem Bootloader und meldet keine Einstellungen</translation>
    </message>
    <message>
        <source>the device has not reported its settings yet</source>
        <translation>das Gerät hat seine Einstellungen noch nicht gemeldet</translation>
    </message>
    <message>
        <source>Voltage (V)</source>
        <translation>Spannung (V)</translation>
    </message>
    <message>
        <source>Current (A)</source>
        <translation>Strom (A)</translation>
    </message>
    <message>
        <source>Power (kW, kVAr, kVA)</source>
        <translation>Leistung (kW, kVAr, kVA)</translation>
    </message>
    <message>
        <source>Record measurements</source>
        <translation>Messwerte aufzeichnen</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Recording every measurement that arrives.</source>
        <translation>Jeder eintreffende Messwert wird aufgezeichnet.</translation>
    </message>
    <message>
        <source>The recording was saved.</source>
        <translation>Die Aufzeichnung wurde gespeichert.</translation>
    </message>
    <message>
        <source>Leaving the Data page ended the recording; it was saved.</source>
        <translation>Das Verlassen der Seite Daten hat die Aufzeichnung beendet; sie wurde gespeichert.</translation>
    </message>
    <message>
        <source>The device has gone away; the recording was saved.</source>
        <translation>Das Gerät ist nicht mehr verbunden; die Aufzeichnung wurde gespeichert.</translation>
    </message>
    <message>
        <source>1 row</source>
        <translation>1 Zeile</translation>
    </message>
    <message>
        <source>%1 rows</source>
        <translation>%1 Zeilen</translation>
    </message>
    <message>
        <source>Open software update package</source>
        <translation>Software-Updatepaket öffnen</translation>
    </message>
    <message>
        <source>Archives (*.tar)</source>
        <translation>Archive (*.tar)</translation>
    </message>
    <message>
        <source>Waiting for the device to restart</source>
        <translation>Warten auf den Neustart des Geräts</translation>
    </message>
    <message>
        <source>Send: </source>
        <translation>Senden: </translation>
    </message>
    <message>
        <source>Receive: </source>
        <translation>Empfangen: </translation>
    </message>
    <message>
        <source>Save log</source>
        <translation>Protokoll speichern</translation>
    </message>
    <message>
        <source>Log Files (*.log *.txt);;All Files (*)</source>
        <translation>Protokolldateien (*.log *.txt);;Alle Dateien (*)</translation>
    </message>
    <message numerus="yes">
        <source>Log saved to %1 (%n line(s))</source>
        <translation>
            <numerusform>Protokoll in %1 gespeichert (%n Zeile)</numerusform>
            <numerusform>Protokoll in %1 gespeichert (%n Zeilen)</numerusform>
        </translation>
    </message>
    <message>
        <source>The log could not be saved to %1: %2</source>
        <translation>Das Protokoll konnte nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Open binary file</source>
        <translation>Binärdatei öffnen</translation>
    </message>
    <message>
        <source>Binary Files (*.bin *.crypt)</source>
        <translation>Binärdateien (*.bin *.crypt)</translation>
    </message>
    <message>
        <source>Filename: </source>
        <translation>Dateiname: </translation>
    </message>
    <message>
        <source>The file %1 cannot be read: %2</source>
        <translation>Die Datei %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Security Error! Wrong Digest</source>
        <translation>Sicherheitsfehler! Falscher Digest</translation>
    </message>
    <message>
        <source>Undercurrent threshold %1 → %2, limited by the nominal current</source>
        <extracomment>%1 the threshold before, %2 after, both with their unit</extracomment>
        <translation>Unterstrom-Schwellwert %1 → %2, begrenzt durch den Nennstrom</translation>
    </message>
    <message>
        <source>Load asymmetry threshold %1 → %2, limited by the nominal current</source>
        <extracomment>%1 the threshold before, %2 after, both with their unit</extracomment>
        <translation>Lastunsymmetrie-Schwellwert %1 → %2, begrenzt durch den Nennstrom</translation>
    </message>
    <message>
        <source>Not reset: no device is connected.</source>
        <translation>Nicht zurückgesetzt: Es ist kein Gerät verbunden.</translation>
    </message>
    <message>
        <source>Reset to factory settings</source>
        <translation>Auf Werkseinstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>Reset the device with serial number %1 to its factory settings?

Every protection setting on it goes back to its factory value.</source>
        <translation>Das Gerät mit der Seriennummer %1 auf Werkseinstellungen zurücksetzen?

Jede Schutzeinstellung des Geräts erhält wieder ihren Werkswert.</translation>
    </message>
    <message>
        <source>Reset the device on %1 to its factory settings?

Every protection setting on it goes back to its factory value.</source>
        <translation>Das Gerät an %1 auf Werkseinstellungen zurücksetzen?

Jede Schutzeinstellung des Geräts erhält wieder ihren Werkswert.</translation>
    </message>
    <message>
        <source>Factory reset sent to the device with serial number %1.</source>
        <translation>Zurücksetzen auf Werkseinstellungen an das Gerät mit der Seriennummer %1 gesendet.</translation>
    </message>
    <message>
        <source>Factory reset sent to the device on %1.</source>
        <translation>Zurücksetzen auf Werkseinstellungen an das Gerät an %1 gesendet.</translation>
    </message>
    <message>
        <source>A package update is running: wait until it has ended, then start again</source>
        <translation>Eine Paketaktualisierung läuft: warten Sie, bis sie beendet ist, und starten Sie dann erneut</translation>
    </message>
    <message>
        <source>K27 Status: Bootloader</source>
        <translation>K27 Status: Bootloader</translation>
    </message>
    <message>
        <source>The platform runs its bootloader: its last update did not finish. Open an update package to complete it.</source>
        <translation>Die Plattform läuft in ihrem Bootloader: ihr letztes Update wurde nicht abgeschlossen. Öffnen Sie ein Update-Paket, um es abzuschließen.</translation>
    </message>
    <message>
        <source>The display runs its bootloader: its last update did not finish. Open an update package to complete it.</source>
        <translation>Das Display läuft in seinem Bootloader: sein letztes Update wurde nicht abgeschlossen. Öffnen Sie ein Update-Paket, um es abzuschließen.</translation>
    </message>
    <message>
        <source>Not available while the platform runs its bootloader: %1.</source>
        <translation>Nicht verfügbar, solange die Plattform in ihrem Bootloader läuft: %1.</translation>
    </message>
    <message>
        <source>The device is not connected. Connect it again, then open the update package to complete the update.</source>
        <translation>Das Gerät ist nicht verbunden. Verbinden Sie es wieder und öffnen Sie dann das Update-Paket, um das Update abzuschließen.</translation>
    </message>
    <message>
        <source>The platform and the display run their application software. Open the update package again to complete the update.</source>
        <translation>Plattform und Display laufen mit ihrer Anwendungssoftware. Öffnen Sie das Update-Paket erneut, um das Update abzuschließen.</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>Platform %1</source>
        <translation>Platform %1</translation>
    </message>
    <message>
        <source>Display %1</source>
        <translation>Display %1</translation>
    </message>
    <message>
        <source>Update complete</source>
        <translation>Update abgeschlossen</translation>
    </message>
    <message>
        <source>Update complete: %1</source>
        <translation>Update abgeschlossen: %1</translation>
    </message>
    <message>
        <source>Platform %1 %</source>
        <translation>Platform %1 %</translation>
    </message>
    <message>
        <source>Display %1 %</source>
        <translation>Display %1 %</translation>
    </message>
    <message>
        <source>Starting the bootloader</source>
        <translation>Der Bootloader startet</translation>
    </message>
    <message>
        <source>The display finishes its update</source>
        <translation>Das Display schließt sein Update ab</translation>
    </message>
    <message>
        <source>Checking the installed software</source>
        <translation>Die installierte Software wird geprüft</translation>
    </message>
    <message>
        <source>Waiting for the device</source>
        <translation>Warten auf das Gerät</translation>
    </message>
    <message>
        <source>%1: %2 s</source>
        <translation>%1: %2 s</translation>
    </message>
    <message>
        <source>Step %1 of %2 · %3</source>
        <translation>Schritt %1 von %2 · %3</translation>
    </message>
    <message>
        <source>Save service report</source>
        <translation>Servicebericht speichern</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>Writing the report …</source>
        <translation>Der Bericht wird geschrieben …</translation>
    </message>
    <message>
        <source>Report written to %1</source>
        <translation>Bericht geschrieben nach %1</translation>
    </message>
    <message>
        <source>The report was not written to %1: %2</source>
        <translation>Der Bericht wurde nicht nach %1 geschrieben: %2</translation>
    </message>
    <message>
        <source>Update not started: the device has not confirmed the settings last written yet, so its settings cannot be saved. Nothing was sent.</source>
        <translation>Update nicht gestartet: Das Gerät hat die zuletzt geschriebenen Einstellungen noch nicht bestätigt, daher können seine Einstellungen nicht gesichert werden. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>the device has not reported its serial number yet</source>
        <translation>das Gerät hat seine Seriennummer noch nicht gemeldet</translation>
    </message>
    <message>
        <source>Settings not saved before the update: %1.</source>
        <extracomment>%1 is why the device&apos;s settings are not known</extracomment>
        <translation>Einstellungen vor dem Update nicht gesichert: %1.</translation>
    </message>
    <message>
        <source>Update not started: the device&apos;s settings could not be saved to %1: %2. Nothing was sent.</source>
        <extracomment>%1 is the file, %2 the reason</extracomment>
        <translation>Update nicht gestartet: Die Einstellungen des Geräts konnten nicht in %1 gesichert werden: %2. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Settings saved before the update to %1</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Einstellungen vor dem Update gesichert in %1</translation>
    </message>
    <message>
        <source>Waiting for the device&apos;s settings to compare them with %1 …</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Warte auf die Einstellungen des Geräts, um sie mit %1 zu vergleichen …</translation>
    </message>
    <message>
        <source>The settings saved before the update cannot be read from %1: %2</source>
        <extracomment>%1 is the file, %2 the reason</extracomment>
        <translation>Die vor dem Update gesicherten Einstellungen können nicht aus %1 gelesen werden: %2</translation>
    </message>
    <message>
        <source>Settings kept across the update: the device holds those saved in %1</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Einstellungen über das Update erhalten: Das Gerät hat die in %1 gesicherten Einstellungen</translation>
    </message>
    <message>
        <source>The update changed settings of the device. They were saved before it in %1:</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Das Update hat Einstellungen des Geräts geändert. Sie wurden vorher in %1 gesichert:</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Einstellung</translation>
    </message>
    <message>
        <source>Now on the device</source>
        <translation>Jetzt im Gerät</translation>
    </message>
    <message>
        <source>Before the update</source>
        <translation>Vor dem Update</translation>
    </message>
    <message>
        <source>Settings not restored from %1: %2. Nothing was sent.</source>
        <extracomment>%1 is the file, %2 the reason</extracomment>
        <translation>Einstellungen nicht aus %1 wiederhergestellt: %2. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>the settings last written are still waiting for the device</source>
        <translation>die zuletzt geschriebenen Einstellungen warten noch auf das Gerät</translation>
    </message>
    <message>
        <source>The device already holds the settings saved in %1. Nothing was sent.</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Das Gerät hat bereits die in %1 gesicherten Einstellungen. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Settings restored from %1: 1 value confirmed by the device</source>
        <extracomment>%1 is the file, %2 how many settings the device reported back as written</extracomment>
        <translation>Einstellungen aus %1 wiederhergestellt: 1 Wert vom Gerät bestätigt</translation>
    </message>
    <message>
        <source>Settings restored from %1: %2 values confirmed by the device</source>
        <translation>Einstellungen aus %1 wiederhergestellt: %2 Werte vom Gerät bestätigt</translation>
    </message>
    <message>
        <source>Settings not restored as saved in %1: the device kept other values</source>
        <extracomment>%1 is the file</extracomment>
        <translation>Einstellungen nicht wie in %1 gesichert wiederhergestellt: Das Gerät hat andere Werte behalten</translation>
    </message>
    <message>
        <source>Settings not restored from %1: the device did not confirm %2 of %3 within %4 s</source>
        <extracomment>%1 is the file, %2 how many settings the device did not report back, %3 how many were sent, %4 seconds</extracomment>
        <translation>Einstellungen nicht aus %1 wiederhergestellt: Das Gerät hat %2 von %3 nicht innerhalb von %4 s bestätigt</translation>
    </message>
</context>
<context>
    <name>K27SubScreenAboutPage</name>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;p style=&quot;font-size:14pt; font-weight:bold;&quot;&gt;TORVEX®K27 ServiceTool&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p style=&quot;font-size:14pt; font-weight:bold;&quot;&gt;TORVEX®K27 ServiceTool&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;p style=&quot;font-weight:bold;&quot;&gt;Legal notice&lt;/p&gt;&lt;p&gt;Kelmor GmbH&lt;br/&gt;Industriestraße 27&lt;br/&gt;12345 Musterstadt&lt;br/&gt;Germany&lt;/p&gt;&lt;p&gt;Registered office: Musterstadt&lt;br/&gt;Commercial register: Musterstadt local court, HRB 12345&lt;br/&gt;VAT ID: DE000000000&lt;/p&gt;&lt;p&gt;Phone: +49 1234 5678-0&lt;br/&gt;Mail: &lt;a href=&quot;mailto:service@kelmor.example&quot;&gt;service@kelmor.example&lt;/a&gt;&lt;br/&gt;Web: &lt;a href=&quot;https://www.kelmor.example&quot;&gt;www.kelmor.example&lt;/a&gt;&lt;/p&gt;&lt;p&gt;Management: Anna Berger, Thomas Keller&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p style=&quot;font-weight:bold;&quot;&gt;Impressum&lt;/p&gt;&lt;p&gt;Kelmor GmbH&lt;br/&gt;Industriestraße 27&lt;br/&gt;12345 Musterstadt&lt;br/&gt;Deutschland&lt;/p&gt;&lt;p&gt;Sitz der Gesellschaft: Musterstadt&lt;br/&gt;Handelsregister: Amtsgericht Musterstadt, HRB 12345&lt;br/&gt;USt-IdNr.: DE000000000&lt;/p&gt;&lt;p&gt;Telefon: +49 1234 5678-0&lt;br/&gt;E-Mail: &lt;a href=&quot;mailto:service@kelmor.example&quot;&gt;service@kelmor.example&lt;/a&gt;&lt;br/&gt;Web: &lt;a href=&quot;https://www.kelmor.example&quot;&gt;www.kelmor.example&lt;/a&gt;&lt;/p&gt;&lt;p&gt;Geschäftsführung: Anna Berger, Thomas Keller&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;p style=&quot;font-weight:bold;&quot;&gt;General terms of use for software tools&lt;/p&gt;&lt;p&gt;&lt;b&gt;1. Scope.&lt;/b&gt; These terms apply to every software tool that Kelmor GmbH provides for its products, including the TORVEX®K27 ServiceTool.&lt;/p&gt;&lt;p&gt;&lt;b&gt;2. Rights of use.&lt;/b&gt; You may install and use the software free of charge to set up, operate and maintain Kelmor products. You may not change, decompile or pass on the software for a fee.&lt;/p&gt;&lt;p&gt;&lt;b&gt;3. Disclaimer of liability.&lt;/b&gt; The software is provided as it is. Kelmor GmbH is liable only for intent and gross negligence; liability for lost data, lost profit and consequential damage is excluded as far as the law permits.&lt;/p&gt;&lt;p&gt;The full terms are available at &lt;a href=&quot;https://www.kelmor.example/terms&quot;&gt;www.kelmor.example/terms&lt;/a&gt;.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p style=&quot;font-weight:bold;&quot;&gt;Allgemeine Nutzungsbedingungen für Software-Werkzeuge&lt;/p&gt;&lt;p&gt;&lt;b&gt;1. Geltungsbereich.&lt;/b&gt; Diese Bedingungen gelten für jedes Software-Werkzeug, das die Kelmor GmbH für ihre Produkte bereitstellt, einschließlich des TORVEX®K27 ServiceTool.&lt;/p&gt;&lt;p&gt;&lt;b&gt;2. Nutzungsrechte.&lt;/b&gt; Sie dürfen die Software kostenlos installieren und nutzen, um Produkte der Kelmor GmbH einzurichten, zu betreiben und zu warten. Sie dürfen die Software nicht verändern, dekompilieren oder gegen Entgelt weitergeben.&lt;/p&gt;&lt;p&gt;&lt;b&gt;3. Haftungsausschluss.&lt;/b&gt; Die Software wird bereitgestellt, wie sie ist. Die Kelmor GmbH haftet nur für Vorsatz und grobe Fahrlässigkeit; die Haftung für verlorene Daten, entgangenen Gewinn und Folgeschäden ist ausgeschlossen, soweit das Gesetz es zulässt.&lt;/p&gt;&lt;p&gt;Die vollständigen Bedingungen finden Sie unter &lt;a href=&quot;https://www.kelmor.example/terms&quot;&gt;www.kelmor.example/terms&lt;/a&gt;.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>K27SubScreenConfigurationPage</name>
    <message>
        <source>GENERAL</source>
        <translation>ALLGEMEIN</translation>
    </message>
    <message>
        <source>LOAD ASYMMETRY</source>
        <translation>LASTUNSYMMETRIE</translation>
    </message>
    <message>
        <source>Softstart</source>
        <translation>Sanftanlauf</translation>
    </message>
    <message>
        <source>UNDERCURRENT</source>
        <translation>UNTERSTROM</translation>
    </message>
    <message>
        <source>UNDERVOLTAGE</source>
        <translation>UNTERSPANNUNG</translation>
    </message>
    <message>
        <source>OVERVOLTAGE</source>
        <translation>ÜBERSPANNUNG</translation>
    </message>
    <message>
        <source>Nominal Current (A)</source>
        <translation>Nennstrom (A)</translation>
    </message>
    <message>
        <source>Automatic Reset</source>
        <translation>Automatischer Reset</translation>
    </message>
    <message>
        <source>Trip Class</source>
        <translation>Auslöseklasse</translation>
    </message>
    <message>
        <source>Threshold (A)</source>
        <translation>Schwellwert (A)</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <source>Fault Type</source>
        <translation>Fehlerart</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Threshold (V)</source>
        <translation>Schwellwert (V)</translation>
    </message>
    <message>
        <source>EXPORT</source>
        <translation>EXPORTIEREN</translation>
    </message>
    <message>
        <source>IMPORT</source>
        <translation>IMPORTIEREN</translation>
    </message>
    <message>
        <source>RESET TO FACTORY SETTINGS</source>
        <translation>AUF WERKSEINSTELLUNGEN ZURÜCKSETZEN</translation>
    </message>
</context>
<context>
    <name>K27SubScreenControlPage</name>
    <message>
        <source>FORWARD</source>
        <translation>VORWÄRTS</translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation>RÜCKWÄRTS</translation>
    </message>
    <message>
        <source>MOTOR-STOP</source>
        <translation>MOTOR-STOPP</translation>
    </message>
    <message>
        <source>Softstart</source>
        <translation>Sanftanlauf</translation>
    </message>
</context>
<context>
    <name>K27SubScreenDataPage</name>
    <message>
        <source>VOLTAGE</source>
        <translation>SPANNUNG</translation>
    </message>
    <message>
        <source>CURRENT</source>
        <translation>STROM</translation>
    </message>
    <message>
        <source>POWER</source>
        <translation>LEISTUNG</translation>
    </message>
    <message>
        <source>Voltage L1 - N</source>
        <translation>Spannung L1 - N</translation>
    </message>
    <message>
        <source>Voltage L2 - N</source>
        <translation>Spannung L2 - N</translation>
    </message>
    <message>
        <source>Voltage L3 - N</source>
        <translation>Spannung L3 - N</translation>
    </message>
    <message>
        <source>Current L1</source>
        <translation>Strom L1</translation>
    </message>
    <message>
        <source>Current L2</source>
        <translation>Strom L2</translation>
    </message>
    <message>
        <source>Current L3</source>
        <translation>Strom L3</translation>
    </message>
    <message>
        <source>Active Power</source>
        <translation>Wirkleistung</translation>
    </message>
    <message>
        <source>Reactive Power</source>
        <translation>Blindleistung</translation>
    </message>
    <message>
        <source>Apparent Power</source>
        <translation>Scheinleistung</translation>
    </message>
    <message>
        <source>RECORD</source>
        <translation>AUFZEICHNEN</translation>
    </message>
    <message>
        <source>Write every measurement that arrives to a CSV file</source>
        <translation>Jeden eintreffenden Messwert in eine CSV-Datei schreiben</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>STOPP</translation>
    </message>
    <message>
        <source>End the recording and save the file</source>
        <translation>Aufzeichnung beenden und die Datei speichern</translation>
    </message>
</context>
<context>
    <name>K27SubScreenDemoPage</name>
    <message>
        <source>Operation Mode</source>
        <translation>Betriebsart</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>Stillstand</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vorwärts</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Rückwärts</translation>
    </message>
    <message>
        <source>SafetyStop</source>
        <translation>Sicherheitsstopp</translation>
    </message>
    <message>
        <source>SHOW OPERATION MODE</source>
        <translation>BETRIEBSART ANZEIGEN</translation>
    </message>
    <message>
        <source>Warning Handling</source>
        <translation>Warnungsbehandlung</translation>
    </message>
    <message>
        <source>DeviceOK</source>
        <translation>Gerät OK</translation>
    </message>
    <message>
        <source>Overload</source>
        <translation>Überlast</translation>
    </message>
    <message>
        <source>PhaseAsymmetry</source>
        <translation>Phasenunsymmetrie</translation>
    </message>
    <message>
        <source>Undercurrent</source>
        <translation>Unterstrom</translation>
    </message>
    <message>
        <source>SupplyLoss</source>
        <translation>Netzausfall</translation>
    </message>
    <message>
        <source>UndervoltageSupply</source>
        <translation>Unterspannung Netz</translation>
    </message>
    <message>
        <source>OvervoltageSupply</source>
        <translation>Überspannung Netz</translation>
    </message>
    <message>
        <source>Overtemperature</source>
        <translation>Übertemperatur</translation>
    </message>
    <message>
        <source>UndervoltageControl</source>
        <translation>Unterspannung Hilfsversorgung</translation>
    </message>
    <message>
        <source>OvervoltageControl</source>
        <translation>Überspannung Hilfsversorgung</translation>
    </message>
    <message>
        <source>SecurityClearance</source>
        <translation>Sicherheitsfreigabe</translation>
    </message>
    <message>
        <source>SwitchingFrequency</source>
        <translation>Schalthäufigkeit</translation>
    </message>
    <message>
        <source>SHOW WARNING</source>
        <translation>WARNUNG ANZEIGEN</translation>
    </message>
    <message>
        <source>Error Handling</source>
        <translation>Fehlerbehandlung</translation>
    </message>
    <message>
        <source>ShortCircuit</source>
        <translation>Kurzschluss</translation>
    </message>
    <message>
        <source>DeviceError</source>
        <translation>Gerätefehler</translation>
    </message>
    <message>
        <source>SHOW ERROR</source>
        <translation>FEHLER ANZEIGEN</translation>
    </message>
</context>
<context>
    <name>K27SubScreenInformationPage</name>
    <message>
        <source>RESET ERROR</source>
        <translation>FEHLER ZURÜCKSETZEN</translation>
    </message>
    <message>
        <source>ARTICLE NUMBER</source>
        <translation>ARTIKELNUMMER</translation>
    </message>
    <message>
        <source>SERIAL NUMBER</source>
        <translation>SERIENNUMMER</translation>
    </message>
    <message>
        <source>SOFTWARE-VERSION</source>
        <translation>SOFTWARE-VERSION</translation>
    </message>
    <message>
        <source>HARDWARE-REVISION</source>
        <translation>HARDWARE-REVISION</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;p style=&quot;font-size:14pt; font-weight:bold;&quot;&gt;Software Update&lt;/p&gt;&lt;p style=&quot;font-size:12pt; font-weight:bold;&quot;&gt;Hint&lt;/p&gt;&lt;p&gt;Update the firmware of your device regularly: every new firmware brings the latest features and fixes for your TORVEX®K27.&lt;/p&gt;&lt;p&gt;Register for the download of the TORVEX®K27 ServiceTool and we will tell you by mail as soon as new firmware is available.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p style=&quot;font-size:14pt; font-weight:bold;&quot;&gt;Software-Update&lt;/p&gt;&lt;p style=&quot;font-size:12pt; font-weight:bold;&quot;&gt;Hinweis&lt;/p&gt;&lt;p&gt;Aktualisieren Sie die Firmware Ihres Geräts regelmäßig: Jede neue Firmware bringt die neuesten Funktionen und Korrekturen für Ihren TORVEX®K27.&lt;/p&gt;&lt;p&gt;Registrieren Sie sich für den Download des TORVEX®K27 ServiceTool, und wir informieren Sie per E-Mail, sobald neue Firmware verfügbar ist.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>SEARCH FOR NEW FIRMWARE</source>
        <translation>NACH NEUER FIRMWARE SUCHEN</translation>
    </message>
    <message>
        <source>START UPDATE</source>
        <translation>UPDATE STARTEN</translation>
    </message>
    <message>
        <source>REPORT</source>
        <translation>BERICHT</translation>
    </message>
    <message>
        <source>RESTORE</source>
        <translation>WIEDERHERSTELLEN</translation>
    </message>
</context>
<context>
    <name>K27SubScreenServiceModePage</name>
    <message>
        <source>IDLE</source>
        <translation>STILLSTAND</translation>
    </message>
    <message>
        <source>FORWARD</source>
        <translation>VORWÄRTS</translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation>RÜCKWÄRTS</translation>
    </message>
    <message>
        <source>K27 Status:</source>
        <translation>K27 Status:</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Befehle</translation>
    </message>
    <message>
        <source>Supported Commands</source>
        <translation>Unterstützte Befehle</translation>
    </message>
    <message>
        <source>Command Arguments</source>
        <translation>Befehlsargumente</translation>
    </message>
    <message>
        <source>Argument 1</source>
        <translation>Argument 1</translation>
    </message>
    <message>
        <source>Argument 2</source>
        <translation>Argument 2</translation>
    </message>
    <message>
        <source>Argument 3</source>
        <translation>Argument 3</translation>
    </message>
    <message>
        <source>Argument 4</source>
        <translation>Argument 4</translation>
    </message>
    <message>
        <source>Argument 5</source>
        <translation>Argument 5</translation>
    </message>
    <message>
        <source>EXECUTE COMMAND</source>
        <translation>BEFEHL AUSFÜHREN</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Software-Update</translation>
    </message>
    <message>
        <source>Platform</source>
        <translation>Plattform</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>OPEN FILE</source>
        <translation>DATEI ÖFFNEN</translation>
    </message>
    <message>
        <source>Filename:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>START UPDATE</source>
        <translation>UPDATE STARTEN</translation>
    </message>
    <message>
        <source>Motor Control</source>
        <translation>Motorsteuerung</translation>
    </message>
    <message>
        <source>Enable Log Output</source>
        <translation>Protokollausgabe aktivieren</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>LEEREN</translation>
    </message>
    <message>
        <source>SAVE LOG</source>
        <translation>PROTOKOLL SPEICHERN</translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
    <message>
        <source>Device %1 disconnected at %2.</source>
        <extracomment>%1 is the device's serial number (or its port), %2 the time</extracomment>
        <translation>Gerät %1 um %2 getrennt.</translation>
    </message>
    <message>
        <source>Device on %1 connected at %2.</source>
        <extracomment>%1 is the device's port, %2 the time</extracomment>
        <translation>Gerät an %1 um %2 verbunden.</translation>
    </message>
    <message>
        <source>TORVEX®K27 ServiceTool</source>
        <translation>TORVEX®K27 ServiceTool</translation>
    </message>
    <message>
        <source>TORVEX®K27</source>
        <translation>TORVEX®K27</translation>
    </message>
    <message>
        <source>ServiceTool</source>
        <translation>ServiceTool</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>Logged in as %1</source>
        <extracomment>%1 is the user level: Customer, Supervisor, Admin or Demo</extracomment>
        <translation>Angemeldet als %1</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Kunde</translation>
    </message>
    <message>
        <source>Supervisor</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>Admin</source>
        <translation>Admin</translation>
    </message>
    <message>
        <source>Demo</source>
        <translation>Demo</translation>
    </message>
    <message>
        <source>nobody</source>
        <translation>niemand</translation>
    </message>
    <message>
        <source>A firmware update of %1 is running. Closing now ends it, and the device may be left in its bootloader until it is updated again.

Close anyway?</source>
        <extracomment>%1 names the devices being updated</extracomment>
        <translation>Eine Firmware-Aktualisierung von %1 läuft. Schließen beendet sie jetzt, und das Gerät kann in seinem Bootloader bleiben, bis es erneut aktualisiert wird.

Trotzdem schließen?</translation>
    </message>
    <message>
        <source>Close during an update?</source>
        <translation>Während einer Aktualisierung schließen?</translation>
    </message>
</context>
<context>
    <name>MeasurementRecorder</name>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Recording into %1 failed: %2; the file was not changed</source>
        <translation>Die Aufzeichnung in %1 ist fehlgeschlagen: %2; die Datei wurde nicht verändert</translation>
    </message>
</context>
<context>
    <name>MeasurementTrend</name>
    <message>
        <source>Time since start (min:s)</source>
        <translation>Zeit seit Start (min:s)</translation>
    </message>
</context>
<context>
    <name>Service::K27::FirmwareImageCipher</name>
    <message>
        <source>the image verifies</source>
        <translation>das Abbild ist gültig</translation>
    </message>
    <message>
        <source>the file is too short to be an encrypted image</source>
        <translation>die Datei ist zu kurz für ein verschlüsseltes Abbild</translation>
    </message>
    <message>
        <source>the ciphertext is not a whole number of 16-byte blocks</source>
        <translation>der verschlüsselte Teil besteht nicht aus ganzen 16-Byte-Blöcken</translation>
    </message>
    <message>
        <source>the plain length does not fit the payload</source>
        <translation>die Klartextlänge passt nicht zu den Nutzdaten</translation>
    </message>
    <message>
        <source>the digest does not match (wrong key or altered image)</source>
        <translation>der Hashwert stimmt nicht (falscher Schlüssel oder verändertes Abbild)</translation>
    </message>
    <message>
        <source>the fill after the plain length is not zero (altered plain length)</source>
        <translation>die Füllbytes nach der Klartextlänge sind nicht null (veränderte Klartextlänge)</translation>
    </message>
</context>
<context>
    <name>Service::K27::PackageUpdateService</name>
    <message>
        <source>Cannot read the package: %1</source>
        <translation>Das Paket kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The package is incomplete: it ends inside a file</source>
        <translation>Das Paket ist unvollständig: es endet mitten in einer Datei</translation>
    </message>
    <message>
        <source>The package has no version.json</source>
        <translation>Das Paket enthält keine version.json</translation>
    </message>
    <message>
        <source>The package&apos;s version.json is not a valid manifest</source>
        <translation>Die version.json des Pakets ist kein gültiges Manifest</translation>
    </message>
    <message>
        <source>The package names the firmware image %1, which it does not hold</source>
        <translation>Das Paket nennt das Firmware-Abbild %1, enthält es aber nicht</translation>
    </message>
    <message>
        <source>Security Error! Wrong Digest</source>
        <translation>Sicherheitsfehler! Falscher Hashwert</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>The package holds no firmware image for this device</source>
        <translation>Das Paket enthält kein Firmware-Abbild für dieses Gerät</translation>
    </message>
    <message>
        <source>The platform was updated, but the device did not come back within %1 s; the display was not updated</source>
        <translation>Die Platform wurde aktualisiert, aber das Gerät kam nicht innerhalb von %1 s zurück; das Display wurde nicht aktualisiert</translation>
    </message>
    <message>
        <source>The platform was updated, but the device did not come back within %1 s</source>
        <translation>Die Platform wurde aktualisiert, aber das Gerät kam nicht innerhalb von %1 s zurück</translation>
    </message>
    <message>
        <source>The device did not come back within %1 s after it was sent into its bootloader; nothing was sent</source>
        <translation>Das Gerät kam nicht innerhalb von %1 s aus seinem Bootloader zurück; es wurde nichts gesendet</translation>
    </message>
    <message>
        <source>Platform: %1</source>
        <translation>Platform: %1</translation>
    </message>
    <message>
        <source>Display: %1</source>
        <translation>Display: %1</translation>
    </message>
    <message>
        <source>Another update is running: wait until it has ended, then start again</source>
        <translation>Eine andere Aktualisierung läuft: warten Sie, bis sie beendet ist, und starten Sie dann erneut</translation>
    </message>
    <message>
        <source>The platform is still in its bootloader: its transfer did not finish</source>
        <translation>Die Platform ist noch in ihrem Bootloader: ihre Übertragung wurde nicht abgeschlossen</translation>
    </message>
    <message>
        <source>The display is still in its bootloader: its transfer did not finish</source>
        <translation>Das Display ist noch in seinem Bootloader: seine Übertragung wurde nicht abgeschlossen</translation>
    </message>
    <message>
        <source>The platform did not report its application after its update: its state is unknown</source>
        <translation>Die Platform hat nach ihrer Aktualisierung ihre Anwendung nicht gemeldet: ihr Zustand ist unbekannt</translation>
    </message>
    <message>
        <source>The display did not report its application after its update: its state is unknown</source>
        <translation>Das Display hat nach seiner Aktualisierung seine Anwendung nicht gemeldet: sein Zustand ist unbekannt</translation>
    </message>
    <message>
        <source>The platform runs its application but did not report its version</source>
        <translation>Die Platform führt ihre Anwendung aus, hat aber ihre Version nicht gemeldet</translation>
    </message>
    <message>
        <source>The display runs its application but did not report its version</source>
        <translation>Das Display führt seine Anwendung aus, hat aber seine Version nicht gemeldet</translation>
    </message>
    <message>
        <source>The platform reports %1, not the package&apos;s %2</source>
        <translation>Die Platform meldet %1, nicht die %2 des Pakets</translation>
    </message>
    <message>
        <source>The display reports %1, not the package&apos;s %2</source>
        <translation>Das Display meldet %1, nicht die %2 des Pakets</translation>
    </message>
</context>
<context>
    <name>Service::K27::UpdateControlService</name>
    <message>
        <source>Security Error! Wrong Digest</source>
        <translation>Sicherheitsfehler! Falscher Hashwert</translation>
    </message>
    <message>
        <source>The firmware image is empty</source>
        <translation>Das Firmware-Abbild ist leer</translation>
    </message>
    <message>
        <source>The firmware image is too large: a device takes at most %1 blocks of 512 bytes</source>
        <translation>Das Firmware-Abbild ist zu groß: ein Gerät nimmt höchstens %1 Blöcke zu 512 Byte an</translation>
    </message>
    <message>
        <source>The device did not ask for the first of %1 blocks</source>
        <translation>Das Gerät hat den ersten von %1 Blöcken nicht angefordert</translation>
    </message>
    <message>
        <source>The device stopped asking for data at block %1 of %2</source>
        <translation>Das Gerät hat bei Block %1 von %2 aufgehört, Daten anzufordern</translation>
    </message>
    <message>
        <source>Another update is running: wait until it has ended, then start again</source>
        <translation>Eine andere Aktualisierung läuft: warten Sie, bis sie beendet ist, und starten Sie dann erneut</translation>
    </message>
</context>
<context>
    <name>Service::K27::VersionParser</name>
    <message>
        <source>platform application</source>
        <translation>Platform-Anwendung</translation>
    </message>
    <message>
        <source>platform bootloader</source>
        <translation>Platform-Bootloader</translation>
    </message>
    <message>
        <source>display application</source>
        <translation>Display-Anwendung</translation>
    </message>
    <message>
        <source>display bootloader</source>
        <translation>Display-Bootloader</translation>
    </message>
    <message>
        <source>version.json: the %2 version &quot;%1&quot; has a part above 255</source>
        <extracomment>%1 is a version text (&quot;V0.0.0.256&quot;), %2 an image (&quot;platform application&quot;)</extracomment>
        <translation>version.json: Die Version &quot;%1&quot; (%2) hat einen Teil über 255</translation>
    </message>
    <message>
        <source>version.json names the file &quot;%1&quot; for two controllers: %2 and %3</source>
        <extracomment>%1 is a file of the package, %2 and %3 images (&quot;platform application&quot;)</extracomment>
        <translation>version.json nennt die Datei &quot;%1&quot; für zwei Controller: %2 und %3</translation>
    </message>
    <message>
        <source>version.json gives the key &quot;%1&quot; twice</source>
        <extracomment>%1 is a key of the manifest (&quot;Platform.Application.Path&quot;)</extracomment>
        <translation>version.json enthält den Schlüssel &quot;%1&quot; zweimal</translation>
    </message>
</context>
<context>
    <name>Service::K27::ZantLinkTerminalService</name>
    <message numerus="yes">
        <source>ID: %1 (%2): %n content byte(s) fit no content of its type; dropped (%3 so far)</source>
        <translation>
            <numerusform>ID: %1 (%2): %n Inhaltsbyte passt zu keinem Inhalt seines Typs; verworfen (bisher %3)</numerusform>
            <numerusform>ID: %1 (%2): %n Inhaltsbytes passen zu keinem Inhalt seines Typs; verworfen (bisher %3)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ServiceReport</name>
    <message>
        <source>not reported</source>
        <translation>nicht gemeldet</translation>
    </message>
    <message>
        <source>enabled</source>
        <translation>aktiviert</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>deaktiviert</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Service report</source>
        <translation>Servicebericht</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Bericht</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>Tool version</source>
        <translation>Version des ServiceTools</translation>
    </message>
    <message>
        <source>User level</source>
        <translation>Benutzerebene</translation>
    </message>
    <message>
        <source>day %1, week %2, %3</source>
        <translation>Tag %1, Woche %2, %3</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Device name</source>
        <translation>Gerätename</translation>
    </message>
    <message>
        <source>Article number and index</source>
        <translation>Artikelnummer und Index</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Production date</source>
        <translation>Produktionsdatum</translation>
    </message>
    <message>
        <source>Hardware IDs (controller : power : display board)</source>
        <translation>Hardware-IDs (Steuer- : Leistungs- : Displayplatine)</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Software</translation>
    </message>
    <message>
        <source>Platform controller</source>
        <translation>Plattform-Controller</translation>
    </message>
    <message>
        <source>Display controller</source>
        <translation>Display-Controller</translation>
    </message>
    <message>
        <source>%1: threshold</source>
        <translation>%1: Schwellwert</translation>
    </message>
    <message>
        <source>%1: fault type</source>
        <translation>%1: Fehlerart</translation>
    </message>
    <message>
        <source>Trip class</source>
        <translation>Auslöseklasse</translation>
    </message>
    <message>
        <source>Class %1</source>
        <translation>Klasse %1</translation>
    </message>
    <message>
        <source>Nominal current</source>
        <translation>Nennstrom</translation>
    </message>
    <message>
        <source>Automatic reset</source>
        <translation>Automatischer Reset</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manuell</translation>
    </message>
    <message>
        <source>Undercurrent</source>
        <translation>Unterstrom</translation>
    </message>
    <message>
        <source>Undervoltage</source>
        <translation>Unterspannung</translation>
    </message>
    <message>
        <source>Overvoltage</source>
        <translation>Überspannung</translation>
    </message>
    <message>
        <source>Load asymmetry</source>
        <translation>Lastunsymmetrie</translation>
    </message>
    <message>
        <source>Protection settings</source>
        <translation>Schutzeinstellungen</translation>
    </message>
    <message>
        <source>unknown (%1)</source>
        <translation>unbekannt (%1)</translation>
    </message>
    <message>
        <source>Faults</source>
        <translation>Störungen</translation>
    </message>
    <message>
        <source>Voltage %1</source>
        <translation>Spannung %1</translation>
    </message>
    <message>
        <source>Current %1</source>
        <translation>Strom %1</translation>
    </message>
    <message>
        <source>Active power</source>
        <translation>Wirkleistung</translation>
    </message>
    <message>
        <source>Reactive power</source>
        <translation>Blindleistung</translation>
    </message>
    <message>
        <source>Apparent power</source>
        <translation>Scheinleistung</translation>
    </message>
    <message>
        <source>Latest measurements</source>
        <translation>Letzte Messwerte</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>the Data page did not run</source>
        <translation>die Seite Daten lief nicht</translation>
    </message>
    <message>
        <source>none (command line, k27ctl)</source>
        <translation>keine (Befehlszeile, k27ctl)</translation>
    </message>
</context>
<context>
    <name>ServiceReportWriter</name>
    <message>
        <source>Service report</source>
        <translation>Servicebericht</translation>
    </message>
    <message>
        <source>The PDF cannot be started.</source>
        <translation>Das PDF kann nicht begonnen werden.</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>in &quot;%1&quot;: %2</source>
        <extracomment>%1 is a key of the settings file, %2 what is wrong with a key inside it</extracomment>
        <translation>in &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>it is not valid JSON (%1 at byte %2)</source>
        <extracomment>%1 is the JSON parser&apos;s reason, %2 the position in the file</extracomment>
        <translation>sie ist kein gültiges JSON (%1 bei Byte %2)</translation>
    </message>
    <message>
        <source>it is not a JSON object</source>
        <translation>sie ist kein JSON-Objekt</translation>
    </message>
    <message>
        <source>the device holds no number for &quot;%1&quot;</source>
        <extracomment>%1 is a key of the settings file</extracomment>
        <translation>das Gerät hat für &quot;%1&quot; keine Zahl</translation>
    </message>
    <message>
        <source>it cannot be written (%1)</source>
        <extracomment>%1 is the system&apos;s reason</extracomment>
        <translation>sie kann nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is %2, outside %3 to %4</source>
        <extracomment>%1 is a key of the settings file, %2 its value, %3 and %4 the range</extracomment>
        <translation>&quot;%1&quot; ist %2, außerhalb von %3 bis %4</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be %2</source>
        <extracomment>%1 is a key of the settings file, %2 what it must hold (&quot;a number&quot;)</extracomment>
        <translation>&quot;%1&quot; muss %2 sein</translation>
    </message>
    <message>
        <source>true or false</source>
        <translation>true oder false</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>eine Zahl</translation>
    </message>
    <message>
        <source>a whole number</source>
        <translation>eine ganze Zahl</translation>
    </message>
    <message>
        <source>an object</source>
        <translation>ein Objekt</translation>
    </message>
    <message>
        <source>the key &quot;%1&quot; appears twice</source>
        <extracomment>%1 is a key of the settings file</extracomment>
        <translation>der Schlüssel &quot;%1&quot; kommt zweimal vor</translation>
    </message>
    <message>
        <source>no settings found in this file</source>
        <translation>in dieser Datei wurden keine Einstellungen gefunden</translation>
    </message>
</context>
<context>
    <name>SettingsTransfer</name>
    <message>
        <source>&quot;%1&quot; is %2, and the device&apos;s &quot;%3&quot; of %4 would then lie outside %5 to %6</source>
        <extracomment>%1 is a key of the settings file, %2 its value, %3 a setting the device keeps, %4 that setting&apos;s value, %5 and %6 the range it would need to lie in</extracomment>
        <translation>&quot;%1&quot; ist %2, und &quot;%3&quot; des Geräts mit %4 läge dann außerhalb von %5 bis %6</translation>
    </message>
    <message>
        <source>Trip class</source>
        <translation>Auslöseklasse</translation>
    </message>
    <message>
        <source>Nominal current</source>
        <translation>Nennstrom</translation>
    </message>
    <message>
        <source>Automatic reset</source>
        <translation>Automatischer Reset</translation>
    </message>
    <message>
        <source>Undercurrent</source>
        <translation>Unterstrom</translation>
    </message>
    <message>
        <source>Undercurrent threshold</source>
        <translation>Unterstrom-Schwellwert</translation>
    </message>
    <message>
        <source>Undercurrent fault type</source>
        <translation>Unterstrom-Fehlerart</translation>
    </message>
    <message>
        <source>Undervoltage</source>
        <translation>Unterspannung</translation>
    </message>
    <message>
        <source>Undervoltage threshold</source>
        <translation>Unterspannungs-Schwellwert</translation>
    </message>
    <message>
        <source>Undervoltage fault type</source>
        <translation>Unterspannungs-Fehlerart</translation>
    </message>
    <message>
        <source>Overvoltage</source>
        <translation>Überspannung</translation>
    </message>
    <message>
        <source>Overvoltage threshold</source>
        <translation>Überspannungs-Schwellwert</translation>
    </message>
    <message>
        <source>Overvoltage fault type</source>
        <translation>Überspannungs-Fehlerart</translation>
    </message>
    <message>
        <source>automatic</source>
        <translation>automatisch</translation>
    </message>
    <message>
        <source>manual</source>
        <translation>manuell</translation>
    </message>
    <message>
        <source>on</source>
        <translation>ein</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
</context>
<context>
    <name>SimulatedDeviceMarker</name>
    <message>
        <source>SIMULATED DEVICE</source>
        <translation>SIMULIERTES GERÄT</translation>
    </message>
    <message>
        <source>SIMULATED DEVICE – this is k27-demo: the devices in this window are simulated, no hardware is connected.</source>
        <translation>SIMULIERTES GERÄT – dies ist k27-demo: Die Geräte in diesem Fenster sind simuliert, es ist keine Hardware angeschlossen.</translation>
    </message>
</context>
<context>
    <name>StatusPicture</name>
    <message>
        <source>READY</source>
        <extracomment>The device&apos;s display while it stands by, in capitals</extracomment>
        <translation>BEREIT</translation>
    </message>
    <message>
        <source>RUN</source>
        <extracomment>The device&apos;s display while the motor runs, in capitals</extracomment>
        <translation>BETRIEB</translation>
    </message>
    <message>
        <source>ERROR</source>
        <extracomment>The device&apos;s display on an error, in capitals</extracomment>
        <translation>FEHLER</translation>
    </message>
    <message>
        <source>WARN</source>
        <extracomment>The device&apos;s display on a warning, in capitals</extracomment>
        <translation>WARNUNG</translation>
    </message>
</context>
<context>
    <name>UpdateVerdict</name>
    <message>
        <source>Software downgrade is not allowed! </source>
        <translation>Software-Downgrade ist nicht erlaubt! </translation>
    </message>
    <message>
        <source>No platform firmware to compare: update not allowed! </source>
        <translation>Keine Platform-Firmware zum Vergleichen: Update nicht erlaubt! </translation>
    </message>
    <message>
        <source>New Firmware: </source>
        <translation>Neue Firmware: </translation>
    </message>
    <message>
        <source>The version on the device is unknown: its last update did not finish. New Firmware: </source>
        <translation>Die Version auf dem Gerät ist unbekannt: Sein letztes Update wurde nicht abgeschlossen. Neue Firmware: </translation>
    </message>
    <message>
        <source>Not newer than the device&apos;s %1: </source>
        <extracomment>%1 is the device&apos;s platform firmware version (&quot;V1.0.0.0&quot;)</extracomment>
        <translation>Nicht neuer als %1 auf dem Gerät: </translation>
    </message>
    <message>
        <source>Stop the motor first</source>
        <translation>Zuerst den Motor anhalten</translation>
    </message>
    <message>
        <source>Install older firmware</source>
        <translation>Ältere Firmware installieren</translation>
    </message>
    <message>
        <source>The package&apos;s platform firmware %1 is not newer than the device&apos;s %2. Install it anyway?</source>
        <extracomment>%1 is the package&apos;s platform firmware version, %2 the device&apos;s (&quot;V1.0.0.0&quot;)</extracomment>
        <translation>Die Platform-Firmware %1 des Pakets ist nicht neuer als %2 auf dem Gerät. Trotzdem installieren?</translation>
    </message>
</context>
<context>
    <name>Utilities::RegularFile</name>
    <message>
        <source>the file does not exist</source>
        <translation>die Datei existiert nicht</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>sie ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>it cannot be read (%1)</source>
        <extracomment>%1 is the system&apos;s reason</extracomment>
        <translation>sie kann nicht gelesen werden (%1)</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>sie ist größer als %1 Byte</translation>
    </message>
</context>
<context>
    <name>WelcomeScreen</name>
    <message>
        <source>TORVEX®K27 ServiceTool</source>
        <translation>TORVEX®K27 ServiceTool</translation>
    </message>
    <message>
        <source>Please select</source>
        <translation>Bitte wählen</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Kunde</translation>
    </message>
    <message>
        <source>Supervisor</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>Admin</source>
        <translation>Admin</translation>
    </message>
    <message>
        <source>Demo</source>
        <translation>Demo</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Save password</source>
        <translation>Passwort speichern</translation>
    </message>
    <message>
        <source>Please select a user level.</source>
        <translation>Bitte wählen Sie eine Benutzerstufe.</translation>
    </message>
    <message>
        <source>The saved password is no longer valid.</source>
        <translation>Das gespeicherte Passwort ist nicht mehr gültig.</translation>
    </message>
    <message>
        <source>Wrong password. Please try again.</source>
        <translation>Falsches Passwort. Bitte versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Forget saved password</source>
        <translation>Gespeichertes Passwort vergessen</translation>
    </message>
    <message>
        <source>The saved password was forgotten. Please enter the password.</source>
        <translation>Das gespeicherte Passwort wurde vergessen. Bitte geben Sie das Passwort ein.</translation>
    </message>
</context>
<context>
    <name>SettingsCompareDialog</name>
    <message>
        <source>Import settings</source>
        <translation>Einstellungen importieren</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Einstellung</translation>
    </message>
    <message>
        <source>On the device</source>
        <translation>Im Gerät</translation>
    </message>
    <message>
        <source>In the file</source>
        <translation>In der Datei</translation>
    </message>
    <message>
        <source>WRITE</source>
        <translation>SCHREIBEN</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>ABBRECHEN</translation>
    </message>
</context>
<context>
    <name>Application::K27::SettingsCompareDialog</name>
    <message>
        <source>The device already holds every setting of %1.</source>
        <translation>Das Gerät hat bereits alle Einstellungen aus %1.</translation>
    </message>
    <message>
        <source>Settings of %1 that differ from the device are marked and ticked. Untick what you do not want; WRITE sends the ticked settings.</source>
        <translation>Einstellungen aus %1, die vom Gerät abweichen, sind markiert und angehakt. Entfernen Sie die Haken bei allem, was Sie nicht wollen; SCHREIBEN sendet die angehakten Einstellungen.</translation>
    </message>
</context>
<context>
    <name>SettingsComparison</name>
    <message>
        <source>%1: %2 on the device, %3 in the file</source>
        <translation>%1: %2 im Gerät, %3 in der Datei</translation>
    </message>
</context>
<context>
    <name>SettingsBeforeUpdate</name>
    <message>
        <source>the folder %1 does not exist</source>
        <extracomment>%1 is a folder</extracomment>
        <translation>der Ordner %1 existiert nicht</translation>
    </message>
</context>
</TS>
