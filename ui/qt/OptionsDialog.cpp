#include "ui/qt/OptionsDialog.h"

#include "platform/ErrorGuard.h"
#include "ui/qt/Placement.h"
#include "ui/qt/TextWrap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 220;
constexpr int kHeight = 354;
constexpr int kButtonsTop = 315;
// The room the primary output's list takes above the buttons when it is shown.
constexpr int kPrimaryOutputHeight = 48;
} // namespace

TOptionsDialog::TOptionsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle("Config Options");
    setFixedSize(kWidth, kHeight);
    centreOnDesktop(*this);

    btnOK = new QPushButton("&OK", this);
    btnOK->setGeometry(24, kButtonsTop, 75, 25);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setGeometry(120, kButtonsTop, 75, 25);
    for (QPushButton* button : {btnOK, btnCancel})
        button->setAutoDefault(false);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(22, 8, 179, 258);
    auto* box = new QGroupBox("Config visible columns", panel);
    box->setGeometry(3, 2, 169, 249);
    auto* fill = new QVBoxLayout(box);
    fill->setContentsMargins(2, 2, 2, 2);
    clbList = new QListWidget;
    clbList->setFrameShape(QFrame::NoFrame);
    clbList->setUniformItemSizes(true);
    fill->addWidget(clbList);

    cbAuto = new QCheckBox(this);
    cbAuto->setGeometry(24, 272, 169, 33);
    setWrappedText(cbAuto, "Auto Start Running When Program Start", 145);

    lblPrimaryOutput = new QLabel("&Primary output:", this);
    lblPrimaryOutput->setGeometry(24, kButtonsTop - 4, 169, 16);
    cbPrimaryOutput = new QComboBox(this);
    cbPrimaryOutput->setGeometry(24, kButtonsTop + 14, 169, 24);
    lblPrimaryOutput->setBuddy(cbPrimaryOutput);
    lblPrimaryOutput->hide();
    cbPrimaryOutput->hide();

    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, clbList);
    setTabOrder(clbList, cbAuto);
    setTabOrder(cbAuto, cbPrimaryOutput);
    connect(btnOK, &QPushButton::clicked, this, [this] { runGuarded([&] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { runGuarded([&] { btnCancelClick(); }); });
}

int TOptionsDialog::ShowModal() {
    return exec() == QDialog::Accepted ? mrOk : mrCancel;
}

void TOptionsDialog::showChoices(const TOptionsChoices& choices) {
    clbList->clear();
    for (const TOptionsColumn& column : choices.columns) {
        auto* item = new QListWidgetItem(QString::fromStdString(column.name), clbList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(column.visible ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, 18));
    }
    cbAuto->setChecked(choices.autorun);
    showPrimaryOutput(choices.primaryOutput);
}

// The list goes between the auto start and the buttons, which move down to make room; without items it is not shown.
void TOptionsDialog::showPrimaryOutput(const TOptionsList& list) {
    m_primaryOutput = list;
    cbPrimaryOutput->clear();
    for (const std::string& item : list.items)
        cbPrimaryOutput->addItem(QString::fromStdString(item));
    cbPrimaryOutput->setCurrentIndex(list.selected);
    const bool shown = !list.items.empty();
    lblPrimaryOutput->setVisible(shown);
    cbPrimaryOutput->setVisible(shown);
    const int room = shown ? kPrimaryOutputHeight : 0;
    setFixedSize(kWidth, kHeight + room);
    btnOK->move(btnOK->x(), kButtonsTop + room);
    btnCancel->move(btnCancel->x(), kButtonsTop + room);
}

TOptionsChoices TOptionsDialog::choices() const {
    TOptionsChoices chosen;
    for (int i = 0; i < clbList->count(); ++i)
        chosen.columns.push_back(
            {clbList->item(i)->text().toStdString(), clbList->item(i)->checkState() == Qt::Checked});
    chosen.autorun = cbAuto->isChecked();
    chosen.primaryOutput = m_primaryOutput;
    if (!m_primaryOutput.items.empty())
        chosen.primaryOutput.selected = cbPrimaryOutput->currentIndex();
    return chosen;
}

void TOptionsDialog::btnOKClick() {
    accept();
}

void TOptionsDialog::btnCancelClick() {
    reject();
}
