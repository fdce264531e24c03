// TUpDown: the up and down arrows beside a number field of the click editor.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Up and down arrows beside an edit. The arrows (and the arrow keys in the edit) step the edit's number within the
// bounds; text typed into the edit is not held to them.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* associate, int min, int max, int increment = 1);

    int min() const { return m_min; }
    int max() const { return m_max; }
    int increment() const { return m_increment; }
    // Writes the number into the edit as it is, without thousands separators.
    void setPosition(int position);
    void stepUp() { step(m_increment); }
    void stepDown() { step(-m_increment); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int delta);

    QLineEdit* m_associate;
    int m_min;
    int m_max;
    int m_increment;
};
