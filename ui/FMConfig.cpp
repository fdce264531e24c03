#include "ui/FMConfig.h"

#include "model/Config.h"
#include "platform/ErrorGuard.h"
#include "ui/Placement.h"
#include "ui/TextWrap.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFMConfig::TFMConfig(TConfig& config, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_config(config) {
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

int TFMConfig::ShowModal() {
    return exec() == QDialog::Accepted ? mrOk : mrCancel;
}

void TFMConfig::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    runGuarded([&] { FormShow(); });
}

void TFMConfig::FormShow() {
    clbList->clear();
    const TXMLColsType cols = m_config.GetCols();
    for (int i = 0; i < cols.Count(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(cols.Item(i).GetName()), clbList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(cols.Item(i).GetVisible() ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, 18));
    }
    cbAuto->setChecked(m_config.GetFrame().Getautorun());
}

void TFMConfig::btnOKClick() {
    const TXMLColsType cols = m_config.GetCols();
    for (int i = 0; i < cols.Count() && i < clbList->count(); ++i)
        cols.Item(i).SetVisible(clbList->item(i)->checkState() == Qt::Checked);
    m_config.GetFrame().Setautorun(cbAuto->isChecked());
    accept();
}

void TFMConfig::btnCancelClick() {
    reject();
}
