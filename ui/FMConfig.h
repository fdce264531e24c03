#pragma once

#include "control/MouseCtrlView.h"

#include <QDialog>

class QCheckBox;
class QListWidget;
class QPushButton;
class TConfig;

// Which list columns are visible and whether the ticked clicks start with the program; edits the settings
// document in memory.
class TFMConfig : public QDialog, public IOptionsDialog {
    Q_OBJECT
public:
    explicit TFMConfig(TConfig& config, QWidget* parent = nullptr);

    int ShowModal() override;

    void FormShow();
    void btnOKClick();
    void btnCancelClick();

    QListWidget* clbList = nullptr;
    QCheckBox* cbAuto = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TConfig& m_config;
};
