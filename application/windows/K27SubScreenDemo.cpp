// The Demo user's page: makes the device show a chosen operating mode, warning or error.

#include "application/core/DemoFaultKinds.h"
#include "application/windows/K27SubScreen.h"
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelValueCodec.h"
#include "ui_K27SubScreenDemoPage.h"

using ::Application::K27::DemoFaultKinds;
namespace Codec = Model::Interfaces::Codec;
namespace Types = Model::Interfaces::ModelTypes;

namespace {

// Sets a model value and writes it to the device.
template<typename Value> void setAndSend(Value &value, quint8 number)
{
    value.setValue(Codec::fromNumber<typename Value::ValueType>(number));
    value.send();
}

} // namespace

void K27SubScreen::connectDemo()
{
    connect(m_demoPage->pushButtonShowOperationMode, &QPushButton::clicked, this,
            &K27SubScreen::handleDemoModeExecutionOperationMode);
    connect(m_demoPage->pushButtonShowWarning, &QPushButton::clicked, this,
            &K27SubScreen::handleDemoModeExecutionWarning);
    connect(m_demoPage->pushButtonShowError, &QPushButton::clicked, this,
            &K27SubScreen::handleDemoModeExecutionError);
    // The items come with the form.
    m_demoPage->comboBoxOperationMode->setCurrentIndex(0);
    m_demoPage->comboBoxWarning->setCurrentIndex(0);
    m_demoPage->comboBoxError->setCurrentIndex(0);
}

void K27SubScreen::handleDemoModeExecutionOperationMode()
{
    Model::Database::ModelDatabase &model = *database();
    setAndSend(model.faults().warning(), 0);
    setAndSend(model.faults().error(), 0);
    setAndSend(model.operation().operatingMode(),
               DemoFaultKinds::operatingMode(m_demoPage->comboBoxOperationMode->currentIndex()));
}

void K27SubScreen::handleDemoModeExecutionWarning()
{
    Model::Database::ModelDatabase &model = *database();
    setAndSend(model.faults().error(), 0);
    setAndSend(model.faults().warning(),
               DemoFaultKinds::warningKind(m_demoPage->comboBoxWarning->currentIndex()));
}

void K27SubScreen::handleDemoModeExecutionError()
{
    Model::Database::ModelDatabase &model = *database();
    setAndSend(model.faults().warning(), 0);
    setAndSend(model.faults().error(),
               DemoFaultKinds::errorKind(m_demoPage->comboBoxError->currentIndex()));
}
