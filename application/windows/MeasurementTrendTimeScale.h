#pragma once

#include <qwt_scale_draw.h>

// The time axis of the measurement trend: seconds since the measurement started, written as
// minutes and seconds ("2:05").
class MeasurementTrendTimeScale : public QwtScaleDraw
{
public:
    QwtText label(double seconds) const override;
};
