#pragma once

#include "application/core/Settings.h"
#include "model/interfaces/ModelValueID.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

namespace Model::Database {
class ModelSettings;
} // namespace Model::Database

namespace Application::K27 {

// Between a device's model and the settings file: what an export takes from the model, what an
// import may bring (the device's own limits), what it writes and what it changed. Shared by
// the device window and k27ctl.
class SettingsTransfer
{
    Q_DECLARE_TR_FUNCTIONS(SettingsTransfer)

public:
    // One setting an import changed, in the words the technician reads.
    struct Change
    {
        Settings::Field field;
        QString before;
        QString after;
    };

    // All twelve settings from the model, as the device reported them.
    static void fill(Settings &settings, Model::Database::ModelSettings &model);

    // What the device accepts for each numeric setting (ConfigurationRules::allowedRange),
    // the undercurrent threshold held to the nominal current the device will have after the
    // import (the file's, or else the device's).
    static Settings::Limits limits(const Settings &settings, Model::Database::ModelSettings &model);

    // Whether the settings may be written to the device as it is now: every value the file
    // carries within what the device accepts (limits), and every value the device keeps still
    // within its range once the file's values are in (the device's undercurrent threshold of
    // 2.5 A against a file's nominal current of 1.0 A). False with a reason naming the key and,
    // for a value the device keeps, that value too; ready to follow "…: ".
    static bool check(const Settings &settings, Model::Database::ModelSettings &model,
                      QString *error);

    // Sets and sends every setting the settings carry, in Settings::fieldOrder(), and nothing
    // else. Returns how many were written; changes gets those whose content differed from the
    // model's before.
    static int write(const Settings &settings, Model::Database::ModelSettings &model,
                     QList<Change> *changes = nullptr);

    // The settings the content carries whose value the model holds differently, in
    // Settings::fieldOrder(): after an import and the device's reports, what the device kept
    // otherwise.
    static QList<Settings::Field> differences(const Settings &settings,
                                              Model::Database::ModelSettings &model);

    // The content the model holds for a setting, as a number (switches 1 or 0).
    static double modelNumber(Settings::Field field, Model::Database::ModelSettings &model);
    // Sets the model's content of a setting from a number, without sending it.
    static void setModelNumber(Settings::Field field, double number,
                               Model::Database::ModelSettings &model);

    // The model value a setting is written to and reported in.
    static Model::Interfaces::ModelValueID valueId(Settings::Field field);

    // "Nominal current 2.6 A → 3.0 A".
    static QString changeText(const Change &change);
    // The setting's name in the window's words ("Undercurrent threshold").
    static QString title(Settings::Field field);
    // A value of the setting as the window shows it ("3.0 A", "195 V", "10A", "on").
    static QString valueText(Settings::Field field, double value);
};

} // namespace Application::K27
