#pragma once

#include "control/MouseCtrlView.h"
#include "ui/win32/Window.h"

class TConfig;

// Which list columns are visible and whether the ticked clicks start with the program; edits the settings
// document in memory.
class TFMConfig : public TModalWindow, public IOptionsDialog {
public:
    TFMConfig(TConfig& config, HWND owner);

    int ShowModal() override;

    void FormShow();
    void btnOKClick();
    void btnCancelClick();

    // The check list's items, their check states.
    int itemCount() const;
    bool itemChecked(int item) const;
    void setItemChecked(int item, bool checked);
    std::string itemText(int item) const;

    HWND clbList = nullptr;
    HWND cbAuto = nullptr;
    HWND btnOK = nullptr;
    HWND btnCancel = nullptr;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TConfig& m_config;
};
