#include "ui/qt/UpDown.h"

#include "platform/ErrorGuard.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kArrowWidth = 13;

QToolButton* arrowButton(Qt::ArrowType direction) {
    auto* button = new QToolButton;
    button->setArrowType(direction);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}
} // namespace

TUpDown::TUpDown(QLineEdit* associate, int min, int max, int increment)
    : QWidget(associate->parentWidget()), m_associate(associate), m_min(min), m_max(max), m_increment(increment) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    QToolButton* up = arrowButton(Qt::UpArrow);
    QToolButton* down = arrowButton(Qt::DownArrow);
    column->addWidget(up);
    column->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { runGuarded([&] { stepUp(); }); });
    connect(down, &QToolButton::clicked, this, [this] { runGuarded([&] { stepDown(); }); });
    const QRect edit = associate->geometry();
    setGeometry(edit.right() + 1, edit.top(), kArrowWidth, edit.height());
    associate->installEventFilter(this);
}

void TUpDown::setPosition(int position) {
    m_associate->setText(QString::number(position));
}

// A text that is no number steps from the lower bound, as the arrows of an empty edit would.
void TUpDown::step(int delta) {
    bool isNumber = false;
    const qlonglong current = m_associate->text().trimmed().toLongLong(&isNumber);
    const qlonglong next = isNumber ? current + delta : m_min;
    setPosition(int(std::clamp<qlonglong>(next, m_min, m_max)));
    m_associate->selectAll();
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_associate && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            runGuarded([&] { key == Qt::Key_Up ? stepUp() : stepDown(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
