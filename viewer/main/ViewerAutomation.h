#pragma once
// The viewer's command line: a card or folder to open, as other players open a file, and scripted
// runs for tests and users' scripts:
//   tachyPlayer [PATH] [--open PATH] [--play] [--row N] [--seek-key K] [--screenshot FILE]
//               [--after MS] [--quit]
//   tachyPlayer --help | --version
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
    // --help or --version: print and leave before any window is made.
    bool WantsHelp() const { return m_help; }
    bool WantsVersion() const { return m_version; }
    bool Quits() const { return m_quit; }
    // Starts the steps on `window`; the exit code of the run is given to `finish` when done.
    void Run(CTachyPlayerDlg& window);
    int ExitCode() const { return m_exitCode; }

    static QString Usage();
    static QString Help();

private:
    void AfterWait(CTachyPlayerDlg& window);

    QString m_open;
    bool m_play = false;
    std::optional<int> m_row;
    std::optional<int> m_seekKey;
    QString m_screenshot;
    int m_afterMs = 2000;
    bool m_quit = false;
    bool m_help = false;
    bool m_version = false;
    int m_exitCode = 0;
};
