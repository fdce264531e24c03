#pragma once

#include <QString>

class QAbstractButton;
class QFontMetrics;

// The caption broken into lines at blanks so that each line fits `width` pixels.
QString wrapToWidth(const QString& caption, const QFontMetrics& metrics, int width);
// For buttons and check boxes whose captions wrap: the lines are shown, the caption stays the accessible name.
void setWrappedText(QAbstractButton* button, const QString& caption, int width);
