#pragma once

#include "control/CaptureSession.h"
#include "control/ClickEditorLayout.h"
#include "control/ClickEditorModel.h"
#include "control/DesktopBinding.h"
#include "platform/Geometry.h"
#include "platform/qt/QtEventLoop.h"
#include "ui/qt/FindMark.h"

#include <QFrame>
#include <QImage>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class IHotKeys;
class IMouse;
class IScreen;
class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class QToolButton;
class TMouseObj;
class TUpDown;

// A numeric edit and the editor field it shows.
struct TNumericEdit {
    QLineEdit* edit;
    std::string TClickEditorFields::*field;
    // Its arrows; nullptr for none.
    TUpDown* upDown;
};

// Every control of one click and the capture tools. What the controls show, what they take and how it becomes a
// click is the editor model's (TClickEditorModel), the capture the capture session's: the controls show their
// fields and give them back. Where the keys are bound in the desktop (`hotKeys`), it shows the lines for the
// desktop's configuration too. Find now is the Find now action's, which the panel shows.
class TClickEditorPanel : public QFrame, private ICaptureView, private IScopeCaptureView, private IFindNowView {
    Q_OBJECT
public:
    TClickEditorPanel(IMouse& mouse, IScreen& screen, IHotKeys& hotKeys, QWidget* parent = nullptr);

    void LoadFromClick(TMouseObj& click);
    // Writes every field, or none and throws when a numeric edit holds no number.
    void SaveToClick(TMouseObj& click);
    // What the controls show now.
    TClickEditorFields fields() const override;
    void showFields(const TClickEditorFields& fields);

    // The numeric edit OK cannot store, or nullptr; `message` is what the user is told about it.
    const TNumericEdit* refusedEdit(std::string& message) const;
    const std::vector<TNumericEdit>& numericEdits() const { return m_numericEdits; }
    TUpDown* upDownOf(const QLineEdit* edit) const;
    TCaptureSession& capture() { return m_capture; }
    TFindNowAction& findNow() { return m_findNow; }
    const TFindMark& findMark() const { return m_mark; }

    void rbFixedClick();
    void btnCaptureClick();
    void btnCaptureColorClick();
    void btnPickPointClick();
    void btnPickColorClick();
    void StopCapture();
    void btnCopyDesktopKeysClick();
    void btnBMPClick();
    void btnCaptureScopeClick();
    void btnFindNowClick();
    // Shows a BMP file in the preview, kept as a 24-bit one; false (and nothing changed) when it cannot be read.
    bool loadPictureFile(const QString& path);
    // Shows the BMP file image in the preview; false (and nothing changed) when it is no picture.
    bool showPicture(const std::vector<std::uint8_t>& bmpFile);
    // Fills the scope edits from the two corners of a drag, not ordered.
    void setScope(TPoint start, TPoint end) override;
    // The picture as the preview shows it; null for none.
    const QImage& picture() const { return m_shownPicture; }
    // Ctrl+F(n + 1) could not be taken as a global hotkey: both hotkey lists mark it.
    void markHotKeyUnavailable(int n);
    // What LoadFromClick could not show, or empty.
    const QString& loadNotice() const { return m_loadNotice; }

    QGroupBox *gbClickPoint = nullptr, *gbPoint = nullptr, *gbColor = nullptr, *gbBMP = nullptr;
    QRadioButton *rbCurrent = nullptr, *rbFixed = nullptr, *rbColor = nullptr, *rbBMP = nullptr, *rbFull = nullptr,
                 *rbPart = nullptr, *rbIntFixed = nullptr, *rbIntRan = nullptr, *rbNow = nullptr, *rbAt = nullptr,
                 *rbAfter = nullptr, *rbStopOrder = nullptr, *rbStopClick = nullptr, *rbNo = nullptr, *rbBack = nullptr,
                 *rbBackClick = nullptr;
    QPushButton *btnCapture = nullptr, *btnCaptureColor = nullptr, *btnPickPoint = nullptr, *btnPickColor = nullptr,
                *btnCaptureScope = nullptr, *btnCopyDesktopKeys = nullptr, *btnFindNow = nullptr;
    QLineEdit *edPX = nullptr, *edPY = nullptr, *edSwatch = nullptr, *edColor = nullptr, *edSimilar = nullptr,
              *edBMPSimilar = nullptr, *edColorL = nullptr, *edColorR = nullptr, *edColorT = nullptr,
              *edColorB = nullptr, *edIntHour = nullptr, *edIntMinute = nullptr, *edIntSecond = nullptr,
              *edIntTenths = nullptr, *edIntHundredths = nullptr, *edIntThousandths = nullptr, *edRanBegin = nullptr,
              *edRanEnd = nullptr, *edtStartHour = nullptr, *edtStartMin = nullptr, *edtStartSec = nullptr,
              *edStopTimes = nullptr, *edHoldTime = nullptr, *edHoldTimeTo = nullptr, *edJitter = nullptr,
              *edName = nullptr;
    QToolButton* btnBMP = nullptr;
    QFrame* pnlPreview = nullptr;
    QLabel *ImageBMP = nullptr, *lblDesktopKeysWhere = nullptr, *lblFindResult = nullptr, *lblSpreadArea = nullptr;
    QPlainTextEdit* edDesktopKeys = nullptr;
    QComboBox *cbButton = nullptr, *cbClick = nullptr, *cbHKStart = nullptr, *cbHKStop = nullptr;
    QTimeEdit* dtpTime = nullptr;

private:
    QWidget* widget(TEditorId id) const;
    template <class W> W* find(TEditorId id) const;
    QWidget* create(const TEditorControl& control);
    QRadioButton* radio(const TEditorControl& control, QWidget* parent, QRect bounds);
    QLineEdit* numericEdit(QWidget* parent, std::string TClickEditorFields::*field, QRect bounds);
    void nameControls();
    void connectControls();
    void keepUnavailableDisabled();
    void showDesktopKeys();
    void showSpreadArea();
    void clearPicture();
    void setSwatch(TSwatch swatch);
    void showCapturedPoint(TPoint point) override;
    void showCapturedColor(const std::string& text, TSwatch swatch) override;
    void hideEditor() override;
    void waitHidden(int milliseconds) override;
    std::optional<std::pair<TPoint, TPoint>> runScopeOverlay() override;
    std::optional<TPick> runPickOverlay() override;
    void showEditor() override;
    void showFindResult(const std::string& line) override;
    void setFindNowCaption(const std::string& caption) override;
    void showMark(const std::vector<TMarkBar>& bars) override;
    void hideMark() override;

    IMouse& m_mouse;
    IScreen& m_screen;
    const TEditorSystem m_system;
    // Whose configuration the desktop's keys are shown for, and the program it runs.
    TCompositor m_compositor = TCompositor::Sway;
    std::string m_program;
    QtEventLoop m_loop;
    TCaptureSession m_capture;
    // The union of the monitors, which coordinates typed in are held to.
    TRect m_monitors;
    // The fields last shown, with what the model keeps beside the controls.
    TClickEditorFields m_shown;
    // The picture as the BMP file image stored with the click, and as the preview shows it.
    std::vector<std::uint8_t> m_picture;
    QImage m_shownPicture;
    QString m_loadNotice;
    std::vector<TNumericEdit> m_numericEdits;
    // Every control built from the editor layout, with the layout's entry for it.
    std::vector<std::pair<const TEditorControl*, QWidget*>> m_controls;
    TFindMark m_mark;
    TFindNowAction m_findNow;
};
