#pragma once
// The loading dialog: a progress bar while a worker tries each naming rule on the opened path
// and reads the catalogue. The engine's progress arrives on the worker thread and moves the bar
// through the GUI thread.

#include "util/naming/AviNameFormat.h"

#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

class IIntrReplayEx;
class QProgressBar;

class CLoadRecFile : public QDialog {
public:
    // `notify` is the viewer's own callback: called with 121 (and the rule index), with each
    // entry the walk finds (122, which the engine gives to the progress callback), 120 and 0.
    using Notify = std::function<void(unsigned code, std::intptr_t param, void* data)>;
    CLoadRecFile(QWidget* parent, IIntrReplayEx& engine, const std::vector<_AVI_NAME_FORMAT2>& rules,
                 Notify notify);
    ~CLoadRecFile() override;

    // Runs the dialog until the worker ends; true when a rule found recordings and the
    // catalogue was read.
    bool Load();
    int MatchedRule() const { return m_rule; }

    // What the user is told when a card lists nothing although it holds stream files: each
    // file and why it could not be listed. Empty when the card holds no stream file at all.
    static QString NothingReadableMessage(const QString& card, const std::vector<_AVI_NAME_FORMAT2>& rules);

private:
    static void Progress(unsigned code, std::intptr_t param, void* data, void* user);
    void Work();
    void Finish(bool success);

    IIntrReplayEx& m_engine;
    const std::vector<_AVI_NAME_FORMAT2>& m_rules;
    Notify m_notify;
    QProgressBar* m_progress;  // child
    std::thread m_worker;
    std::atomic<bool> m_success{false};
    std::atomic<int> m_rule{-1};
};
