#pragma once

#include "application/core/MeasurementRecorder.h"
#include "model/interfaces/ModelValueID.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace Model::Database {
class ModelDatabase;
} // namespace Model::Database

namespace Application::K27 {

// The record of one device a technician leaves with the customer, as HTML for
// ServiceReportWriter: when and by which tool and user level it was made, the device's identity,
// both controllers' software, every protection setting with its unit, the present warning and
// error, and the latest measurements when there are any. Texts and numbers follow the user's
// language. A value the device has not reported is written as not reported: the model's
// default in its place would read as the device's own.
class ServiceReport
{
    Q_DECLARE_TR_FUNCTIONS(ServiceReport)

public:
    struct Input
    {
        QDateTime time;
        QString userLevel;
        // Whether the device reported the value since its port opened.
        std::function<bool(Model::Interfaces::ModelValueID)> reported;
        // The display's answer to "GetSWVersion"; none when it has not answered.
        std::optional<quint32> displayVersion;
        QList<MeasurementSample> measurements;
    };

    static QString html(Model::Database::ModelDatabase &model, const Input &input);

    // The user level of a report made without a login (k27ctl).
    static QString commandLineLevel();
    // "V1.2.3.4" of a packed version, the most significant byte first.
    static QString versionText(quint32 version);
};

} // namespace Application::K27
