// Runs functions on the thread of its owner, handed over from any thread through the owner's event
// queue (a worker telling a page that it finished, a search handing over what it found). The hand-over
// is published explicitly, a release store before the event is posted and an acquire load before the
// function runs, so that thread checkers, which do not see into Qt's queue, see it as well. Calls still
// queued when the object goes are dropped with it.
#pragma once

#include <QObject>

#include <functional>

namespace talvo {

class QueuedCalls : public QObject {
    Q_OBJECT

public:
    // A child of `owner`, on its thread.
    explicit QueuedCalls(QObject* owner);

    // Any thread: `call` runs later on the owner's thread.
    void post(std::function<void()> call);

protected:
    void customEvent(QEvent* event) override;
};

}  // namespace talvo
