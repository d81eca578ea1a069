#include "application/windows/ResultText.h"

#include <QLabel>
#include <QStyle>
#include <QVariant>

namespace Application::K27 {

namespace {

constexpr char resultProperty[] = "result";

} // namespace

void ResultText::show(QLabel *label, const QString &text, Kind kind)
{
    label->setWordWrap(true);
    label->setText(text);
    const QVariant value = kind == Kind::Error ? QVariant(QStringLiteral("error")) : QVariant();
    if (label->property(resultProperty) == value)
        return;
    label->setProperty(resultProperty, value);
    // The style sheet looks at dynamic properties only when the widget is polished again.
    label->style()->unpolish(label);
    label->style()->polish(label);
    label->update();
}

bool ResultText::isError(const QLabel *label)
{
    return label->property(resultProperty).toString() == QLatin1String("error");
}

} // namespace Application::K27
