#pragma once

#include "control/ClickListView.h"
#include "control/CommandExecution.h"
#include "platform/Platform.h"
#include "ui/win32/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class IShell;
class TClickList;
class TClickListController;

// A command from outside and, once the window has carried it out, its answer.
struct TRemoteCommand {
    TCommandRequest request;
    TCommandAnswer answer;
};

// The main window: toolbar over the click list, the About and Help menu, the notification-area icon, and the one
// controller.
class TMainWindow : public TWindow, public IClickListView, public IWindowActions {
public:
    // The toolbar's commands, New to Exit, and the menu's.
    enum Command : int { cmNew = 101, cmEdit, cmDelete, cmStart, cmStop, cmOptions, cmExit, cmAbout = 201, cmHelp };
    // The notification icon's own message.
    static constexpr UINT WM_TRAYICON = 0x838;
    // A message box asked for while a handler ran, shown once that handler has returned.
    static constexpr UINT WM_SHOWFILEMESSAGE = WM_APP + 1;
    // Sent by the command channel's thread: lParam points to a TRemoteCommand, whose answer is filled in.
    static constexpr UINT WM_REMOTECOMMAND = WM_APP + 2;
    // Posted by the command channel's thread once the client has its answer.
    static constexpr UINT WM_REMOTEANSWERED = WM_APP + 3;

    // `folder` holds the click list and settings files; a list that cannot be saved at the session's end is kept in
    // `recoveryFolder` (not at all when it is empty). The window is made hidden; show() shows it.
    TMainWindow(Platform& platform, IShell& shell, std::string folder, std::string recoveryFolder = {});
    ~TMainWindow() override;

    void show();
    TClickListController* controller() const { return m_controller.get(); }
    TClickList& list() const { return *m_list; }
    HWND toolBar() const { return m_toolBar; }
    bool trayIconShown() const { return m_trayShown; }
    // Called once the window is gone and everything is saved: the program ends.
    void setOnClosed(std::function<void()> handler) { m_onClosed = std::move(handler); }

    // The one way out: Exit, the close box and the session's end all come here. Open dialogs are ended first, so no
    // command goes on with a closed controller.
    void requestClose(bool interactive);
    // Tells the user once what the start found (a file that could not be read and was kept aside).
    void showStartupMessages();
    // A left click on the notification icon.
    void toggleVisibility();
    // Alt with a toolbar caption's underlined letter presses that button; true when the message was one.
    bool translateAccelerator(MSG& message);

    TRect windowBounds() const override;
    void setWindowBounds(const TRect& bounds) override;
    bool windowMaximized() const override;
    void setWindowMaximized() override;
    std::vector<TRect> monitorAreas() const override;
    void clearColumns() override;
    void addColumn(const std::string& caption) override;
    void beginColumnUpdate() override;
    void endColumnUpdate() override;
    int columnWidth(int column) const override;
    void setColumnWidth(int column, int width) override;
    void setColumnAlignment(int column, TColumnAlignment alignment) override;
    void setColumnVisible(int column, bool visible) override;
    int columnPosition(int column) const override;
    void setColumnPosition(int column, int position) override;
    void setMainColumn(int column) override;
    void rowsReset() override;
    void rowInserted(int row) override;
    void rowRemoved(int row) override;
    void repaintRow(int row) override;
    void repaintAll() override;
    int focusedRow() const override;
    bool confirmDelete() override;
    std::unique_ptr<IClickEditor> createClickEditor(const std::vector<int>& hotKeysHeldElsewhere) override;
    std::unique_ptr<IOptionsDialog> createOptionsDialog() override;
    void showFileMessage(const std::string& message) override;
    int ask(const TQuestion& question) override;
    std::string chooseListFile(const std::string& suggestedName) override;
    void closeByUser() override;
    void showWindow() override;
    // The close waits for WM_REMOTEANSWERED, so that the command hears that it was done.
    void quitAsExit() override;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    void FormClose(bool interactive);
    void createToolBar();
    void createMenu();
    void createTrayIcon();
    void layout();
    void command(int id);
    bool notify(const NMHDR& header, LRESULT& result);
    void showPendingFileMessage();
    void runRemoteCommand(TRemoteCommand& command);
    void AboutMenuClick();
    void WebPageMenuClick();

    Platform& m_platform;
    IShell& m_shell;
    std::string m_folder;
    std::string m_recoveryFolder;
    HWND m_toolBar = nullptr;
    HACCEL m_accelerators = nullptr;
    // The toolbar's tooltips, in the order of its buttons.
    std::vector<std::wstring> m_hints;
    std::unique_ptr<TClickList> m_list;
    NOTIFYICONDATAW m_trayData{};
    bool m_trayShown = false;
    UINT m_taskbarCreated = 0;
    bool m_showMaximized = false;
    std::unique_ptr<TClickListController> m_controller;
    std::function<void()> m_onClosed;
    bool m_closed = false;
    bool m_closeInteractive = true;
    bool m_quitAfterAnswer = false;
    std::vector<std::string> m_pendingFileMessages;
};
