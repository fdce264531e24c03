#pragma once

#include "control/ClickListView.h"

#include "ui/win32/Win32.h"

#include <string>

// A top-level window of the program whose messages reach the virtual handleMessage of its object. The object owns
// the window: destroying the object destroys the window.
class TWindow {
public:
    TWindow() = default;
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow();

    HWND handle() const { return m_hwnd; }

protected:
    // Creates the window with the client area given in layout pixels (left and top are the window's own corner).
    void createWindow(const std::string& caption, DWORD style, DWORD exStyle, int clientWidth, int clientHeight,
                      HWND owner, HMENU menu = nullptr);
    // Creates a child window at (x, y) of `parent`'s client area; it takes the keyboard focus and lets dialog keys
    // move into its own children.
    void createChild(HWND parent, int x, int y, int width, int height);
    // Messages not handled here go to DefWindowProcW.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void attach();
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};

// A window shown modally, as a dialog: while its loop runs, every other window of the program takes no input, but
// timers, hotkeys and the notification icon go on. The loop ends when the window is given its modal result, also
// while the window is hidden.
class TModalWindow : public TWindow {
public:
    // Shows the window, runs its loop and hides it again; the modal result (mrOk, mrCancel or another).
    int ShowModal();
    // Ends the modal loop with `result`.
    void setModalResult(int result);
    bool inModalLoop() const { return m_inLoop; }

    // Ends every modal loop that is running, innermost first, with mrCancel (the program is closing).
    static void cancelAll();
    // How many modal loops are running.
    static int running();

protected:
    // A message taken from the queue before it is dispatched; true when it was handled here and goes no further.
    virtual bool previewMessage(MSG& message);
    // The close box gives mrCancel.
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int m_result = 0;
    bool m_inLoop = false;
};
