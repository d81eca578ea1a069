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
    <name>K27SubScreenConfigurationPage</name>
    <message>
        <source>GENERAL</source>
        <translation>ALLGEMEIN</translation>
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
        <source>LOAD ASYMMETRY</source>
        <translation>LASTASYMMETRIE</translation>
    </message>
    <message>
        <source>Nominal Current (A)</source>
        <translation>Nennstrom (A)</translation>
    </message>
    <message>
        <source>Softstart</source>
        <translation>Sanftanlauf</translation>
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
        <translation>Phasenasymmetrie</translation>
    </message>
    <message>
        <source>Undercurrent</source>
        <translation>Unterstrom</translation>
    </message>
    <message>
        <source>SupplyLoss</source>
        <translation>Versorgungsausfall</translation>
    </message>
    <message>
        <source>UndervoltageSupply</source>
        <translation>Unterspannung Versorgung</translation>
    </message>
    <message>
        <source>OvervoltageSupply</source>
        <translation>Überspannung Versorgung</translation>
    </message>
    <message>
        <source>Overtemperature</source>
        <translation>Übertemperatur</translation>
    </message>
    <message>
        <source>UndervoltageControl</source>
        <translation>Unterspannung Steuerung</translation>
    </message>
    <message>
        <source>OvervoltageControl</source>
        <translation>Überspannung Steuerung</translation>
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
    <name>K27SubScreenServiceModePage</name>
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
        <source>K27 Status:</source>
        <translation>K27-Status:</translation>
    </message>
    <message>
        <source>IDLE</source>
        <translation>STOPP</translation>
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
</context>
</TS>
