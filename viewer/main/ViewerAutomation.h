#pragma once
// Scripted runs of the viewer, for tests and users' scripts:
//   tachyPlayer --open PATH [--play] [--row N] [--seek-key K] [--screenshot FILE] [--after MS] [--quit]
// The steps run in that order once the window is up; the screenshot is taken MS milliseconds
// after playback started (or after the open).

#include <QString>
#include <QStringList>
#include <optional>

class CTachyPlayerDlg;

class ViewerAutomation {
public:
    // False (with `error` set) for options it does not understand.
    bool Parse(const QStringList& arguments, QString& error);
    bool Active() const { return !m_open.isEmpty() || m_quit; }
    bool Quits() const { return m_quit; }
    // Starts the steps on `window`; the exit code of the run is given to `finish` when done.
    void Run(CTachyPlayerDlg& window);
    int ExitCode() const { return m_exitCode; }

    static QString Usage();

private:
    void AfterWait(CTachyPlayerDlg& window);

    QString m_open;
    bool m_play = false;
    std::optional<int> m_row;
    std::optional<int> m_seekKey;
    QString m_screenshot;
    int m_afterMs = 2000;
    bool m_quit = false;
    int m_exitCode = 0;
};
