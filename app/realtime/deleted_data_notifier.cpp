#include "realtime/deleted_data_notifier.h"

#include "messages/message_box.h"
#include "messages/queued_calls.h"

#include <QMessageBox>
#include <QWidget>

namespace talvo {

DeletedDataNotifier::DeletedDataNotifier(QWidget* boxParent, QObject* parent)
    : QObject(parent), boxParent_(boxParent), calls_(new QueuedCalls(this)) {}

DeletedDataNotifier::~DeletedDataNotifier() { closeAll(); }

void DeletedDataNotifier::post(QString text) {
    calls_->post([this, text = std::move(text)]() mutable { show(std::move(text)); });
}

void DeletedDataNotifier::show(QString text) {
    waiting_.push_back(std::move(text));
    if (box_ == nullptr) showNext();
}

void DeletedDataNotifier::showNext() {
    while (box_ == nullptr && !waiting_.empty()) {
        const QString text = std::move(waiting_.front());
        waiting_.pop_front();
        box_ = MessageBox::openInformation(boxParent_.data(), text);
        if (box_ == nullptr) continue;
        // The box deletes itself later; the next report may open as soon as this one is answered.
        connect(box_.data(), &QMessageBox::finished, this, [this] {
            box_ = nullptr;
            showNext();
        });
    }
}

void DeletedDataNotifier::closeAll() {
    waiting_.clear();
    if (QMessageBox* box = box_.data()) {
        box_ = nullptr;
        box->disconnect(this);
        box->close();  // deletes itself
    }
}

}  // namespace talvo
