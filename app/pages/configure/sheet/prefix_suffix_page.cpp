#include "pages/configure/sheet/prefix_suffix_page.h"

#include "pages/configure/sheet/device_text.h"
#include "pages/configure/sheet/scanner_set.h"
#include "zt330sdk.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace talvo::config {
namespace {

constexpr std::size_t kReadCapacity = 64;

[[nodiscard]] QLabel* makeLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAccessibleName(text);
    label->setWordWrap(true);
    return label;
}

[[nodiscard]] std::optional<QString> readAffix(ScannerHandle handle, int (*read)(ScannerHandle, char*, int*)) {
    std::array<char, kReadCapacity> text{};
    int status = 0;
    if (read(handle, text.data(), &status) != SDK_OK) return std::nullopt;
    return fromDeviceText(text.data(), text.size());
}

}  // namespace

const QString CPrefixSuffixPage::kDefaultSuffix = QStringLiteral("\\r");

CPrefixSuffixPage::CPrefixSuffixPage(SheetAccess& sheet, QWidget* parent)
    : ConfigTabPage(QStringLiteral("Prefix/Suffix"), sheet, true, parent) {}

void CPrefixSuffixPage::buildControls(QWidget* content) {
    auto* layout = new QVBoxLayout(content);
    const auto field = [&](const QString& caption) {
        layout->addWidget(makeLabel(caption, content));
        auto* edit = new QLineEdit(content);
        edit->setAccessibleName(caption);
        edit->setMaxLength(kMaxLength);
        layout->addWidget(edit);
        return edit;
    };
    prefixField_ = field(QStringLiteral("Prefix"));
    suffixField_ = field(QStringLiteral("Suffix"));
    help_ = makeLabel(QStringLiteral("Use \\r for Carriage Return, \\n for Linefeed, \\t for Tab, \\\\ for a single \\ "
                                     "character."),
                      content);
    layout->addWidget(help_);
    // The form the SDK does not decode; it reaches the scanner as typed, so the page does not offer it.
    codeHelp_ =
        makeLabel(QStringLiteral("Any other character: \\ followed by its three-digit code, 001 to 255."), content);
    codeHelp_->hide();
    layout->addWidget(codeHelp_);
    defaultButton_ = new QPushButton(QStringLiteral("Default"), content);
    defaultButton_->setAccessibleName(defaultButton_->text());
    defaultButton_->setAutoDefault(false);
    connect(defaultButton_, &QPushButton::clicked, this, &CPrefixSuffixPage::showDefaults);
    layout->addWidget(defaultButton_, 0, Qt::AlignLeft);
    layout->addStretch(1);
}

void CPrefixSuffixPage::showDefaults() {
    prefixField_->setText(QString());
    suffixField_->setText(kDefaultSuffix);
}

void CPrefixSuffixPage::startReading() {
    const std::vector<DeviceRecord*> devices = sheet().sheetDevices();
    if (devices.size() != 1) return showDefaults();
    const ScannerHandle handle = handlesOf(devices).front();
    runJob(
        QStringLiteral("Reading..."),
        [handle](std::stop_token stop) {
            AffixReading reading;
            reading.prefix = readAffix(handle, ztGetPrefix);
            if (!stop.stop_requested()) reading.suffix = readAffix(handle, ztGetSuffix);
            return reading;
        },
        [this](AffixReading reading) { showReading(reading); });
}

void CPrefixSuffixPage::showReading(const AffixReading& reading) {
    if (reading.prefix) prefixField_->setText(*reading.prefix);
    if (reading.suffix) suffixField_->setText(*reading.suffix);
}

ApplyStep CPrefixSuffixPage::makeApplyStep() {
    const auto prefix = toDeviceText(prefixField_->text());
    const auto suffix = toDeviceText(suffixField_->text());
    if (!prefix || !suffix || prefix->size() > kMaxLength || suffix->size() > kMaxLength) return {};
    const ScannerHandles handles = handlesOf(sheet().sheetDevices());
    return [handles, prefix = *prefix, suffix = *suffix](std::stop_token stop) {
        for (ScannerHandle handle : handles) {
            if (stop.stop_requested()) return;
            int status = 0;
            (void)ztSetPrefix(handle, prefix.constData(), &status);
            if (stop.stop_requested()) return;
            (void)ztSetSuffix(handle, suffix.constData(), &status);
        }
    };
}

}  // namespace talvo::config
