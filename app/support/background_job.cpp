#include "app/support/background_job.h"

#include <QCoreApplication>
#include <QThreadPool>

namespace ui {

struct JobContext::State {
    QPointer<QObject> receiver; // read on the UI thread only
    std::atomic<bool> stop{false};
};

namespace {

std::atomic<bool> g_quitting{false};

// Never destroyed: a worker still blocked in a network call at exit must not make quitting wait.
QThreadPool& workerPool() {
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(8);
        created->setExpiryTimeout(5000);
        return created;
    }();
    return *pool;
}

} // namespace

bool JobContext::stopRequested() const {
    return m_state->stop.load() || g_quitting.load();
}

void JobContext::postToUi(std::function<void()> update) const {
    detail::deliverToUi(m_state, std::move(update));
}

namespace detail {

std::shared_ptr<JobContext::State> makeJobState(QObject* receiver) {
    auto state = std::make_shared<JobContext::State>();
    state->receiver = receiver;
    if (receiver) {
        std::weak_ptr<JobContext::State> weak = state;
        QObject::connect(receiver, &QObject::destroyed, qApp, [weak] {
            if (auto alive = weak.lock())
                alive->stop = true;
        });
    }
    return state;
}

void startOnWorker(std::function<void()> work) {
    workerPool().start(std::move(work));
}

void deliverToUi(const std::shared_ptr<JobContext::State>& state, std::function<void()> update) {
    // qApp lives for the whole event loop; the receiver may not, so it is checked on the UI thread.
    QMetaObject::invokeMethod(
        qApp,
        [state, update = std::move(update)] {
            if (state->receiver && !g_quitting.load())
                update();
        },
        Qt::QueuedConnection);
}

} // namespace detail

bool finishBackgroundJobs(int waitMilliseconds) {
    g_quitting = true;
    return workerPool().waitForDone(waitMilliseconds);
}

} // namespace ui
