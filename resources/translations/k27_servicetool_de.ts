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
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service Mode</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>K27SubScreenConfigurationPage</name>
    <message>
        <source>GENERAL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LOAD ASYMMETRY</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Softstart</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>K27SubScreenServiceModePage</name>
    <message>
        <source>IDLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FORWARD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>K27 Status:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
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
