#pragma once

#include "control/CaptureSession.h"
#include "control/ClickEditorModel.h"
#include "platform/win32/Win32EventLoop.h"
#include "ui/win32/Window.h"

#include <cstdint>
#include <string>
#include <vector>

class IMouse;
class IScreen;
class TMouseObj;

// A numeric edit and the editor field it shows.
struct TNumericEdit {
    HWND edit;
    std::string TClickEditorFields::*field;
};

// Every control of one click and the capture tools, on a child window of the editor dialog. What the controls show,
// what they take and how it becomes a click is the editor model's, the capture the capture session's.
class TfrmDefine : public TWindow, private ICaptureView {
public:
    TfrmDefine(IMouse& mouse, IScreen& screen, HWND dialog);
    ~TfrmDefine() override;

    void LoadFromClick(TMouseObj& click);
    // Writes every field, or none and throws when a numeric edit holds no number.
    void SaveToClick(TMouseObj& click);
    // What the controls show now.
    TClickEditorFields fields() const;
    void showFields(const TClickEditorFields& fields);
    // The numeric edit OK cannot store, or nullptr; `message` is what the user is told about it.
    const TNumericEdit* refusedEdit(std::string& message) const;
    const std::vector<TNumericEdit>& numericEdits() const { return m_numericEdits; }
    TCaptureSession& capture() { return m_capture; }

    void rbFixedClick();
    void btnCaptureClick();
    void btnCaptureColorClick();
    void StopCapture();
    void btnBMPClick();
    void btnCaptureScopeClick();
    // Shows the BMP file image in the preview; false (and nothing changed) when it is no picture.
    bool showPicture(const std::vector<std::uint8_t>& bmpFile);
    // Shows a BMP file in the preview, kept as a 24-bit one; false (and nothing changed) when it cannot be read.
    bool loadPictureFile(const std::wstring& path);
    const std::vector<std::uint8_t>& picture() const { return m_picture; }
    // What the user is told when the editor opens about what the click could not show; empty for nothing.
    const std::string& loadNotice() const { return m_loadNotice; }
    // Fills the scope edits from the two corners of a drag, not ordered.
    void setScope(TPoint start, TPoint end);
    // The colour the swatch shows, 0x00BBGGRR.
    std::uint32_t swatchColor() const { return m_swatch; }
    // Marks Ctrl+F(n + 1) in both hotkey lists as held by another program.
    void markHotKeyUnavailable(int n);

    HWND rbCurrent = nullptr, rbFixed = nullptr, rbColor = nullptr, rbBMP = nullptr;
    HWND gbPoint = nullptr, btnCapture = nullptr, edPX = nullptr, edPY = nullptr;
    HWND gbColor = nullptr, btnCaptureColor = nullptr, edSwatch = nullptr, edColor = nullptr, edSimilar = nullptr;
    HWND gbBMP = nullptr, btnBMP = nullptr, ImageBMP = nullptr, edBMPSimilar = nullptr;
    HWND rbFull = nullptr, rbPart = nullptr, btnCaptureScope = nullptr;
    HWND edColorL = nullptr, edColorR = nullptr, edColorT = nullptr, edColorB = nullptr;
    HWND cbButton = nullptr, cbClick = nullptr;
    HWND rbIntFixed = nullptr, edIntHour = nullptr, edIntMinute = nullptr, edIntSecond = nullptr;
    HWND edIntTenths = nullptr, edIntHundredths = nullptr, edIntThousandths = nullptr;
    HWND rbIntRan = nullptr, edRanBegin = nullptr, edRanEnd = nullptr;
    HWND rbNow = nullptr, rbAt = nullptr, dtpTime = nullptr, rbAfter = nullptr;
    HWND edtStartHour = nullptr, edtStartMin = nullptr, edtStartSec = nullptr;
    HWND rbStopOrder = nullptr, rbStopClick = nullptr, edStopTimes = nullptr;
    HWND rbNo = nullptr, rbBack = nullptr, rbBackClick = nullptr;
    HWND cbHKStart = nullptr, cbHKStop = nullptr, edName = nullptr;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Origin {
        int x;
        int y;
    };

    void createClickPoint();
    void createPointGroup(Origin gbClickPoint);
    void createColorGroup(Origin gbClickPoint);
    void createPictureGroup(Origin gbClickPoint);
    void createScopePanel(Origin gbClickPoint);
    void createClickOptions();
    void createClickInterval();
    void createStartOptions();
    void createStopOptions();
    void createAfterClick();
    void createHotKeys();
    HWND control(const wchar_t* windowClass, const std::string& text, DWORD style, Origin at, int x, int y, int width,
                 int height);
    HWND label(const std::string& text, Origin at, int x, int y, bool blue = false, int points = 8, bool bold = false);
    HWND group(const std::string& caption, Origin at, int x, int y, int width, int height);
    HWND radio(const std::string& caption, Origin at, int x, int y, int width, int height = 18);
    HWND numericEdit(std::string TClickEditorFields::*field, Origin at, int x, int y, int width);
    void spin(HWND edit, TSpin bounds);
    HWND listOnly(const std::vector<std::string>& items, Origin at, int x, int y, int width);
    void radioClicked(HWND radio);
    void clearPicture();
    void setSwatch(TSwatch swatch);
    void showCapturedPoint(TPoint point) override;
    void showCapturedColor(const std::string& text, TSwatch swatch) override;
    void showColor(const std::string& text);
    void setGroupEnabled(const std::vector<HWND>& group, bool enabled);
    int checkedIn(const std::vector<HWND>& radios) const;
    void checkExactly(const std::vector<HWND>& radios, int value);

    IScreen& m_screen;
    Win32EventLoop m_loop;
    TCaptureSession m_capture;
    // The union of the monitors, which coordinates typed in are held to.
    TRect m_monitors;
    // The fields last shown, with what the model keeps beside the controls.
    TClickEditorFields m_shown;
    std::vector<TNumericEdit> m_numericEdits;
    std::vector<std::vector<HWND>> m_radioGroups;
    std::vector<HWND> m_pointTypes, m_screenTypes, m_intervalTypes, m_startTypes, m_stopTypes, m_finishTypes;
    std::vector<HWND> m_pointGroup, m_colorGroup, m_pictureGroup;
    // The controls whose text is blue.
    std::vector<HWND> m_blue;
    std::vector<std::uint8_t> m_picture;
    std::string m_loadNotice;
    HBITMAP m_preview = nullptr;
    std::uint32_t m_swatch = 0;
    HBRUSH m_swatchBrush = nullptr;
    HWND m_current = nullptr;
};
