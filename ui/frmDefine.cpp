#include "ui/frmDefine.h"

#include "control/ClickEditorModel.h"
#include "model/MouseObj.h"
#include "pixels/Base64.h"
#include "platform/ErrorGuard.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"
#include "ui/BmpFile.h"
#include "ui/TextWrap.h"
#include "ui/UpDown.h"
#include "ui/fmCopy.h"

#include <QApplication>
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
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

#include <initializer_list>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {
constexpr int kHideForScopeMs = 200;
constexpr int kEditHeight = 20;
using F = TClickEditorFields;

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

const TNumericField& numericField(std::string F::*text) {
    for (const TNumericField& field : TClickEditorModel::NumericFields())
        if (field.text == text)
            return field;
    throw std::logic_error("not a numeric field");
}

QString choice(int F::*group, int index) {
    return TClickEditorModel::Choices(group)[std::size_t(index)];
}

QStringList items(const std::vector<const char*>& texts) {
    QStringList result;
    for (const char* text : texts)
        result << text;
    return result;
}

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

QComboBox* listOnly(QWidget* parent, const QStringList& items, int x, int y, int width) {
    auto* combo = place(new QComboBox, parent, x, y, width, 22);
    combo->addItems(items);
    return combo;
}

// Each radio is checked exactly when `value` is its number; none at all for a value of none.
void checkExactly(std::initializer_list<QRadioButton*> radios, int value) {
    int number = 0;
    for (QRadioButton* radio : radios) {
        radio->setAutoExclusive(false);
        radio->setChecked(number++ == value);
        radio->setAutoExclusive(true);
    }
}

// The number of the checked radio, -1 for none.
int checkedIn(std::initializer_list<const QRadioButton*> radios) {
    int number = 0;
    for (const QRadioButton* radio : radios) {
        if (radio->isChecked())
            return number;
        ++number;
    }
    return -1;
}

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
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

TfrmDefine::TfrmDefine(IMouse& mouse, IScreen& screen, QWidget* parent)
    : QFrame(parent), m_screen(screen), m_capture(m_loop, mouse, screen, *this),
      m_monitors(TClickEditorModel::Extent(screen.monitorAreas())) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFocusPolicy(Qt::StrongFocus);
    resize(421, 595);
    createClickPoint();
    createClickOptions();
    createClickInterval();
    createStartOptions();
    createStopOptions();
    createAfterClick();
    createHotKeys();

    auto* nameLabel = label(this, "Action Name:", 12, 570);
    QFont bold = nameLabel->font();
    bold.setBold(true);
    nameLabel->setFont(bold);
    nameLabel->adjustSize();
    setTextColor(nameLabel, Qt::blue);
    edName = place(new QLineEdit, this, 92, 568, 111, 21);
    setTextColor(edName, Qt::blue);

    for (QGroupBox* box : findChildren<QGroupBox*>())
        plainChildren(box);
    const QTime now = QTime::currentTime();
    showFields(TClickEditorModel::Initial({now.hour(), now.minute(), now.second()}));
    // The colour and picture groups start enabled; only their buttons wait for their point type.
    gbPoint->setEnabled(rbFixed->isChecked());
    btnCapture->setEnabled(rbFixed->isChecked());
    btnCaptureColor->setEnabled(false);
    btnBMP->setEnabled(false);
}

// Its length, what it takes and its arrows come from the editor model's table.
QLineEdit* TfrmDefine::numericEdit(QWidget* parent, std::string F::*text, QRect bounds) {
    const TNumericField& field = numericField(text);
    auto* edit = place(new QLineEdit, parent, bounds.x(), bounds.y(), bounds.width(), bounds.height());
    edit->setValidator(new TFieldValidator(field, edit));
    TUpDown* arrows = field.spin ? new TUpDown(edit, field.spin->min, field.spin->max, field.spin->step) : nullptr;
    m_numericEdits.push_back({edit, text, arrows});
    return edit;
}

void TfrmDefine::createClickPoint() {
    gbClickPoint = group(this, "Click Point", 8, 4, 193, 503);
    rbCurrent = place(new QRadioButton(choice(&F::pointType, 0)), gbClickPoint, 9, 16, 180, 18);
    rbFixed = place(new QRadioButton(choice(&F::pointType, 1)), gbClickPoint, 9, 34, 180, 18);
    createPointGroup();
    rbColor = place(new QRadioButton(choice(&F::pointType, 2)), gbClickPoint, 9, 137, 180, 18);
    createColorGroup();
    rbBMP = place(new QRadioButton(choice(&F::pointType, 3)), gbClickPoint, 9, 264, 180, 18);
    createPictureGroup();
    createScopePanel();
    for (QRadioButton* radio : {rbCurrent, rbFixed, rbColor, rbBMP})
        connect(radio, &QRadioButton::clicked, this, [this] { runGuarded([&] { rbFixedClick(); }); });
}

void TfrmDefine::createPointGroup() {
    gbPoint = group(gbClickPoint, "Specify click point", 23, 51, 162, 85);
    btnCapture = place(new QPushButton, gbPoint, 6, 18, 76, 46);
    setWrappedText(btnCapture, "Start to capture point", 70);
    connect(btnCapture, &QPushButton::clicked, this, [this] { runGuarded([&] { btnCaptureClick(); }); });
    label(gbPoint, "X:", 88, 21);
    edPX = numericEdit(gbPoint, &F::edPX, {104, 18, 50, kEditHeight});
    label(gbPoint, "Y:", 88, 45);
    edPY = numericEdit(gbPoint, &F::edPY, {104, 42, 50, kEditHeight});
    captureHint(gbPoint, 67);
}

void TfrmDefine::createColorGroup() {
    gbColor = group(gbClickPoint, "specify color block", 23, 155, 162, 109);
    btnCaptureColor = place(new QPushButton, gbColor, 6, 18, 74, 46);
    setWrappedText(btnCaptureColor, "Start to capture color", 68);
    connect(btnCaptureColor, &QPushButton::clicked, this, [this] { runGuarded([&] { btnCaptureColorClick(); }); });
    edSwatch = place(new QLineEdit, gbColor, 86, 18, 70, kEditHeight);
    edSwatch->setReadOnly(true);
    edSwatch->setFocusPolicy(Qt::NoFocus);
    edColor = place(new QLineEdit, gbColor, 86, 42, 70, kEditHeight);
    edColor->setReadOnly(true);
    captureHint(gbColor, 66);
    label(gbColor, "Color Simliar:", 6, 87);
    edSimilar = numericEdit(gbColor, &F::edSimilar, {94, 84, 34, kEditHeight});
    label(gbColor, "%", 146, 87);
}

void TfrmDefine::createPictureGroup() {
    gbBMP = group(gbClickPoint, "specify BMP", 23, 281, 162, 98);
    btnBMP = place(new QToolButton, gbBMP, 6, 16, 57, 33);
    btnBMP->setText("Load BMP");
    btnBMP->setFocusPolicy(Qt::NoFocus);
    connect(btnBMP, &QToolButton::clicked, this, [this] { runGuarded([&] { btnBMPClick(); }); });
    blueLabel(gbBMP, "(24bit bmp)", 6, 52);
    pnlPreview = place(new QFrame, gbBMP, 66, 14, 92, 53);
    pnlPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ImageBMP = new QLabel(pnlPreview);
    ImageBMP->hide();
    label(gbBMP, "BMP Simliar:", 6, 75);
    edBMPSimilar = numericEdit(gbBMP, &F::edBMPSimilar, {94, 72, 34, kEditHeight});
    label(gbBMP, "%", 146, 75);
}

void TfrmDefine::createScopePanel() {
    auto* panel = place(new QFrame, gbClickPoint, 3, 383, 186, 109);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    rbFull = place(new QRadioButton(choice(&F::ScreenType, 0)), panel, 6, 4, 170, 18);
    rbPart = place(new QRadioButton(choice(&F::ScreenType, 1)), panel, 6, 24, 170, 18);
    btnCaptureScope = place(new QPushButton, panel, 6, 48, 50, 54);
    setWrappedText(btnCaptureScope, "Capture Scope", 44);
    connect(btnCaptureScope, &QPushButton::clicked, this, [this] { runGuarded([&] { btnCaptureScopeClick(); }); });
    auto* scope = place(new QFrame, panel, 60, 48, 122, 54);
    scope->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label(scope, "L:", 4, 7);
    edColorL = numericEdit(scope, &F::edColorL, {18, 4, 40, kEditHeight});
    label(scope, "R:", 62, 7);
    edColorR = numericEdit(scope, &F::edColorR, {77, 4, 40, kEditHeight});
    label(scope, "T:", 4, 31);
    edColorT = numericEdit(scope, &F::edColorT, {18, 28, 40, kEditHeight});
    label(scope, "B:", 62, 31);
    edColorB = numericEdit(scope, &F::edColorB, {77, 28, 40, kEditHeight});
}

void TfrmDefine::createClickOptions() {
    auto* box = group(this, "Click Options", 208, 5, 206, 73);
    label(box, "Mouse Button:", 8, 21);
    cbButton = listOnly(box, items(TClickEditorModel::ButtonItems()), 96, 17, 102);
    label(box, "Mouse Action:", 8, 47);
    cbClick = listOnly(box, items(TClickEditorModel::ActionItems()), 96, 43, 102);
}

void TfrmDefine::createClickInterval() {
    auto* box = group(this, "Click Interval", 208, 78, 206, 136);
    rbIntFixed = place(new QRadioButton(choice(&F::InteverType, 0)), box, 8, 16, 180, 18);
    setTextColor(rbIntFixed, Qt::blue);
    edIntHour = numericEdit(box, &F::edIntHour, {6, 38, 22, kEditHeight});
    label(box, "Hour", 43, 41);
    edIntMinute = numericEdit(box, &F::edIntMinute, {74, 38, 22, kEditHeight});
    label(box, "Min", 111, 41);
    edIntSecond = numericEdit(box, &F::edIntSecond, {136, 38, 22, kEditHeight});
    label(box, "Sec", 173, 41);
    edIntTenths = numericEdit(box, &F::edIntTenths, {6, 64, 16, kEditHeight});
    label(box, "0.1S", 37, 67);
    edIntHundredths = numericEdit(box, &F::edIntHundredths, {67, 64, 16, kEditHeight});
    label(box, "0.01S", 98, 67);
    edIntThousandths = numericEdit(box, &F::edIntThousandths, {134, 64, 16, kEditHeight});
    label(box, "0.001S", 165, 67);
    rbIntRan = place(new QRadioButton(choice(&F::InteverType, 1)), box, 8, 88, 140, 18);
    setTextColor(rbIntRan, Qt::blue);
    edRanBegin = numericEdit(box, &F::edRanBegin, {8, 110, 16, kEditHeight});
    label(box, "1/10 S", 41, 113);
    label(box, "to", 86, 113);
    edRanEnd = numericEdit(box, &F::edRanEnd, {102, 110, 30, kEditHeight});
    label(box, "Seconds", 149, 113);
}

void TfrmDefine::createStartOptions() {
    auto* box = group(this, "Start Options", 208, 215, 206, 119);
    rbNow = place(new QRadioButton(choice(&F::startType, 0)), box, 8, 16, 120, 18);
    rbAt = place(new QRadioButton(choice(&F::startType, 1)), box, 8, 38, 80, 18);
    dtpTime = place(new QTimeEdit, box, 90, 35, 90, 22);
    dtpTime->setDisplayFormat("HH:mm:ss");
    rbAfter = place(new QRadioButton(choice(&F::startType, 2)), box, 8, 60, 180, 18);
    label(box, "Hours", 8, 79);
    edtStartHour = numericEdit(box, &F::edtStartHour, {8, 93, 24, kEditHeight});
    label(box, "Minutes", 70, 79);
    edtStartMin = numericEdit(box, &F::edtStartMin, {70, 93, 24, kEditHeight});
    label(box, "Seconds", 134, 79);
    edtStartSec = numericEdit(box, &F::edtStartSec, {134, 93, 24, kEditHeight});
}

void TfrmDefine::createStopOptions() {
    auto* box = group(this, "Stop Options", 208, 334, 206, 78);
    rbStopOrder = place(new QRadioButton(choice(&F::stopType, 0)), box, 8, 18, 180, 18);
    rbStopClick = place(new QRadioButton(choice(&F::stopType, 1)), box, 8, 44, 112, 18);
    edStopTimes = numericEdit(box, &F::edStopTimes, {118, 43, 36, kEditHeight});
    label(box, "times", 170, 46);
}

void TfrmDefine::createAfterClick() {
    auto* box = group(this, "After Fixed Point Click", 208, 413, 206, 94);
    rbNo = place(new QRadioButton(choice(&F::finishType, 0)), box, 8, 16, 180, 18);
    rbBack = place(new QRadioButton(choice(&F::finishType, 1)), box, 8, 36, 194, 18);
    rbBackClick = place(new QRadioButton, box, 8, 56, 194, 34);
    setWrappedText(rbBackClick, choice(&F::finishType, 2), 170);
}

void TfrmDefine::createHotKeys() {
    auto* box = group(this, "Click HotKey", 8, 507, 407, 50);
    QStringList keys;
    for (int n = 0; n < TClickEditorModel::kHotKeyCount; ++n)
        keys << QString::fromStdString(TClickEditorModel::HotKeyItem(n, true));
    label(box, "Start Hotkey:", 10, 23);
    label(box, "Ctrl +", 94, 23);
    cbHKStart = listOnly(box, keys, 132, 19, 60);
    label(box, "Stop Hotkey:", 212, 23);
    label(box, "Ctrl +", 294, 23);
    cbHKStop = listOnly(box, keys, 332, 19, 60);
}

void TfrmDefine::rbFixedClick() {
    const TPointGroups usable = TClickEditorModel::EnabledGroups(checkedIn({rbCurrent, rbFixed, rbColor, rbBMP}));
    gbPoint->setEnabled(usable.point);
    btnCapture->setEnabled(usable.point);
    gbColor->setEnabled(usable.color);
    btnCaptureColor->setEnabled(usable.color);
    gbBMP->setEnabled(usable.picture);
    btnBMP->setEnabled(usable.picture);
    StopCapture();
}

void TfrmDefine::btnCaptureClick() {
    m_capture.StartPoint();
    setFocus();
}

void TfrmDefine::btnCaptureColorClick() {
    m_capture.StartColor();
    setFocus();
}

void TfrmDefine::StopCapture() {
    m_capture.Stop();
}

void TfrmDefine::showCapturedPoint(TPoint point) {
    edPX->setText(QString::number(point.x));
    edPY->setText(QString::number(point.y));
}

void TfrmDefine::showCapturedColor(const std::string& text, TSwatch swatch) {
    edColor->setText(QString::fromStdString(text));
    setSwatch(swatch);
}

void TfrmDefine::setSwatch(TSwatch swatch) {
    QPalette palette = edSwatch->palette();
    palette.setColor(QPalette::Base, swatchColor(swatch));
    edSwatch->setPalette(palette);
}

// The lists are narrow: a warning sign marks the key, and its tip says why.
void TfrmDefine::markHotKeyUnavailable(int n) {
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

void TfrmDefine::showColor(const std::string& text) {
    edColor->setText(QString::fromStdString(text));
    setSwatch(SwatchForText(text));
}

// Decoded by the codec the search uses, so the preview shows exactly the pixels searched for.
bool TfrmDefine::showPicture(const std::vector<std::uint8_t>& bmpFile) {
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

void TfrmDefine::clearPicture() {
    m_picture.clear();
    m_shownPicture = QImage();
    ImageBMP->hide();
}

// Any BMP file Qt reads is kept as the 24-bit one the picture search reads.
bool TfrmDefine::loadPictureFile(const QString& path) {
    QImageReader reader(path, "bmp");
    const QImage picture = reader.read();
    return !picture.isNull() && showPicture(encodeBmp24(picture));
}

void TfrmDefine::btnBMPClick() {
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

void TfrmDefine::setScope(TPoint start, TPoint end) {
    edColorL->setText(QString::number(start.x));
    edColorT->setText(QString::number(start.y));
    edColorR->setText(QString::number(end.x));
    edColorB->setText(QString::number(end.y));
}

void TfrmDefine::btnCaptureScopeClick() {
    QWidget* dialog = window();
    dialog->hide();
    // The hidden editor blocks nothing; until the overlay is up, the user's input waits rather than reaching the
    // main window. Timers and hotkeys go on.
    QEventLoop wait;
    QTimer::singleShot(kHideForScopeMs, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    {
        TfmCopy overlay(m_screen);
        if (overlay.exec() == QDialog::Accepted)
            setScope(overlay.FStartPos, overlay.FEndPos);
    }
    dialog->show();
}

const TNumericEdit* TfrmDefine::refusedEdit(std::string& message) const {
    const std::optional<TFieldRefusal> refusal = TClickEditorModel::Refusal(fields(), m_monitors);
    if (!refusal)
        return nullptr;
    message = refusal->message;
    for (const TNumericEdit& numeric : m_numericEdits)
        if (numeric.field == refusal->field)
            return &numeric;
    return nullptr;
}

TUpDown* TfrmDefine::upDownOf(const QLineEdit* edit) const {
    for (const TNumericEdit& numeric : m_numericEdits)
        if (numeric.edit == edit)
            return numeric.upDown;
    return nullptr;
}

TClickEditorFields TfrmDefine::fields() const {
    TClickEditorFields f = m_shown;
    for (const TNumericEdit& numeric : m_numericEdits)
        f.*numeric.field = textOf(numeric.edit);
    f.pointType = checkedIn({rbCurrent, rbFixed, rbColor, rbBMP});
    f.fColor = textOf(edColor);
    f.picture = m_picture;
    f.ScreenType = checkedIn({rbFull, rbPart});
    f.mouseType = cbButton->currentIndex();
    f.actionType = cbClick->currentIndex();
    f.InteverType = checkedIn({rbIntFixed, rbIntRan});
    f.startType = checkedIn({rbNow, rbAt, rbAfter});
    const QTime startAt = dtpTime->time();
    f.fStartAt = StartTimeText({startAt.hour(), startAt.minute(), startAt.second()});
    f.stopType = checkedIn({rbStopOrder, rbStopClick});
    f.hkStart = cbHKStart->currentIndex();
    f.hkStop = cbHKStop->currentIndex();
    f.finishType = checkedIn({rbNo, rbBack, rbBackClick});
    f.edName = textOf(edName);
    return f;
}

void TfrmDefine::showFields(const TClickEditorFields& f) {
    m_shown = f;
    for (const TNumericEdit& numeric : m_numericEdits)
        numeric.edit->setText(QString::fromStdString(f.*numeric.field));
    checkExactly({rbCurrent, rbFixed, rbColor, rbBMP}, f.pointType);
    showColor(f.fColor);
    if (f.picture != m_picture && !showPicture(f.picture))
        clearPicture();
    checkExactly({rbFull, rbPart}, f.ScreenType);
    cbButton->setCurrentIndex(f.mouseType);
    cbClick->setCurrentIndex(f.actionType);
    checkExactly({rbIntFixed, rbIntRan}, f.InteverType);
    checkExactly({rbNow, rbAt, rbAfter}, f.startType);
    if (const auto startAt = ReadStartTime(f.fStartAt))
        dtpTime->setTime(QTime(startAt->hour, startAt->minute, startAt->second));
    checkExactly({rbStopOrder, rbStopClick}, f.stopType);
    cbHKStart->setCurrentIndex(f.hkStart);
    cbHKStop->setCurrentIndex(f.hkStop);
    checkExactly({rbNo, rbBack, rbBackClick}, f.finishType);
    edName->setText(QString::fromStdString(f.edName));
}

// A point type that loading checks anew sets the groups as a click on it would.
// A stored value that cannot be shown must not keep the editor from opening: it opens without it, and says so.
void TfrmDefine::LoadFromClick(TMouseObj& click) {
    const int before = checkedIn({rbCurrent, rbFixed, rbColor, rbBMP});
    TClickEditorFields shown = TClickEditorModel::FromClick(click, fields());
    showFields(shown);
    m_shown.pictureUnreadable = shown.pictureUnreadable || (!shown.picture.empty() && m_picture.empty());
    m_loadNotice = QString::fromStdString(TClickEditorModel::LoadNotice(m_shown));
    const int after = checkedIn({rbCurrent, rbFixed, rbColor, rbBMP});
    if (after >= 0 && after != before)
        rbFixedClick();
}

void TfrmDefine::SaveToClick(TMouseObj& click) {
    click = TClickEditorModel::ToClick(fields(), click, m_monitors);
}
