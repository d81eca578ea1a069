#pragma once

#include "model/interfaces/ModelIPCValue.h"
#include "model/interfaces/ModelTextForm.h"
#include "model/interfaces/ModelThread.h"
#include "model/interfaces/ModelValueCodec.h"

#include <type_traits>

namespace Model::Interfaces {

// A device value as the windows show and edit it: a valid range for the editors, the two
// neighbouring contents one step below and above the current one, and a text form.
template<typename T> class ModelDisplayValue : public ModelIPCValue<T>
{
    using Base = ModelIPCValue<T>;

public:
    ModelDisplayValue(quint16 id, const T &defaultValue, const T &minimum, const T &maximum,
                      Component::Interfaces::AbstractApplication *application,
                      ModelIPCValueObserver *observer)
        : Base(id, defaultValue, application, observer)
        , m_minimum(minimum)
        , m_maximum(maximum)
        , m_lowerNeighbour(defaultValue)
        , m_upperNeighbour(defaultValue)
    {
    }

    void request() override
    {
        for (Component::K27::ZantLinkComponent *link : {this->link1(), this->link0()}) {
            if (link != nullptr)
                link->sendGetModelValue(this->getId());
        }
        recomputeNeighbours();
    }

    bool receive(const Component::Interfaces::ZantLinkPacket::Argument &argument) override
    {
        if (!ModelThread::check(this->getId()) || !Base::receive(argument))
            return false;
        recomputeNeighbours();
        return true;
    }

    QByteArray toString() const override { return format(this->value()); }

    void reset() override
    {
        if (!ModelThread::check(this->getId()))
            return;
        Base::reset();
        recomputeNeighbours();
    }

    // Decimal number by default; the catalogue classes give their own text forms.
    virtual QByteArray format(const T &content) const
    {
        if constexpr (std::is_same_v<T, float>)
            return TextForm::wholeNumber(content);
        else
            return TextForm::decimal(static_cast<qint64>(Codec::toNumber(content)));
    }

    // One step below, wrapping to maximum below minimum. Steps stay between two contents of T,
    // so the number always fits back into T.
    virtual T stepDown(const T &content) const
    {
        if constexpr (std::is_same_v<T, float>) {
            return TextForm::wholeStepDown(content, m_minimum, m_maximum);
        } else {
            const quint32 number = Codec::toNumber(content);
            if (number > Codec::toNumber(m_minimum))
                return Codec::fromNumber<T>(number - 1);
            return m_maximum;
        }
    }

    // One step above, wrapping to minimum above maximum.
    virtual T stepUp(const T &content) const
    {
        if constexpr (std::is_same_v<T, float>) {
            return TextForm::wholeStepUp(content, m_minimum, m_maximum);
        } else {
            const quint32 number = Codec::toNumber(content);
            if (number < Codec::toNumber(m_maximum))
                return Codec::fromNumber<T>(number + 1);
            return m_minimum;
        }
    }

    // lowerNeighbour = stepDown(value), upperNeighbour = stepUp(value). The window calls it
    // after changing a limit.
    void recomputeNeighbours()
    {
        if (!ModelThread::check(this->getId()))
            return;
        const T content = this->value();
        m_lowerNeighbour = stepDown(content);
        m_upperNeighbour = stepUp(content);
    }

    T minimum() const { return m_minimum; }

    T maximum() const { return m_maximum; }

    void setMinimum(const T &minimum) { m_minimum = minimum; }

    void setMaximum(const T &maximum) { m_maximum = maximum; }

    T lowerNeighbour() const { return m_lowerNeighbour; }

    T upperNeighbour() const { return m_upperNeighbour; }

private:
    T m_minimum;
    T m_maximum;
    T m_lowerNeighbour;
    T m_upperNeighbour;
};

} // namespace Model::Interfaces
