#pragma once

#include "control/ClickListView.h"

#include <QDialog>

class IHotKeys;
class IMouse;
class IScreen;
class QPushButton;
class TClickEditorPanel;

// The click editor window: the frame with every click control, and OK and Cancel.
class TClickEditorDialog : public QDialog, public IClickEditor {
    Q_OBJECT
public:
    TClickEditorDialog(IMouse& mouse, IScreen& screen, IHotKeys& hotKeys, QWidget* parent = nullptr);
    ~TClickEditorDialog() override;

    void setCaption(const std::string& caption) override;
    void LoadFromClick(TMouseObj& click) override;
    int ShowModal() override;
    void SaveToClick(TMouseObj& click) override;

    TClickEditorPanel* frame() const { return m_panel; }
    QPushButton* okButton() const { return btnOK; }
    QPushButton* cancelButton() const { return btnCancel; }

    // OK is refused while a numeric edit holds what cannot be stored: the user is told which, and the focus goes
    // there, so no click is ever written in part.
    void btnOKClick();
    void btnCancelClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void FormClose();

    TClickEditorPanel* m_panel;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};
