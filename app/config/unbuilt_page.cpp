#include "config/unbuilt_page.h"

#include <QLabel>
#include <QVBoxLayout>

namespace talvo::config {

UnbuiltPage::UnbuiltPage(const QString& caption, SheetAccess& sheet, QWidget* parent)
    : ConfigTabPage(caption, sheet, false, parent) {}

void UnbuiltPage::buildControls(QWidget* content) {
    auto* layout = new QVBoxLayout(content);
    auto* label = new QLabel(QStringLiteral("Not available in this version."), content);
    label->setAccessibleName(label->text());
    layout->addWidget(label, 0, Qt::AlignCenter);
}

}  // namespace talvo::config
