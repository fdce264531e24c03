#include "ui/qt/OptionsDialog.h"

#include "platform/ErrorGuard.h"
#include "ui/qt/Placement.h"
#include "ui/qt/TextWrap.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TOptionsDialog::TOptionsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle("Config Options");
    setFixedSize(220, 354);
    centreOnDesktop(*this);

    btnOK = new QPushButton("&OK", this);
    btnOK->setGeometry(24, 315, 75, 25);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setGeometry(120, 315, 75, 25);
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

    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, clbList);
    setTabOrder(clbList, cbAuto);
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
}

TOptionsChoices TOptionsDialog::choices() const {
    TOptionsChoices chosen;
    for (int i = 0; i < clbList->count(); ++i)
        chosen.columns.push_back(
            {clbList->item(i)->text().toStdString(), clbList->item(i)->checkState() == Qt::Checked});
    chosen.autorun = cbAuto->isChecked();
    return chosen;
}

void TOptionsDialog::btnOKClick() {
    accept();
}

void TOptionsDialog::btnCancelClick() {
    reject();
}
