#include "ui/qt/OptionsDialog.h"

#include "control/StopAllKey.h"

#include "platform/ErrorGuard.h"
#include "ui/qt/Placement.h"
#include "ui/qt/TextWrap.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace {
constexpr int kWidth = 220;
// The stop-all key and the corner stop lie between the auto start and the buttons.
constexpr int kStopOptionsTop = 310;
constexpr int kHeight = 445;
constexpr int kButtonsTop = 406;
// The room the primary output's list and the desktop's question take above the buttons when they are shown.
constexpr int kPrimaryOutputHeight = 48;
constexpr int kAskDesktopHeight = 40;
constexpr int kStopAllLinesHeight = 58;

const char* environmentVariable(const char* name) {
    return std::getenv(name);
}
} // namespace

TOptionsDialog::TOptionsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle("Config Options");
    setFixedSize(kWidth, kHeight);
    centreOnDesktop(*this);

    btnOK = new QPushButton("&OK", this);
    btnOK->setGeometry(24, kButtonsTop, 75, 25);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setGeometry(120, kButtonsTop, 75, 25);
    for (QPushButton* button : {btnOK, btnCancel})
        button->setAutoDefault(false);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(22, 8, 179, 258);
    auto* box = new QGroupBox("Config visible columns", panel);
    box->setGeometry(3, 2, 169, 249);
    auto* fill = new QVBoxLayout(box);
    fill->setContentsMargins(2, 2, 2, 2);
    clbList = new QListWidget;
    clbList->setFrameShape(QFrame::NoFrame);
    clbList->setUniformItemSizes(true);
    fill->addWidget(clbList);

    cbAuto = new QCheckBox(this);
    cbAuto->setGeometry(24, 272, 169, 33);
    setWrappedText(cbAuto, "Auto Start Running When Program Start", 145);

    lblStopAllKey = new QLabel("&Stop all clicks with the key:", this);
    lblStopAllKey->setGeometry(24, kStopOptionsTop, 169, 16);
    cbStopAllKey = new QComboBox(this);
    cbStopAllKey->setGeometry(24, kStopOptionsTop + 16, 169, 24);
    lblStopAllKey->setBuddy(cbStopAllKey);
    cbCornerStop = new QCheckBox(this);
    cbCornerStop->setGeometry(24, kStopOptionsTop + 44, 169, 48);

    lblPrimaryOutput = new QLabel("&Primary output:", this);
    lblPrimaryOutput->setGeometry(24, kButtonsTop - 4, 169, 16);
    cbPrimaryOutput = new QComboBox(this);
    cbPrimaryOutput->setGeometry(24, kButtonsTop + 14, 169, 24);
    lblPrimaryOutput->setBuddy(cbPrimaryOutput);
    lblPrimaryOutput->hide();
    cbPrimaryOutput->hide();
    cbAskDesktop = new QCheckBox(this);
    cbAskDesktop->hide();
    lblStopAllWhere = new QLabel(this);
    lblStopAllWhere->setWordWrap(true);
    edStopAllLines = new QPlainTextEdit(this);
    edStopAllLines->setReadOnly(true);
    btnCopyStopAll = new QPushButton("Cop&y", this);
    btnCopyStopAll->setAutoDefault(false);
    for (QWidget* widget : std::initializer_list<QWidget*>{lblStopAllWhere, edStopAllLines, btnCopyStopAll})
        widget->hide();

    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, clbList);
    setTabOrder(clbList, cbAuto);
    setTabOrder(cbAuto, cbStopAllKey);
    setTabOrder(cbStopAllKey, cbCornerStop);
    setTabOrder(cbCornerStop, cbPrimaryOutput);
    setTabOrder(cbPrimaryOutput, cbAskDesktop);
    setTabOrder(cbAskDesktop, edStopAllLines);
    setTabOrder(edStopAllLines, btnCopyStopAll);
    connect(cbStopAllKey, &QComboBox::currentIndexChanged, this, [this] { runGuarded([&] { showStopAllLines(); }); });
    // Whole lines, each ending in a line feed, ready to paste.
    connect(btnCopyStopAll, &QPushButton::clicked, this, [this] {
        runGuarded([&] { QGuiApplication::clipboard()->setText(edStopAllLines->toPlainText() + '\n'); });
    });
    connect(btnOK, &QPushButton::clicked, this, [this] { runGuarded([&] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { runGuarded([&] { btnCancelClick(); }); });
}

int TOptionsDialog::ShowModal() {
    return exec() == QDialog::Accepted ? mrOk : mrCancel;
}

void TOptionsDialog::showChoices(const TOptionsChoices& choices) {
    clbList->clear();
    for (const TOptionsColumn& column : choices.columns) {
        auto* item = new QListWidgetItem(QString::fromStdString(column.name), clbList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(column.visible ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, 18));
    }
    cbAuto->setChecked(choices.autorun);
    showStopOptions(choices);
    showPrimaryOutput(choices.primaryOutput);
    showAskDesktop(choices.askDesktop);
    showStopAllBinding(choices.keysBoundInDesktop);
}

// Where the pointer cannot be watched, the check box says why in its place and cannot be ticked.
void TOptionsDialog::showStopOptions(const TOptionsChoices& choices) {
    m_stopAllKey = choices.stopAllKey;
    cbStopAllKey->clear();
    for (const std::string& item : m_stopAllKey.items)
        cbStopAllKey->addItem(QString::fromStdString(item));
    cbStopAllKey->setCurrentIndex(m_stopAllKey.selected);
    m_cornerStopUnavailable = choices.cornerStopUnavailable;
    const bool available = m_cornerStopUnavailable.empty();
    cbCornerStop->setChecked(choices.cornerStop && available);
    cbCornerStop->setEnabled(available);
    setWrappedText(cbCornerStop,
                   available ? "Stop all clicks when the pointer rests in a screen corner for half a second"
                             : QString::fromStdString(m_cornerStopUnavailable),
                   145);
}

// The list goes between the auto start and the buttons, which move down to make room; without items it is not shown.
void TOptionsDialog::showPrimaryOutput(const TOptionsList& list) {
    m_primaryOutput = list;
    cbPrimaryOutput->clear();
    for (const std::string& item : list.items)
        cbPrimaryOutput->addItem(QString::fromStdString(item));
    cbPrimaryOutput->setCurrentIndex(list.selected);
    const bool shown = !list.items.empty();
    lblPrimaryOutput->setVisible(shown);
    cbPrimaryOutput->setVisible(shown);
    m_room = shown ? kPrimaryOutputHeight : 0;
    placeButtons();
}

// Under the primary output's list, where the desktop asks its leave before the first click.
void TOptionsDialog::showAskDesktop(const std::string& caption) {
    m_askDesktop = caption;
    cbAskDesktop->setChecked(false);
    cbAskDesktop->setVisible(!caption.empty());
    if (caption.empty())
        return;
    setWrappedText(cbAskDesktop, QString::fromStdString(caption), 145);
    cbAskDesktop->setGeometry(24, kButtonsTop + m_room, 169, 36);
    m_room += kAskDesktopHeight;
    placeButtons();
}

void TOptionsDialog::showStopAllBinding(bool keysBoundInDesktop) {
    m_keysBoundInDesktop = keysBoundInDesktop;
    for (QWidget* widget : std::initializer_list<QWidget*>{lblStopAllWhere, edStopAllLines, btnCopyStopAll})
        widget->setVisible(keysBoundInDesktop);
    if (!keysBoundInDesktop)
        return;
    m_compositor = CompositorFromEnvironment(environmentVariable);
    m_program = ProgramToRun(QCoreApplication::applicationFilePath().toStdString());
    showStopAllLines();
    const int whereHeight = lblStopAllWhere->heightForWidth(169);
    lblStopAllWhere->setGeometry(24, kButtonsTop + m_room, 169, whereHeight);
    edStopAllLines->setGeometry(24, kButtonsTop + m_room + whereHeight + 2, 169, kStopAllLinesHeight);
    btnCopyStopAll->setGeometry(24, kButtonsTop + m_room + whereHeight + kStopAllLinesHeight + 6, 60, 25);
    m_room += whereHeight + kStopAllLinesHeight + 36;
    placeButtons();
}

void TOptionsDialog::showStopAllLines() {
    if (!m_keysBoundInDesktop)
        return;
    const int chosen = cbStopAllKey->currentIndex();
    const std::string key =
        chosen >= 0 && chosen < int(m_stopAllKey.values.size()) ? m_stopAllKey.values[chosen] : StopAllKey::kNone;
    const TDesktopBinding binding = StopAllBinding(m_compositor, m_program, StopAllKey::FromText(key));
    lblStopAllWhere->setText(QString::fromStdString(binding.where));
    QStringList lines;
    for (const std::string& line : binding.lines)
        lines.append(QString::fromStdString(line));
    edStopAllLines->setPlainText(lines.join('\n'));
}

void TOptionsDialog::placeButtons() {
    setFixedSize(kWidth, kHeight + m_room);
    btnOK->move(btnOK->x(), kButtonsTop + m_room);
    btnCancel->move(btnCancel->x(), kButtonsTop + m_room);
}

TOptionsChoices TOptionsDialog::choices() const {
    TOptionsChoices chosen;
    for (int i = 0; i < clbList->count(); ++i)
        chosen.columns.push_back(
            {clbList->item(i)->text().toStdString(), clbList->item(i)->checkState() == Qt::Checked});
    chosen.autorun = cbAuto->isChecked();
    chosen.stopAllKey = m_stopAllKey;
    if (!m_stopAllKey.items.empty())
        chosen.stopAllKey.selected = cbStopAllKey->currentIndex();
    chosen.cornerStop = cbCornerStop->isChecked();
    chosen.cornerStopUnavailable = m_cornerStopUnavailable;
    chosen.askDesktop = m_askDesktop;
    chosen.askDesktopNow = !m_askDesktop.empty() && cbAskDesktop->isChecked();
    chosen.keysBoundInDesktop = m_keysBoundInDesktop;
    chosen.primaryOutput = m_primaryOutput;
    if (!m_primaryOutput.items.empty())
        chosen.primaryOutput.selected = cbPrimaryOutput->currentIndex();
    return chosen;
}

void TOptionsDialog::btnOKClick() {
    accept();
}

void TOptionsDialog::btnCancelClick() {
    reject();
}
