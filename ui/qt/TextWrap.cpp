#include "ui/qt/TextWrap.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QStringList>

QString wrapToWidth(const QString& caption, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : caption.split(' ')) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    lines << line;
    return lines.join('\n');
}

void setWrappedText(QAbstractButton* button, const QString& caption, int width) {
    button->setText(wrapToWidth(caption, button->fontMetrics(), width));
    button->setAccessibleName(caption);
}
