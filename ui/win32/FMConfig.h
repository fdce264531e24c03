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
    void BitBtn1Click();
    void BitBtn2Click();

    // The check list's items, their check states.
    int itemCount() const;
    bool itemChecked(int item) const;
    void setItemChecked(int item, bool checked);
    std::string itemText(int item) const;

    HWND clbList = nullptr;
    HWND cbAuto = nullptr;
    HWND BitBtn1 = nullptr;
    HWND BitBtn2 = nullptr;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TConfig& m_config;
};
