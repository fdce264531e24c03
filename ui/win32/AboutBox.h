#pragma once

#include "ui/win32/Window.h"

class IShell;

// The About box: the title with the version and the links to the maker's web page and mail address. A click on its
// background closes it.
class TAboutBox : public TModalWindow {
public:
    TAboutBox(IShell& shell, HWND owner);

    void FormShow();
    void lblWebAddressClick();
    void lblMailAddressClick();

    HWND lblTitle = nullptr;
    HWND lblWebAddress = nullptr;
    HWND lblMailAddress = nullptr;
    HWND lblLicense = nullptr;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool isLink(HWND control) const { return control && (control == lblWebAddress || control == lblMailAddress); }

    IShell& m_shell;
};
