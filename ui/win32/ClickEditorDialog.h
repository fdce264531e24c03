#pragma once

#include "control/ClickListView.h"
#include "ui/win32/Window.h"

#include <memory>

class IMouse;
class IScreen;
class TClickEditorPanel;

// The click editor window: the frame with every click control, and OK and Cancel. Neither button is the default:
// Enter presses a button only while it has the focus, and Escape presses none (it cancels Find now).
class TClickEditorDialog : public TModalWindow, public IClickEditor {
public:
    TClickEditorDialog(IMouse& mouse, IScreen& screen, HWND owner);
    ~TClickEditorDialog() override;

    void setCaption(const std::string& caption) override;
    void LoadFromClick(TMouseObj& click) override;
    int ShowModal() override;
    void SaveToClick(TMouseObj& click) override;

    TClickEditorPanel& frame() const { return *m_panel; }
    HWND btnOK = nullptr;
    HWND btnCancel = nullptr;

    // OK is refused while a numeric edit holds what cannot be stored: the user is told which, and the focus goes
    // there, so no click is ever written in part.
    void btnOKClick();
    void btnCancelClick();

protected:
    bool previewMessage(MSG& message) override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool inDialog(HWND window) const;
    void FormClose();

    std::unique_ptr<TClickEditorPanel> m_panel;
};
