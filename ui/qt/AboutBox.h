#pragma once

#include <QDialog>

class IShell;
class QLabel;

// The About box: the title with its version and the maker's web and mail links. A click on its background
// closes it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(IShell& shell, QWidget* parent = nullptr);

    void FormShow();
    void lblWebAddressClick();
    void lblMailAddressClick();

    QLabel* lblTitle = nullptr;
    QLabel* lblTagline = nullptr;
    QLabel* lblWebAddress = nullptr;
    QLabel* lblMailAddress = nullptr;
    QLabel* lblLicense = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    IShell& m_shell;
};
