#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

#include <future>
#include <thread>
#include <type_traits>

// Runs pure work (inflating, deflating, tokenising: nothing that touches a widget or a table) on
// a worker thread, while the GUI thread waits in a local event loop that keeps timers and painting
// going but takes no user input. Returns the work's result or rethrows its exception.
// Called from a non-GUI thread, it simply runs the work.
template <typename Work>
auto runOffGuiThread(Work &&work) -> std::invoke_result_t<Work>
{
    using Result = std::invoke_result_t<Work>;
    if (!QCoreApplication::instance() || QThread::currentThread() != QCoreApplication::instance()->thread())
        return work();

    std::packaged_task<Result()> task(std::forward<Work>(work));
    std::future<Result> result = task.get_future();
    QEventLoop loop;
    std::thread worker([&task, &loop] {
        task();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return result.get();
}
