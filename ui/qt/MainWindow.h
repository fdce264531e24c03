#pragma once

#include "control/ClickListView.h"
#include "control/CommandExecution.h"
#include "control/ToolCommands.h"
#include "platform/Platform.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class IShell;
class QSystemTrayIcon;
class QTableView;
class QToolButton;
class TClickListModel;
class TClickListController;

// The main window: toolbar over the click list, the notification-area icon, and the one controller.
class TMainWindow : public QMainWindow, public IClickListView, private IWindowActions {
    Q_OBJECT
public:
    // `folder` holds the click list and settings files; a list that cannot be saved when the program is ended from
    // outside is kept in `recoveryFolder` (not at all when it is empty).
    TMainWindow(Platform& platform, IShell& shell, std::string folder, std::string recoveryFolder = {},
                QWidget* parent = nullptr);
    ~TMainWindow() override;

    TClickListController* controller() const { return m_controller.get(); }
    QTableView* list() const { return VT; }
    QToolButton* toolButton(int index) const { return m_buttons.at(std::size_t(index)); }
    QSystemTrayIcon* trayIcon() const { return m_tray; }

    // The one way out: Exit, the close box, a termination signal and the session's end all come here. Open modal
    // dialogs are closed first, so no command is left running on a released controller. Only an interactive close
    // asks the user what to do about a file that cannot be saved; a request that is not interactive ends such a
    // question unanswered.
    void requestClose(bool interactive);
    // Tells the user once what the start found, then offers a list that the last run could not save.
    void showStartupMessages();
    // For a process that ends without a close (its display gone): saves both files without a call to the display.
    void saveBeforeExit();
    // Shows the window in front, also when it was hidden to the notification area.
    void bringToFront();
    // A left click on the notification icon.
    void toggleVisibility();
    // A command from outside, carried out on the list as the hotkeys would.
    TCommandAnswer answerCommand(const TCommandRequest& request);
    // What the About box tells of the backend.
    void setBackendReport(std::vector<std::string> lines) { m_backendReport = std::move(lines); }

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

signals:
    // The window has closed and everything is saved: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showWindow() override;
    void quitAsExit() override;
    void FormCreate();
    void FormClose();
    void createToolBar();
    void createList();
    void createMenu();
    void createTrayIcon();
    void addToolButton(const TToolCommand& command, int standardIcon);
    void placeFrame(const TRect& frame);
    void placeOnceFramed();
    void AboutMenuClick();
    void WebPageMenuClick();

    Platform& m_platform;
    IShell& m_shell;
    std::string m_folder;
    std::string m_recoveryFolder;
    std::vector<QToolButton*> m_buttons;
    QTableView* VT = nullptr;
    TClickListModel* m_model = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    std::unique_ptr<TClickListController> m_controller;
    bool m_closeInteractive = true;
    bool m_closed = false;
    // The frame asked for before a window manager framed the window.
    std::optional<TRect> m_unframedBounds;
    std::vector<std::string> m_backendReport;
};
