#pragma once

#include "control/ClickListView.h"

#include <QDialog>

class QCheckBox;
class QListWidget;
class QPushButton;

// Which list columns are visible and whether the ticked clicks start with the program: shows the choices it is
// given and gives back the user's.
class TOptionsDialog : public QDialog, public IOptionsDialog {
    Q_OBJECT
public:
    explicit TOptionsDialog(QWidget* parent = nullptr);

    void showChoices(const TOptionsChoices& choices) override;
    int ShowModal() override;
    TOptionsChoices choices() const override;

    void btnOKClick();
    void btnCancelClick();

    QListWidget* clbList = nullptr;
    QCheckBox* cbAuto = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};
