#include "pages/configure/sheet/symbology_page.h"

#include "controls/list_ctrl_ext.h"
#include "controls/spin_arrows.h"
#include "messages/app_messages.h"
#include "messages/message_box.h"
#include "pages/configure/sheet/number_field.h"
#include "pages/configure/sheet/scanner_set.h"
#include "pages/configure/sheet/symbology_table.h"
#include "zt330sdk.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>

Q_LOGGING_CATEGORY(lcSymbology, "talvo.config.symbology", QtWarningMsg)

namespace talvo::config {
namespace {

using symbology::kShownSymbologyOptions;
using symbology::SymbologyOption;

constexpr int kColumnWidth = 100;

[[nodiscard]] constexpr std::uint32_t codeOf(std::uint16_t group, std::uint16_t item) {
    return std::uint32_t{group} << 16 | item;
}
constexpr std::uint32_t kSupplementCode = codeOf(22, 0);
constexpr std::uint32_t kMinLength = codeOf(symbology::kInterleaved2of5Group, symbology::kMinLengthItem);
constexpr std::uint32_t kMaxLength = codeOf(symbology::kInterleaved2of5Group, symbology::kMaxLengthItem);
constexpr std::uint32_t kMsiCheckDigit = codeOf(32, symbology::kCheckDigitItem);
constexpr std::uint32_t kMsiAlgorithm = codeOf(32, 4);

const QString kRangeMessage = QStringLiteral("It should put the 0~255 number!\r\nPlease try again");

[[nodiscard]] std::vector<std::int32_t> defaultValues() {
    std::vector<std::int32_t> values;
    for (const SymbologyOption& option : kShownSymbologyOptions) values.push_back(option.defaultValue);
    return values;
}

}  // namespace

bool isNumericOption(std::uint32_t code) {
    return code == kSupplementCode || code == kMinLength || code == kMaxLength || code == kMsiCheckDigit ||
           code == kMsiAlgorithm;
}

CSymbologyPage::CSymbologyPage(SheetAccess& sheet, QWidget* parent)
    : ConfigTabPage(QStringLiteral("Symbology"), sheet, true, parent) {}

int CSymbologyPage::numericValue(std::uint32_t code) const {
    const auto found = numbers_.find(code);
    return found != numbers_.end() ? found->second : 0;
}

void CSymbologyPage::buildControls(QWidget* content) {
    auto* grid = new QGridLayout(content);
    model_ = new SymbologyModel(
        {{QStringLiteral("Symbology")}}, /*checkable*/ true, [](const SymbologyRow& row, int) { return row.name; },
        this);
    list_ = new CListCtrlExt(content);
    list_->setAccessibleName(QStringLiteral("Symbology"));
    list_->setModel(model_);
    list_->setHeaderCheck(false);
    layOutControls();
    grid->addWidget(list_, 0, 0, 1, 5);
    // A row that becomes selected while it has the focus is announced to the page as MsgOptionSelected,
    // queued as the list's own note. Moving only the focus (Ctrl with the arrows) announces nothing, nor
    // does selecting the selected row again (no change of the selection). Qt makes the row current
    // before it selects it, for the mouse and the keys alike.
    QItemSelectionModel* selection = list_->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this, selection](const QItemSelection& selected, const QItemSelection&) {
                const int focused = selection->currentIndex().row();
                for (const QModelIndex& index : selected.indexes()) {
                    if (index.column() != 0 || index.row() != focused) continue;
                    const SymbologyRow* row = model_->rowAt(focused);
                    if (row == nullptr) continue;
                    postMessage(this, AppMessage::OptionSelected, focused, isNumericOption(row->code) ? 1 : 0);
                }
            });

    // Two lines, as the caption was made for: "Sub", "Option".
    subOption_ = new QLabel(QStringLiteral("Sub\nOption"), content);
    subOption_->setAccessibleName(QStringLiteral("Sub Option"));
    valueField_ = new QLineEdit(content);
    valueField_->setAccessibleName(QStringLiteral("Sub Option"));
    valueSpin_ = new SpinArrows(content);
    valueSpin_->setAccessibleName(QStringLiteral("Sub Option"));
    connect(valueSpin_, &SpinArrows::stepped, valueField_,
            [this](int position) { valueField_->setText(QString::number(position)); });
    setButton_ = new QPushButton(QStringLiteral("Set"), content);
    setButton_->setAccessibleName(setButton_->text());
    setButton_->setAutoDefault(false);
    defaultButton_ = new QPushButton(QStringLiteral("Default"), content);
    defaultButton_->setAccessibleName(defaultButton_->text());
    defaultButton_->setAutoDefault(false);
    grid->addWidget(subOption_, 1, 0);
    grid->addWidget(valueField_, 1, 1);
    grid->addWidget(valueSpin_, 1, 2);
    grid->addWidget(setButton_, 1, 3);
    grid->addWidget(defaultButton_, 1, 4);
    grid->setRowStretch(0, 1);
    connect(setButton_, &QPushButton::clicked, this, &CSymbologyPage::setValue);
    connect(defaultButton_, &QPushButton::clicked, this, &CSymbologyPage::restoreDefaults);
    showValueControls(false);
}

void CSymbologyPage::layOutControls() { list_->setColumnWidth(0, kColumnWidth * factor()); }

void CSymbologyPage::startReading() {
    const std::vector<DeviceRecord*> devices = sheet().sheetDevices();
    if (devices.size() != 1) return fillRows(defaultValues());
    const ScannerHandle handle = handlesOf(devices).front();
    runJob(
        QStringLiteral("Reading..."),
        [handle](std::stop_token stop) {
            std::vector<std::int32_t> values;
            for (const SymbologyOption& option : kShownSymbologyOptions) {
                int value = 0;  // a failed read leaves 0
                if (!stop.stop_requested()) (void)ztGetSymbologyOption(handle, option.group, option.item, &value);
                values.push_back(value);
            }
            return values;
        },
        [this](std::vector<std::int32_t> values) { fillRows(values); });
}

void CSymbologyPage::fillRows(const std::vector<std::int32_t>& values) {
    model_->clearRows();
    for (std::size_t i = 0; i < kShownSymbologyOptions.size() && i < values.size(); ++i) {
        const SymbologyOption& option = kShownSymbologyOptions[i];
        const int at = model_->addRow(
            model_->size(), std::make_unique<SymbologyRow>(SymbologyRow{
                                option.code(), values[i],
                                QString::fromLatin1(option.name.data(), static_cast<qsizetype>(option.name.size()))}));
        if (isNumericOption(option.code())) {
            numbers_[option.code()] = values[i];
        } else if (values[i] != 0) {
            model_->setChecked(at, true);
        }
    }
    selected_ = 0;
    showValueControls(false);
}

void CSymbologyPage::customEvent(QEvent* event) {
    AppEvent* message = AppEvent::from(event);
    if (message == nullptr || message->message() != AppMessage::OptionSelected)
        return ConfigTabPage::customEvent(event);
    onOptionSelected(static_cast<int>(message->first()), message->second() != 0);
    message->setResult(1);
}

void CSymbologyPage::onOptionSelected(int index, bool numeric) {
    selected_ = index;
    showValueControls(numeric);
    if (!numeric) return;
    if (const SymbologyRow* row = model_->rowAt(index)) {
        fieldValue_ = numericValue(row->code);
        const SymbologyOption* option = symbology::findSymbology(row->group(), row->item());
        valueSpin_->setRange(0, option != nullptr ? option->maxValue : 0);
    }
    valueSpin_->setPosition(fieldValue_);
    valueField_->setText(QString::number(fieldValue_));
}

void CSymbologyPage::showValueControls(bool shown) {
    subOption_->setVisible(shown);
    valueField_->setVisible(shown);
    valueSpin_->setVisible(shown);
    setButton_->setVisible(shown);
}

std::optional<QString> CSymbologyPage::refusal(std::uint32_t code, int value) const {
    if (code == kSupplementCode || code == kMsiAlgorithm) {
        if (value < 0 || value > 2) return QStringLiteral("It should put the 0~2 number!\r\nPlease try again");
    } else if (code == kMsiCheckDigit) {
        if (value != 0 && value != 1) return QStringLiteral("It should put the 0 or 1 number!\r\nPlease try again");
    } else if (code == kMinLength) {
        if (value < 0 || value > 255) return kRangeMessage;
        if (value > numericValue(kMaxLength)) {
            return QStringLiteral("It should put the low number than Max Length!\r\nPlease try again");
        }
    } else if (code == kMaxLength) {
        if (value < 0 || value > 255) return kRangeMessage;
        if (value < numericValue(kMinLength)) {
            return QStringLiteral("It should put the large number than Min Length!\r\nPlease try again");
        }
    }
    return std::nullopt;
}

void CSymbologyPage::setValue() {
    if (auto typed = takeWholeNumber(valueField_, sheet().sheetWidget())) fieldValue_ = *typed;
    const SymbologyRow* row = model_->rowAt(selected_);
    if (row == nullptr || !isNumericOption(row->code)) return;
    if (auto why = refusal(row->code, fieldValue_)) {
        (void)MessageBox::information(sheet().sheetWidget(), *why);
        return;
    }
    numbers_[row->code] = fieldValue_;
}

void CSymbologyPage::restoreDefaults() {
    for (std::size_t i = 0; i < kShownSymbologyOptions.size(); ++i) {
        const SymbologyOption& option = kShownSymbologyOptions[i];
        if (isNumericOption(option.code())) {
            numbers_[option.code()] = option.defaultValue;
        } else {
            model_->setChecked(static_cast<int>(i), option.defaultValue != 0);
        }
    }
}

ApplyStep CSymbologyPage::makeApplyStep() {
    qCDebug(lcSymbology, "CSymbologyPage::OnOK()\r\n");
    struct Write {
        int group;
        int item;
        int value;
        bool changed;
    };
    std::vector<Write> writes;
    for (int j = 0; j < model_->size(); ++j) {
        const SymbologyRow* row = model_->rowAt(j);
        const int value = isNumericOption(row->code) ? numericValue(row->code) : (model_->isChecked(j) ? 1 : 0);
        writes.push_back(Write{row->group(), row->item(), value, value != row->startValue});
    }
    const ScannerHandles handles = handlesOf(sheet().sheetDevices());
    return [handles, writes = std::move(writes)](std::stop_token stop) {
        const bool all = handles.size() > 1;  // one scanner gets the changed rows only
        for (ScannerHandle handle : handles) {
            for (const Write& write : writes) {
                if (stop.stop_requested()) return;
                if (all || write.changed) (void)ztSetSymbologyOption(handle, write.group, write.item, write.value);
            }
        }
    };
}

}  // namespace talvo::config
