#pragma once

#include "control/ClickListView.h"
#include "control/DesktopBinding.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// Which list columns are visible, whether the ticked clicks start with the program, the key and the corner that stop
// every click and, where the user may choose it, the primary output: shows the choices it is given and gives back the
// user's.
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
    QLabel* lblStopAllKey = nullptr;
    QComboBox* cbStopAllKey = nullptr;
    QCheckBox* cbCornerStop = nullptr;
    QLabel* lblPrimaryOutput = nullptr;
    QComboBox* cbPrimaryOutput = nullptr;
    QCheckBox* cbAskDesktop = nullptr;
    QLabel* lblStopAllWhere = nullptr;
    QPlainTextEdit* edStopAllLines = nullptr;
    QPushButton* btnCopyStopAll = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void showPrimaryOutput(const TOptionsList& list);
    void showStopOptions(const TOptionsChoices& choices);
    void showAskDesktop(const std::string& caption);
    // Where the desktop binds the keys, the line that binds the chosen stop-all key, under the other extras.
    void showStopAllBinding(bool keysBoundInDesktop);
    void showStopAllLines();
    // The dialog grows by the room the shown extras take, and the buttons move below them.
    void placeButtons();

    TOptionsList m_primaryOutput;
    TOptionsList m_stopAllKey;
    std::string m_cornerStopUnavailable;
    std::string m_askDesktop;
    bool m_keysBoundInDesktop = false;
    TCompositor m_compositor = TCompositor::Sway;
    std::string m_program;
    int m_room = 0;
};
