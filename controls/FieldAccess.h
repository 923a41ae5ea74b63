#pragma once

#include <QList>
#include <QString>

class QLabel;
class QWidget;

// What a screen reader calls a field captioned `caption`: without the mnemonic, the colons
// and the blanks that space out the syllables of a Korean caption ("등 록 자 : " reads
// "등록자", "아이디(&U):" reads "아이디").
QString SpokenName(const QString& caption);

// Names `field` for screen readers. A control that passes its focus on to an inner field
// (HCText, HCCombo) names that field too: it is what a screen reader reaches.
void SetFieldName(QWidget* field, const QString& name);

// A label with `caption` whose buddy is `field`, so that its mnemonic moves there; the field
// is named after the caption unless it already has a name.
QLabel* FieldLabel(const QString& caption, QWidget* field);

// Tab moves through `order` as listed.
void SetTabOrder(const QList<QWidget*>& order);
