#include "ui/qt/ClickEditorPanel.h"

#include "control/ClickEditorLayout.h"
#include "control/ClickEditorModel.h"
#include "model/MouseObj.h"
#include "pixels/Base64.h"
#include "platform/ErrorGuard.h"
#include "platform/HotKeys.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"
#include "ui/qt/BmpFile.h"
#include "ui/qt/ScopeOverlay.h"
#include "ui/qt/TextWrap.h"
#include "ui/qt/UpDown.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {
using Id = TEditorId;
using Kind = TEditorKind;

// What a numeric edit takes, typed or pasted, is the editor model's rule.
class TFieldValidator : public QValidator {
public:
    TFieldValidator(const TNumericField& field, QObject* parent) : QValidator(parent), m_field(field) {}
    State validate(QString& input, int&) const override {
        return TClickEditorModel::Accepts(m_field, input.toStdString()) ? Acceptable : Invalid;
    }

private:
    const TNumericField& m_field;
};

template <class W> W* place(W* widget, QWidget* parent, int x, int y, int width, int height) {
    widget->setParent(parent);
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y) {
    auto* result = new QLabel(text, parent);
    result->move(x, y);
    result->adjustSize();
    return result;
}

void setTextColor(QWidget* widget, QColor color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QLabel* blueLabel(QWidget* parent, const QString& text, int x, int y) {
    QLabel* result = label(parent, text, x, y);
    setTextColor(result, Qt::blue);
    return result;
}

// The capture hint runs nearly the group's whole width, so it takes a size smaller than the rest.
QLabel* captureHint(QWidget* parent, int y) {
    QLabel* hint = blueLabel(parent, "Press any key to stop capture", 4, y);
    QFont smaller = hint->font();
    if (smaller.pixelSize() > 0)
        smaller.setPixelSize(smaller.pixelSize() - 1);
    else
        smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
    hint->setFont(smaller);
    hint->adjustSize();
    return hint;
}

QGroupBox* group(QWidget* parent, const QString& caption, int x, int y, int width, int height) {
    auto* box = place(new QGroupBox(caption), parent, x, y, width, height);
    QFont bold = box->font();
    bold.setBold(true);
    box->setFont(bold);
    return box;
}

// Children of a group take the plain font; only the group's own caption is bold.
void plainChildren(QGroupBox* box) {
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QGroupBox*>(child))
            continue;
        QFont plain = child->font();
        plain.setBold(false);
        child->setFont(plain);
    }
}

QComboBox* listOnly(QWidget* parent, const std::vector<std::string>& items, QRect bounds) {
    auto* combo = place(new QComboBox, parent, bounds.x(), bounds.y(), bounds.width(), bounds.height());
    for (const std::string& item : items)
        combo->addItem(QString::fromStdString(item));
    return combo;
}

QFrame* frame(QWidget* parent, int shadow, QRect bounds) {
    auto* result = place(new QFrame, parent, bounds.x(), bounds.y(), bounds.width(), bounds.height());
    result->setFrameStyle(QFrame::Panel | shadow);
    return result;
}

QLabel* titleLabel(QWidget* parent, const QString& text, int x, int y) {
    QLabel* result = label(parent, text, x, y);
    QFont bold = result->font();
    bold.setBold(true);
    result->setFont(bold);
    result->adjustSize();
    setTextColor(result, Qt::blue);
    return result;
}

QLabel* captionLabel(QWidget* parent, const TEditorControl& control) {
    const QString text = QString::fromStdString(control.caption);
    const int x = control.bounds.left, y = control.bounds.top;
    switch (control.look) {
    case TEditorLook::Blue:
        return blueLabel(parent, text, x, y);
    case TEditorLook::Hint:
        return captureHint(parent, y);
    case TEditorLook::Title:
        return titleLabel(parent, text, x, y);
    default:
        return label(parent, text, x, y);
    }
}

QLineEdit* readOnlyEdit(QWidget* parent, QRect bounds) {
    auto* edit = place(new QLineEdit, parent, bounds.x(), bounds.y(), bounds.width(), bounds.height());
    edit->setReadOnly(true);
    return edit;
}

// Lines to copy whole: they scroll sideways rather than wrap; two show at once.
QPlainTextEdit* readOnlyLines(QWidget* parent, QRect bounds) {
    auto* box = place(new QPlainTextEdit, parent, bounds.x(), bounds.y(), bounds.width(), bounds.height());
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}

const char* environmentVariable(const char* name) {
    return std::getenv(name);
}

std::string textOf(const QWidget* edit) {
    return static_cast<const QLineEdit*>(edit)->text().toStdString();
}

// A system colour (0xFF000000 plus its index) is the desktop's colour for that part of a window; where the toolkit
// has no such part, the usual value of that system colour.
QColor systemColor(std::uint32_t index, const QPalette& desktop) {
    struct Part {
        std::uint32_t index;
        QPalette::ColorRole role;
        QPalette::ColorGroup group;
    };
    static const Part parts[] = {
        {4, QPalette::Window, QPalette::Active},       {5, QPalette::Base, QPalette::Active},
        {7, QPalette::WindowText, QPalette::Active},   {8, QPalette::Text, QPalette::Active},
        {13, QPalette::Highlight, QPalette::Active},   {14, QPalette::HighlightedText, QPalette::Active},
        {15, QPalette::Button, QPalette::Active},      {16, QPalette::Dark, QPalette::Active},
        {17, QPalette::Text, QPalette::Disabled},      {18, QPalette::ButtonText, QPalette::Active},
        {20, QPalette::Light, QPalette::Active},       {21, QPalette::Shadow, QPalette::Active},
        {22, QPalette::Midlight, QPalette::Active},    {23, QPalette::ToolTipText, QPalette::Active},
        {24, QPalette::ToolTipBase, QPalette::Active}, {26, QPalette::Link, QPalette::Active},
        {29, QPalette::Highlight, QPalette::Active},   {30, QPalette::Window, QPalette::Active},
    };
    for (const Part& part : parts)
        if (part.index == index)
            return desktop.color(part.group, part.role);
    static const std::pair<std::uint32_t, QRgb> usual[] = {
        {0, 0xC8C8C8},  {1, 0x000000},  {2, 0x99B4D1},  {3, 0xBFCDDB},  {6, 0x646464},  {9, 0x000000},
        {10, 0xB4B4B4}, {11, 0xF4F7FC}, {12, 0xABABAB}, {19, 0x000000}, {27, 0xB9D1EA}, {28, 0xD7E4F2},
    };
    for (const auto& [known, rgb] : usual)
        if (known == index)
            return QColor(rgb);
    return QColor(Qt::black);
}

QColor swatchColor(TSwatch swatch) {
    const QPalette desktop = QApplication::palette();
    switch (swatch.kind) {
    case TSwatch::System:
        return systemColor(swatch.value, desktop);
    case TSwatch::EditBackground:
        return desktop.color(QPalette::Base);
    default:
        return QColor(int(swatch.value & 0xFF), int((swatch.value >> 8) & 0xFF), int((swatch.value >> 16) & 0xFF));
    }
}

} // namespace

TClickEditorPanel::TClickEditorPanel(IMouse& mouse, IScreen& screen, IHotKeys& hotKeys, QWidget* parent)
    : QFrame(parent), m_mouse(mouse),
      m_screen(screen), m_system{mouse.readsPointer(), hotKeys.boundInDesktop(),
                                 TScopeOverlay::windowsHere() == TOverlayWindows::OverPrimary},
      m_capture(m_loop, mouse, screen, *this), m_monitors(TClickEditorModel::Extent(screen.monitorAreas())),
      m_findNow(screen, m_loop, *this, m_monitors, m_system.placesWindows) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFocusPolicy(Qt::StrongFocus);
    const TSize size = TClickEditorLayout::PanelSize(m_system.keysBoundInDesktop);
    resize(size.width, size.height);
    for (const TEditorControl& control : TClickEditorLayout::Controls(m_system.keysBoundInDesktop))
        m_controls.push_back({&control, create(control)});
    for (QGroupBox* box : findChildren<QGroupBox*>())
        plainChildren(box);
    nameControls();
    connectControls();
    for (const TUnavailable& unavailable : TClickEditorLayout::Unavailable(m_system))
        widget(unavailable.id)->setToolTip(unavailable.why);
    if (m_system.keysBoundInDesktop) {
        m_compositor = CompositorFromEnvironment(environmentVariable);
        m_program = ProgramToRun(QCoreApplication::applicationFilePath().toStdString());
    }
    const QTime now = QTime::currentTime();
    showFields(TClickEditorModel::Initial({now.hour(), now.minute(), now.second()}));
    // The colour and picture groups start enabled; only their buttons wait for their point type.
    gbPoint->setEnabled(rbFixed->isChecked());
    btnCapture->setEnabled(rbFixed->isChecked());
    btnCaptureColor->setEnabled(false);
    btnPickColor->setEnabled(false);
    btnBMP->setEnabled(false);
    keepUnavailableDisabled();
}

QWidget* TClickEditorPanel::widget(TEditorId id) const {
    if (id == Id::Panel)
        return const_cast<TClickEditorPanel*>(this);
    for (const auto& [control, widget] : m_controls)
        if (control->id == id)
            return widget;
    return nullptr;
}

QWidget* TClickEditorPanel::create(const TEditorControl& control) {
    QWidget* parent = widget(control.parent);
    const TRect b = control.bounds;
    const QRect bounds(b.left, b.top, b.width, b.height);
    const QString caption = QString::fromStdString(control.caption);
    switch (control.kind) {
    case Kind::Group:
        return group(parent, caption, b.left, b.top, b.width, b.height);
    case Kind::Panel:
        return frame(parent, QFrame::Raised, bounds);
    case Kind::SunkenFrame:
    case Kind::PictureFrame:
        return frame(parent, QFrame::Sunken, bounds);
    case Kind::Radio:
        return radio(control, parent, bounds);
    case Kind::Label:
        return captionLabel(parent, control);
    case Kind::NumericEdit:
        return numericEdit(parent, control.text, bounds);
    case Kind::ReadOnlyEdit:
        return readOnlyEdit(parent, bounds);
    case Kind::ReadOnlyLines:
        return readOnlyLines(parent, bounds);
    case Kind::Note: {
        auto* note = place(new QLabel, parent, b.left, b.top, b.width, b.height);
        note->setWordWrap(true);
        note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        note->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return note;
    }
    case Kind::Swatch: {
        QLineEdit* swatch = readOnlyEdit(parent, bounds);
        swatch->setFocusPolicy(Qt::NoFocus);
        return swatch;
    }
    case Kind::LineEdit: {
        auto* edit = place(new QLineEdit, parent, b.left, b.top, b.width, b.height);
        setTextColor(edit, Qt::blue);
        return edit;
    }
    case Kind::List:
        return listOnly(parent, TClickEditorLayout::Items(control.choice), bounds);
    case Kind::Button: {
        auto* button = place(new QPushButton, parent, b.left, b.top, b.width, b.height);
        setWrappedText(button, caption, b.width - 6);
        return button;
    }
    case Kind::ToolButton: {
        auto* button = place(new QToolButton, parent, b.left, b.top, b.width, b.height);
        button->setText(caption);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    }
    case Kind::Picture: {
        auto* picture = new QLabel(parent);
        picture->hide();
        return picture;
    }
    case Kind::TimePicker: {
        auto* picker = place(new QTimeEdit, parent, b.left, b.top, b.width, b.height);
        picker->setDisplayFormat("HH:mm:ss");
        return picker;
    }
    }
    throw std::logic_error("unknown editor control");
}

// A caption too long for one line wraps beside its indicator.
QRadioButton* TClickEditorPanel::radio(const TEditorControl& control, QWidget* parent, QRect bounds) {
    auto* button = place(new QRadioButton, parent, bounds.x(), bounds.y(), bounds.width(), bounds.height());
    if (bounds.height() > TClickEditorLayout::kRadioHeight)
        setWrappedText(button, QString::fromStdString(control.caption), bounds.width() - 24);
    else
        button->setText(QString::fromStdString(control.caption));
    if (control.look == TEditorLook::Blue)
        setTextColor(button, Qt::blue);
    return button;
}

// Its length, what it takes and its arrows come from the editor model's table.
QLineEdit* TClickEditorPanel::numericEdit(QWidget* parent, std::string TClickEditorFields::*text, QRect bounds) {
    const TNumericField& field = TClickEditorModel::NumericField(text);
    auto* edit = place(new QLineEdit, parent, bounds.x(), bounds.y(), bounds.width(), bounds.height());
    edit->setValidator(new TFieldValidator(field, edit));
    TUpDown* arrows = field.spin ? new TUpDown(edit, field.spin->min, field.spin->max, field.spin->step) : nullptr;
    m_numericEdits.push_back({edit, text, arrows});
    return edit;
}

template <class W> W* TClickEditorPanel::find(TEditorId id) const {
    return static_cast<W*>(widget(id));
}

void TClickEditorPanel::nameControls() {
    gbClickPoint = find<QGroupBox>(Id::gbClickPoint);
    gbPoint = find<QGroupBox>(Id::gbPoint);
    gbColor = find<QGroupBox>(Id::gbColor);
    gbBMP = find<QGroupBox>(Id::gbBMP);
    rbCurrent = find<QRadioButton>(Id::rbCurrent);
    rbFixed = find<QRadioButton>(Id::rbFixed);
    rbColor = find<QRadioButton>(Id::rbColor);
    rbBMP = find<QRadioButton>(Id::rbBMP);
    rbFull = find<QRadioButton>(Id::rbFull);
    rbPart = find<QRadioButton>(Id::rbPart);
    rbIntFixed = find<QRadioButton>(Id::rbIntFixed);
    rbIntRan = find<QRadioButton>(Id::rbIntRan);
    rbNow = find<QRadioButton>(Id::rbNow);
    rbAt = find<QRadioButton>(Id::rbAt);
    rbAfter = find<QRadioButton>(Id::rbAfter);
    rbStopOrder = find<QRadioButton>(Id::rbStopOrder);
    rbStopClick = find<QRadioButton>(Id::rbStopClick);
    rbNo = find<QRadioButton>(Id::rbNo);
    rbBack = find<QRadioButton>(Id::rbBack);
    rbBackClick = find<QRadioButton>(Id::rbBackClick);
    btnCapture = find<QPushButton>(Id::btnCapture);
    btnCaptureColor = find<QPushButton>(Id::btnCaptureColor);
    btnPickPoint = find<QPushButton>(Id::btnPickPoint);
    btnPickColor = find<QPushButton>(Id::btnPickColor);
    btnCaptureScope = find<QPushButton>(Id::btnCaptureScope);
    btnCopyDesktopKeys = find<QPushButton>(Id::btnCopyDesktopKeys);
    btnFindNow = find<QPushButton>(Id::btnFindNow);
    lblFindResult = find<QLabel>(Id::lblFindResult);
    lblDesktopKeysWhere = find<QLabel>(Id::lblDesktopKeysWhere);
    edDesktopKeys = find<QPlainTextEdit>(Id::edDesktopKeys);
    edPX = find<QLineEdit>(Id::edPX);
    edPY = find<QLineEdit>(Id::edPY);
    edSwatch = find<QLineEdit>(Id::edSwatch);
    edColor = find<QLineEdit>(Id::edColor);
    edSimilar = find<QLineEdit>(Id::edSimilar);
    edBMPSimilar = find<QLineEdit>(Id::edBMPSimilar);
    edColorL = find<QLineEdit>(Id::edColorL);
    edColorR = find<QLineEdit>(Id::edColorR);
    edColorT = find<QLineEdit>(Id::edColorT);
    edColorB = find<QLineEdit>(Id::edColorB);
    edIntHour = find<QLineEdit>(Id::edIntHour);
    edIntMinute = find<QLineEdit>(Id::edIntMinute);
    edIntSecond = find<QLineEdit>(Id::edIntSecond);
    edIntTenths = find<QLineEdit>(Id::edIntTenths);
    edIntHundredths = find<QLineEdit>(Id::edIntHundredths);
    edIntThousandths = find<QLineEdit>(Id::edIntThousandths);
    edRanBegin = find<QLineEdit>(Id::edRanBegin);
    edRanEnd = find<QLineEdit>(Id::edRanEnd);
    edtStartHour = find<QLineEdit>(Id::edtStartHour);
    edtStartMin = find<QLineEdit>(Id::edtStartMin);
    edtStartSec = find<QLineEdit>(Id::edtStartSec);
    edStopTimes = find<QLineEdit>(Id::edStopTimes);
    edHoldTime = find<QLineEdit>(Id::edHoldTime);
    edHoldTimeTo = find<QLineEdit>(Id::edHoldTimeTo);
    edJitter = find<QLineEdit>(Id::edJitter);
    lblSpreadArea = find<QLabel>(Id::lblSpreadArea);
    edName = find<QLineEdit>(Id::edName);
    btnBMP = find<QToolButton>(Id::btnBMP);
    pnlPreview = find<QFrame>(Id::pnlPreview);
    ImageBMP = find<QLabel>(Id::ImageBMP);
    cbButton = find<QComboBox>(Id::cbButton);
    cbClick = find<QComboBox>(Id::cbClick);
    cbHKStart = find<QComboBox>(Id::cbHKStart);
    cbHKStop = find<QComboBox>(Id::cbHKStop);
    dtpTime = find<QTimeEdit>(Id::dtpTime);
}

void TClickEditorPanel::connectControls() {
    const auto onClick = [this](QAbstractButton* button, void (TClickEditorPanel::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, [this, handler] { runGuarded([&] { (this->*handler)(); }); });
    };
    for (QRadioButton* radio : {rbCurrent, rbFixed, rbColor, rbBMP})
        onClick(radio, &TClickEditorPanel::rbFixedClick);
    onClick(btnCapture, &TClickEditorPanel::btnCaptureClick);
    onClick(btnCaptureColor, &TClickEditorPanel::btnCaptureColorClick);
    onClick(btnPickPoint, &TClickEditorPanel::btnPickPointClick);
    onClick(btnPickColor, &TClickEditorPanel::btnPickColorClick);
    onClick(btnBMP, &TClickEditorPanel::btnBMPClick);
    onClick(btnCaptureScope, &TClickEditorPanel::btnCaptureScopeClick);
    onClick(btnFindNow, &TClickEditorPanel::btnFindNowClick);
    connect(edJitter, &QLineEdit::textChanged, this, [this] { runGuarded([&] { showSpreadArea(); }); });
    if (!m_system.keysBoundInDesktop)
        return;
    onClick(btnCopyDesktopKeys, &TClickEditorPanel::btnCopyDesktopKeysClick);
    const auto show = [this] { runGuarded([&] { showDesktopKeys(); }); };
    connect(edName, &QLineEdit::textChanged, this, show);
    for (QComboBox* keys : {cbHKStart, cbHKStop})
        connect(keys, &QComboBox::currentIndexChanged, this, show);
}

void TClickEditorPanel::rbFixedClick() {
    const TPointGroups usable = TClickEditorModel::EnabledGroups(fields().pointType);
    gbPoint->setEnabled(usable.point);
    btnCapture->setEnabled(usable.point);
    btnPickPoint->setEnabled(usable.point);
    gbColor->setEnabled(usable.color);
    btnCaptureColor->setEnabled(usable.color);
    btnPickColor->setEnabled(usable.color);
    gbBMP->setEnabled(usable.picture);
    btnBMP->setEnabled(usable.picture);
    keepUnavailableDisabled();
    StopCapture();
}

void TClickEditorPanel::keepUnavailableDisabled() {
    for (const TUnavailable& unavailable : TClickEditorLayout::Unavailable(m_system))
        widget(unavailable.id)->setEnabled(false);
}

void TClickEditorPanel::showDesktopKeys() {
    const TDesktopBinding binding = DesktopBinding(m_compositor, m_program, edName->text().toStdString(),
                                                   cbHKStart->currentIndex(), cbHKStop->currentIndex());
    lblDesktopKeysWhere->setText(QString::fromStdString(binding.where));
    lblDesktopKeysWhere->adjustSize();
    QStringList lines;
    for (const std::string& line : binding.lines)
        lines.append(QString::fromStdString(line));
    edDesktopKeys->setPlainText(lines.join('\n'));
}

void TClickEditorPanel::showSpreadArea() {
    lblSpreadArea->setText(QString::fromStdString(TClickEditorModel::SpreadArea(edJitter->text().toStdString())));
    lblSpreadArea->adjustSize();
}

// Whole lines, each ending in a line feed, ready to paste.
void TClickEditorPanel::btnCopyDesktopKeysClick() {
    QGuiApplication::clipboard()->setText(edDesktopKeys->toPlainText() + '\n');
}

void TClickEditorPanel::btnCaptureClick() {
    m_capture.StartPoint();
    setFocus();
}

void TClickEditorPanel::btnCaptureColorClick() {
    m_findNow.HideMark();
    m_capture.StartColor();
    setFocus();
}

void TClickEditorPanel::btnPickPointClick() {
    StopCapture();
    PickOnFrozenScreen(*this, *this, TPickKind::Point);
}

void TClickEditorPanel::btnPickColorClick() {
    StopCapture();
    PickOnFrozenScreen(*this, *this, TPickKind::Color);
}

void TClickEditorPanel::StopCapture() {
    m_capture.Stop();
}

void TClickEditorPanel::showCapturedPoint(TPoint point) {
    edPX->setText(QString::number(point.x));
    edPY->setText(QString::number(point.y));
}

void TClickEditorPanel::showCapturedColor(const std::string& text, TSwatch swatch) {
    edColor->setText(QString::fromStdString(text));
    setSwatch(swatch);
}

void TClickEditorPanel::setSwatch(TSwatch swatch) {
    QPalette palette = edSwatch->palette();
    palette.setColor(QPalette::Base, swatchColor(swatch));
    edSwatch->setPalette(palette);
}

// The lists are narrow: a warning sign marks the key, and its tip says why.
void TClickEditorPanel::markHotKeyUnavailable(int n) {
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (QComboBox* keys : {cbHKStart, cbHKStop}) {
        if (n < 0 || n >= keys->count())
            continue;
        keys->setItemIcon(n, warning);
        keys->setItemData(
            n, QString("Ctrl+F%1 is unavailable: another program (or another copy of Tappora) uses it.").arg(n + 1),
            Qt::ToolTipRole);
    }
}

// Decoded by the codec the search uses, so the preview shows exactly the pixels searched for.
bool TClickEditorPanel::showPicture(const std::vector<std::uint8_t>& bmpFile) {
    const QImage picture = decodeBmp(bmpFile);
    if (picture.isNull())
        return false;
    m_picture = bmpFile;
    m_shownPicture = picture;
    ImageBMP->setPixmap(QPixmap::fromImage(picture));
    const QSize area = pnlPreview->size();
    ImageBMP->setGeometry((area.width() - picture.width()) / 2, (area.height() - picture.height()) / 2, picture.width(),
                          picture.height());
    ImageBMP->show();
    return true;
}

void TClickEditorPanel::clearPicture() {
    m_picture.clear();
    m_shownPicture = QImage();
    ImageBMP->hide();
}

// Any BMP file Qt reads is kept as the 24-bit one the picture search reads.
bool TClickEditorPanel::loadPictureFile(const QString& path) {
    QImageReader reader(path, "bmp");
    const QImage picture = reader.read();
    return !picture.isNull() && showPicture(encodeBmp24(picture));
}

void TClickEditorPanel::btnBMPClick() {
    QFileDialog chooser(this);
    chooser.setNameFilter("BMP File (*.bmp)");
    chooser.setDefaultSuffix("bmp");
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    const QString path = chooser.selectedFiles().first();
    if (!QFileInfo(path).isFile()) {
        QMessageBox box(QMessageBox::Question, "Warning", "The file does not exist.", QMessageBox::Ok, this);
        box.exec();
        return;
    }
    loadPictureFile(path);
}

void TClickEditorPanel::setScope(TPoint start, TPoint end) {
    const TClickEditorFields scoped = TClickEditorModel::WithScope(fields(), start, end);
    for (const TNumericEdit& numeric : m_numericEdits)
        numeric.edit->setText(QString::fromStdString(scoped.*numeric.field));
}

void TClickEditorPanel::btnCaptureScopeClick() {
    CaptureScope(*this);
}

void TClickEditorPanel::btnFindNowClick() {
    m_findNow.Click();
}

void TClickEditorPanel::showFindResult(const std::string& line) {
    lblFindResult->setText(QString::fromStdString(line));
}

void TClickEditorPanel::setFindNowCaption(const std::string& caption) {
    btnFindNow->setText(QString::fromStdString(caption));
}

void TClickEditorPanel::showMark(const std::vector<TMarkBar>& bars) {
    m_mark.show(bars);
}

void TClickEditorPanel::hideMark() {
    m_mark.hide();
}

// The frozen screen is taken once the editor is gone: the mark goes with it.
void TClickEditorPanel::hideEditor() {
    m_findNow.HideMark();
    window()->hide();
}

// The hidden editor blocks nothing; until the overlay is up, the user's input waits rather than reaching the main
// window.
void TClickEditorPanel::waitHidden(int milliseconds) {
    QEventLoop wait;
    QTimer::singleShot(milliseconds, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
}

std::optional<std::pair<TPoint, TPoint>> TClickEditorPanel::runScopeOverlay() {
    TScopeOverlay overlay(m_screen, m_mouse);
    if (overlay.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::pair{overlay.frozen().ProgramPoint(overlay.drag.FStartPos),
                     overlay.frozen().ProgramPoint(overlay.drag.FEndPos)};
}

std::optional<TPick> TClickEditorPanel::runPickOverlay() {
    TScopeOverlay overlay(m_screen, m_mouse, TDragKind::Point);
    if (overlay.exec() != QDialog::Accepted)
        return std::nullopt;
    return overlay.frozen().Pick(overlay.drag.FStartPos);
}

void TClickEditorPanel::showEditor() {
    window()->show();
}

const TNumericEdit* TClickEditorPanel::refusedEdit(std::string& message) const {
    const std::optional<TFieldRefusal> refusal =
        TClickEditorModel::Refusal(fields(), m_monitors, m_mouse.doubleClickTime());
    if (!refusal)
        return nullptr;
    message = refusal->message;
    for (const TNumericEdit& numeric : m_numericEdits)
        if (numeric.field == refusal->field)
            return &numeric;
    return nullptr;
}

TUpDown* TClickEditorPanel::upDownOf(const QLineEdit* edit) const {
    for (const TNumericEdit& numeric : m_numericEdits)
        if (numeric.edit == edit)
            return numeric.upDown;
    return nullptr;
}

TClickEditorFields TClickEditorPanel::fields() const {
    TClickEditorFields f = m_shown;
    for (const auto& [control, widget] : m_controls) {
        switch (control->kind) {
        case Kind::NumericEdit:
        case Kind::ReadOnlyEdit:
        case Kind::LineEdit:
            f.*control->text = textOf(widget);
            break;
        case Kind::Radio:
            // None checked is -1; the group's first radio comes first.
            if (control->item == 0)
                f.*control->choice = -1;
            if (static_cast<const QRadioButton*>(widget)->isChecked())
                f.*control->choice = control->item;
            break;
        case Kind::List:
            f.*control->choice = static_cast<const QComboBox*>(widget)->currentIndex();
            break;
        default:
            break;
        }
    }
    f.picture = m_picture;
    const QTime startAt = dtpTime->time();
    f.fStartAt = StartTimeText({startAt.hour(), startAt.minute(), startAt.second()});
    return f;
}

void TClickEditorPanel::showFields(const TClickEditorFields& f) {
    m_shown = f;
    for (const auto& [control, widget] : m_controls) {
        switch (control->kind) {
        case Kind::NumericEdit:
        case Kind::ReadOnlyEdit:
        case Kind::LineEdit:
            static_cast<QLineEdit*>(widget)->setText(QString::fromStdString(f.*control->text));
            break;
        case Kind::Radio: {
            // Each radio is checked exactly when the choice is its number; none at all for a choice of none.
            auto* radio = static_cast<QRadioButton*>(widget);
            radio->setAutoExclusive(false);
            radio->setChecked(f.*control->choice == control->item);
            radio->setAutoExclusive(true);
            break;
        }
        case Kind::List:
            static_cast<QComboBox*>(widget)->setCurrentIndex(f.*control->choice);
            break;
        default:
            break;
        }
    }
    setSwatch(SwatchForText(f.fColor));
    if (f.picture != m_picture && !showPicture(f.picture))
        clearPicture();
    if (const auto startAt = ReadStartTime(f.fStartAt))
        dtpTime->setTime(QTime(startAt->hour, startAt->minute, startAt->second));
}

// A point type that loading checks anew sets the groups as a click on it would.
// A stored value that cannot be shown must not keep the editor from opening: it opens without it, and says so.
void TClickEditorPanel::LoadFromClick(TMouseObj& click) {
    const TClickEditorFields before = fields();
    TClickEditorFields shown = TClickEditorModel::FromClick(click, before);
    showFields(shown);
    m_shown.pictureUnreadable = shown.pictureUnreadable || (!shown.picture.empty() && m_picture.empty());
    m_loadNotice = QString::fromStdString(TClickEditorModel::LoadNotice(m_shown));
    const int after = fields().pointType;
    if (after >= 0 && after != before.pointType)
        rbFixedClick();
}

void TClickEditorPanel::SaveToClick(TMouseObj& click) {
    click = TClickEditorModel::ToClick(fields(), click, m_monitors, m_mouse.doubleClickTime());
}
