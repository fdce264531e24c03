#pragma once

#include <QDialog>

#include <string>
#include <vector>

class IShell;
class QLabel;

// The About box: the title with its version, the maker's web and mail links and, when given, what `tappora check`
// tells of the backend. A click on its background closes it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(IShell& shell, QWidget* parent = nullptr, const std::vector<std::string>& backendReport = {});

    void FormShow();
    void lblWebAddressClick();
    void lblMailAddressClick();

    QLabel* lblTitle = nullptr;
    QLabel* lblTagline = nullptr;
    QLabel* lblWebAddress = nullptr;
    QLabel* lblMailAddress = nullptr;
    QLabel* lblLicense = nullptr;
    QLabel* lblBackend = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showBackendReport(const std::vector<std::string>& lines);

    IShell& m_shell;
};
