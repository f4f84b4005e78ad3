#pragma once

#include <QString>

// A long task's progress as the user sees it, with the means to stop it. Widget-free layers
// report through this interface: the program shows a progress dialog, tests script a stop, the
// command line shows nothing.
class Progress
{
public:
    virtual ~Progress() = default;

    // A stage of `total` steps begins, `label` saying what it does. A task may have several
    // stages; end() closes the whole task.
    virtual void begin(const QString &label, qint64 total) = 0;
    // `done` steps of the stage are done. False once the user has asked to stop.
    virtual bool advance(qint64 done) = 0;
    // The task is over, finished or stopped.
    virtual void end() = 0;
};

// Nothing shown, never stopped: the command line, and callers that have no window.
class NoProgress : public Progress
{
public:
    void begin(const QString &, qint64) override {}
    bool advance(qint64) override { return true; }
    void end() override {}
};

// Thrown by ProgressTask::advance() when the user asked to stop; whoever started the task
// catches it and undoes what the task had begun.
struct ProgressStopped
{
};

// One task on a Progress, ended however the scope is left.
class ProgressTask
{
public:
    ProgressTask(Progress &progress, const QString &label, qint64 total) : m_progress(progress)
    {
        m_progress.begin(label, total);
    }
    ~ProgressTask() { m_progress.end(); }
    ProgressTask(const ProgressTask &) = delete;
    ProgressTask &operator=(const ProgressTask &) = delete;

    void stage(const QString &label, qint64 total) { m_progress.begin(label, total); }
    // Throws ProgressStopped when the user asked to stop.
    void advance(qint64 done)
    {
        if (!m_progress.advance(done))
            throw ProgressStopped{};
    }

private:
    Progress &m_progress;
};
