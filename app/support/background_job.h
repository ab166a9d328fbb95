#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace ui {

/// What a background job may use: a stop request and a way to hand small updates to the UI thread.
class JobContext {
public:
    /// True once the widget that started the job is gone or the program is quitting.
    bool stopRequested() const;
    /// Runs `update` on the UI thread, unless the widget that started the job is gone by then.
    void postToUi(std::function<void()> update) const;

    struct State;
    explicit JobContext(std::shared_ptr<State> state) : m_state(std::move(state)) {}

private:
    std::shared_ptr<State> m_state;
};

namespace detail {
std::shared_ptr<JobContext::State> makeJobState(QObject* receiver);
void startOnWorker(std::function<void()> work);
void deliverToUi(const std::shared_ptr<JobContext::State>& state, std::function<void()> update);
} // namespace detail

/// Runs `job(JobContext&)` on a worker thread and then `done(result)` on the UI thread, but only while
/// `receiver` still exists: a late result never reaches a destroyed widget. Call from the UI thread.
template <class Job, class Done> void runInBackground(QObject* receiver, Job job, Done done) {
    auto state = detail::makeJobState(receiver);
    detail::startOnWorker([state, job = std::move(job), done = std::move(done)]() mutable {
        JobContext context(state);
        using Result = std::invoke_result_t<Job&, JobContext&>;
        if constexpr (std::is_void_v<Result>) {
            job(context);
            detail::deliverToUi(state, [done = std::move(done)]() mutable { done(); });
        } else {
            auto result = std::make_shared<Result>(job(context));
            detail::deliverToUi(state,
                                [done = std::move(done), result]() mutable { done(std::move(*result)); });
        }
    });
}

/// Called once when the event loop has ended: asks running jobs to stop and gives them a moment.
/// Returns false when some job is still running afterwards (the caller then ends the process at once).
bool finishBackgroundJobs(int waitMilliseconds);

} // namespace ui
