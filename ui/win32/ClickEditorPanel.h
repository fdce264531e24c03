#pragma once

#include "control/CaptureSession.h"
#include "control/ClickEditorLayout.h"
#include "control/ClickEditorModel.h"
#include "platform/win32/Win32EventLoop.h"
#include "ui/win32/FindMark.h"
#include "ui/win32/Window.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
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
// what they take and how it becomes a click is the editor model's, the capture the capture session's, Find now the Find
// now action's.
class TClickEditorPanel : public TWindow, private ICaptureView, private IScopeCaptureView, private IFindNowView {
public:
    TClickEditorPanel(IMouse& mouse, IScreen& screen, HWND dialog);
    ~TClickEditorPanel() override;

    void LoadFromClick(TMouseObj& click);
    // Writes every field, or none and throws when a numeric edit holds no number.
    void SaveToClick(TMouseObj& click);
    // What the controls show now.
    TClickEditorFields fields() const override;
    void showFields(const TClickEditorFields& fields);
    // The numeric edit OK cannot store, or nullptr; `message` is what the user is told about it.
    const TNumericEdit* refusedEdit(std::string& message) const;
    const std::vector<TNumericEdit>& numericEdits() const { return m_numericEdits; }
    TCaptureSession& capture() { return m_capture; }
    TFindNowAction& findNow() { return m_findNow; }
    const TFindMark& findMark() const { return m_mark; }

    void rbFixedClick();
    void btnCaptureClick();
    void btnCaptureColorClick();
    void btnPickPointClick();
    void btnPickColorClick();
    void StopCapture();
    void btnBMPClick();
    void btnCaptureScopeClick();
    void btnFindNowClick();
    // Shows the BMP file image in the preview; false (and nothing changed) when it is no picture.
    bool showPicture(const std::vector<std::uint8_t>& bmpFile);
    // Shows a BMP file in the preview, kept as a 24-bit one; false (and nothing changed) when it cannot be read.
    bool loadPictureFile(const std::wstring& path);
    const std::vector<std::uint8_t>& picture() const { return m_picture; }
    // What the user is told when the editor opens about what the click could not show; empty for nothing.
    const std::string& loadNotice() const { return m_loadNotice; }
    // Fills the scope edits from the two corners of a drag, not ordered.
    void setScope(TPoint start, TPoint end) override;
    // The colour the swatch shows, 0x00BBGGRR.
    std::uint32_t swatchColor() const { return m_swatch; }
    // Marks Ctrl+F(n + 1) in both hotkey lists as held by another program.
    void markHotKeyUnavailable(int n);

    HWND rbCurrent = nullptr, rbFixed = nullptr, rbColor = nullptr, rbBMP = nullptr, gbPoint = nullptr,
         btnCapture = nullptr, edPX = nullptr, edPY = nullptr, btnPickPoint = nullptr, gbColor = nullptr,
         btnCaptureColor = nullptr, edSwatch = nullptr, btnPickColor = nullptr, edColor = nullptr, edSimilar = nullptr,
         gbBMP = nullptr, btnBMP = nullptr, ImageBMP = nullptr, btnCaptureScope = nullptr, edColorL = nullptr,
         edColorR = nullptr, edColorT = nullptr, edColorB = nullptr, edIntHour = nullptr, edIntMinute = nullptr,
         edIntThousandths = nullptr, edRanBegin = nullptr, dtpTime = nullptr, cbHKStart = nullptr, cbHKStop = nullptr,
         edJitter = nullptr, lblSpreadArea = nullptr, edName = nullptr, btnFindNow = nullptr, lblFindResult = nullptr;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND control(TEditorId id) const;
    void nameControls();
    HWND create(const TEditorControl& control);
    // `height`, when given, instead of the layout's.
    HWND place(const TEditorControl& control, const wchar_t* windowClass, DWORD style, int height = 0);
    HWND label(const TEditorControl& control);
    HWND edit(const TEditorControl& control, DWORD style);
    HWND numericEdit(const TEditorControl& control);
    void spin(HWND edit, TSpin bounds);
    HWND listOnly(const TEditorControl& control);
    void radioClicked(HWND radio);
    void setGroupEnabled(TEditorId group, bool enabled);
    void clearPicture();
    void showSpreadArea();
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
    Win32EventLoop m_loop;
    TCaptureSession m_capture;
    // The union of the monitors, which coordinates typed in are held to.
    TRect m_monitors;
    // The fields last shown, with what the model keeps beside the controls.
    TClickEditorFields m_shown;
    std::vector<TNumericEdit> m_numericEdits;
    // Every control built from the editor layout, with the layout's entry for it.
    std::vector<std::pair<const TEditorControl*, HWND>> m_controls;
    // The controls whose text is blue.
    std::vector<HWND> m_blue;
    std::vector<std::uint8_t> m_picture;
    std::string m_loadNotice;
    HBITMAP m_preview = nullptr;
    std::uint32_t m_swatch = 0;
    HBRUSH m_swatchBrush = nullptr;
    TFindMark m_mark;
    TFindNowAction m_findNow;
};
