#include "controls/FieldAccess.h"

#include <QLabel>
#include <QRegularExpression>

namespace {

bool isSyllable(QChar c)
{
    return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3;
}

} // namespace

QString SpokenName(const QString& caption)
{
    QString text = caption;
    text.remove(QRegularExpression(QStringLiteral("\\(&[^)]\\)")));
    text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    text.remove(QLatin1Char(':'));
    QString name;
    QString previous;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        // A syllable standing alone was spaced out from its word.
        const bool spacedOut = !previous.isEmpty() && (previous.size() == 1 || word.size() == 1) &&
                               isSyllable(previous.back()) && isSyllable(word.front());
        if (!previous.isEmpty() && !spacedOut)
            name += QLatin1Char(' ');
        name += word;
        previous = word;
    }
    return name;
}

void SetFieldName(QWidget* field, const QString& name)
{
    for (QWidget* w = field; w; w = w->focusProxy())
        w->setAccessibleName(name);
}

QLabel* FieldLabel(const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    SetFieldName(field, field->accessibleName().isEmpty() ? SpokenName(caption) : field->accessibleName());
    return label;
}

void SetTabOrder(const QList<QWidget*>& order)
{
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
