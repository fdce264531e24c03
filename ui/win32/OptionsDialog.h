#pragma once

#include "control/ClickListView.h"
#include "ui/win32/Window.h"

// Which list columns are visible, whether the ticked clicks start with the program, and the key and the corner that
// stop every click: shows the choices it is given and gives back the user's.
class TOptionsDialog : public TModalWindow, public IOptionsDialog {
public:
    explicit TOptionsDialog(HWND owner);

    void showChoices(const TOptionsChoices& choices) override;
    int ShowModal() override { return TModalWindow::ShowModal(); }
    TOptionsChoices choices() const override;

    void btnOKClick();
    void btnCancelClick();

    // The check list's items, their check states.
    int itemCount() const;
    bool itemChecked(int item) const;
    void setItemChecked(int item, bool checked);
    std::string itemText(int item) const;

    HWND clbList = nullptr;
    HWND cbAuto = nullptr;
    HWND cbStopAllKey = nullptr;
    HWND cbCornerStop = nullptr;
    HWND btnOK = nullptr;
    HWND btnCancel = nullptr;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void showStopOptions(const TOptionsChoices& choices);

    TOptionsList m_stopAllKey;
    std::string m_cornerStopUnavailable;
};
