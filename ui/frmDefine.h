#pragma once

#include "control/ClickEditorModel.h"
#include "platform/Geometry.h"

#include <QFrame>
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

class IMouse;
class IScreen;
class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class QTimer;
class QToolButton;
class TMouseObj;
class TUpDown;

// A numeric edit and the editor field it shows.
struct TNumericEdit {
    QLineEdit* edit;
    std::string TClickEditorFields::*field;
};

// Every control of one click, the capture timer and the capture tools. What the controls show and how it becomes a
// click is the editor model's (TClickEditorModel): the controls show its fields and give them back.
class TfrmDefine : public QFrame {
    Q_OBJECT
public:
    TfrmDefine(IMouse& mouse, IScreen& screen, QWidget* parent = nullptr);

    void LoadFromClick(TMouseObj& click);
    // Writes every field, or none and throws when a numeric edit holds no number.
    void SaveToClick(TMouseObj& click);
    // What the controls show now.
    TClickEditorFields fields() const;
    void showFields(const TClickEditorFields& fields);

    // The first numeric edit whose text is no number, or nullptr; `message` is what the user is told about it.
    const TNumericEdit* unreadableEdit(std::string& message) const;
    const std::vector<TNumericEdit>& numericEdits() const { return m_numericEdits; }

    void rbFixedClick();
    void btnCaptureClick();
    void btnCaptureColorClick();
    void timerSetPointTimer();
    void StopCapture();
    // Every typed character anywhere in the dialog comes here before its control.
    void StopCaptureKeyPress(QChar key);
    std::uint32_t GetScreenPixelColor(int x, int y);
    void btnBMPClick();
    void btnCaptureScopeClick();
    // Shows a BMP file in the preview, kept as a 24-bit one; false (and nothing changed) when it cannot be read.
    bool loadPictureFile(const QString& path);
    // Shows the BMP file image in the preview; false (and nothing changed) when it is no picture.
    bool showPicture(const std::vector<std::uint8_t>& bmpFile);
    // Fills the scope edits from the two corners of a drag, not ordered.
    void setScope(TPoint start, TPoint end);
    // The picture as the preview shows it; null for none.
    const QImage& picture() const { return m_shownPicture; }
    // Ctrl+F(n + 1) could not be taken as a global hotkey: both hotkey lists mark it.
    void markHotKeyUnavailable(int n);
    // What LoadFromClick could not show (a stored picture that cannot be read), or empty.
    const QString& loadNotice() const { return m_loadNotice; }

    bool FCapturingPoint = false;
    bool FCapturingColor = false;
    QTimer* timerSetPoint = nullptr;

    QGroupBox* gbClickPoint = nullptr;
    QRadioButton* rbCurrent = nullptr;
    QRadioButton* rbFixed = nullptr;
    QGroupBox* gbPoint = nullptr;
    QPushButton* btnCapture = nullptr;
    QLineEdit* edPX = nullptr;
    QLineEdit* edPY = nullptr;
    QRadioButton* rbColor = nullptr;
    QGroupBox* gbColor = nullptr;
    QPushButton* btnCaptureColor = nullptr;
    QLineEdit* edSwatch = nullptr;
    QLineEdit* edColor = nullptr;
    QLineEdit* edSimilar = nullptr;
    TUpDown* udSimilar = nullptr;
    QRadioButton* rbBMP = nullptr;
    QGroupBox* gbBMP = nullptr;
    QToolButton* btnBMP = nullptr;
    QFrame* pnlPreview = nullptr;
    QLabel* ImageBMP = nullptr;
    QLineEdit* edBMPSimilar = nullptr;
    TUpDown* udBMPSimilar = nullptr;
    QRadioButton* rbFull = nullptr;
    QRadioButton* rbPart = nullptr;
    QPushButton* btnCaptureScope = nullptr;
    QLineEdit* edColorL = nullptr;
    QLineEdit* edColorR = nullptr;
    QLineEdit* edColorT = nullptr;
    QLineEdit* edColorB = nullptr;
    QComboBox* cbButton = nullptr;
    QComboBox* cbClick = nullptr;
    QRadioButton* rbIntFixed = nullptr;
    QLineEdit* edIntHour = nullptr;
    QLineEdit* edIntMinute = nullptr;
    QLineEdit* edIntSecond = nullptr;
    QLineEdit* edIntTenths = nullptr;
    QLineEdit* edIntHundredths = nullptr;
    QLineEdit* edIntThousandths = nullptr;
    QRadioButton* rbIntRan = nullptr;
    QLineEdit* edRanBegin = nullptr;
    QLineEdit* edRanEnd = nullptr;
    QRadioButton* rbNow = nullptr;
    QRadioButton* rbAt = nullptr;
    QTimeEdit* dtpTime = nullptr;
    QRadioButton* rbAfter = nullptr;
    QLineEdit* edtStartHour = nullptr;
    QLineEdit* edtStartMin = nullptr;
    QLineEdit* edtStartSec = nullptr;
    QRadioButton* rbStopOrder = nullptr;
    QRadioButton* rbStopClick = nullptr;
    QLineEdit* edStopTimes = nullptr;
    TUpDown* udStopTimes = nullptr;
    QRadioButton* rbNo = nullptr;
    QRadioButton* rbBack = nullptr;
    QRadioButton* rbBackClick = nullptr;
    QComboBox* cbHKStart = nullptr;
    QComboBox* cbHKStop = nullptr;
    QLineEdit* edName = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createClickPoint();
    void createPointGroup();
    void createColorGroup();
    void createPictureGroup();
    void createScopePanel();
    void createClickOptions();
    void createClickInterval();
    void createStartOptions();
    void createStopOptions();
    void createAfterClick();
    void createHotKeys();
    QLineEdit* numericEdit(QWidget* parent, std::string TClickEditorFields::*field, QRect bounds, int maxLength);
    TUpDown* spin(QLineEdit* edit, int min, int max, int increment = 1);
    void clearPicture();
    void showColor(const std::string& text);
    void setSwatch(std::uint32_t color);

    IMouse& m_mouse;
    IScreen& m_screen;
    // The picture as the BMP file image stored with the click, and as the preview shows it.
    std::vector<std::uint8_t> m_picture;
    QImage m_shownPicture;
    QString m_loadNotice;
    std::vector<TNumericEdit> m_numericEdits;
};
